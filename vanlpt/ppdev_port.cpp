#include "vanlpt/ppdev_port.h"

#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "vanlpt/report.h"

namespace vanlpt {

namespace {

constexpr std::uint8_t kControlPins = 0x0F;  // the only control bits ppdev writes
constexpr std::uint8_t kEcrModeMask = 0xE0;
constexpr std::uint8_t kEcrModeByte = 0x20;
constexpr std::uint8_t kEcrModeStandard = 0x00;

std::string Errno_Text(int error) {
    return std::strerror(error);
}

std::string Open_Error(const std::string& path, int error) {
    switch (error) {
        case ENOENT:
            return path +
                   " does not exist: no parallel port, or the ppdev module is not loaded "
                   "(sudo modprobe ppdev)";
        case EACCES:
        case EPERM:
            return "no permission to open " + path +
                   ": add your user to group lp (sudo usermod -aG lp $USER) and log in again";
        case ENXIO:
        case ENODEV:
            return path + " has no driver: load the ppdev module (sudo modprobe ppdev)";
        default:
            return "cannot open " + path + ": " + Errno_Text(error);
    }
}

std::string Claim_Error(const std::string& path, int error) {
    switch (error) {
        case EBUSY:
            return path +
                   " is held by another driver, e.g. the printer driver lp: unload it "
                   "(sudo rmmod lp) or close the program using the port";
        case ENXIO:
        case ENODEV:
            return "no parallel port hardware behind " + path;
        default:
            return "cannot claim " + path + ": " + Errno_Text(error);
    }
}

}  // namespace

std::unique_ptr<PpdevPort> PpdevPort::Open(const std::string& path, DeviceCalls& calls,
                                           std::string* error, std::string* note) {
    error->clear();
    note->clear();
    const std::string name = Printable(path);  // the environment may name anything
    int fd = calls.Open(path);
    if (fd < 0) {
        *error = Open_Error(name, -fd);
        return nullptr;
    }
    int r = calls.Ioctl(fd, PPEXCL, nullptr);
    if (r >= 0) {
        r = calls.Ioctl(fd, PPCLAIM, nullptr);
        if (r < 0) *error = Claim_Error(name, -r);
    } else if (r == -ENOTTY || r == -EINVAL) {
        *error = name +
                 " is not a parallel port device: name one of /dev/parport0, "
                 "/dev/parport1, ...";
    } else {
        *error = "cannot get " + name + " for this program alone: " + Errno_Text(-r);
    }
    if (r < 0) {
        calls.Close(fd);
        return nullptr;
    }
    std::unique_ptr<PpdevPort> port(new PpdevPort(name, calls, fd));
    unsigned int modes = 0;
    if (calls.Ioctl(fd, PPGETMODES, &modes) < 0 || (modes & PARPORT_MODE_TRISTATE) == 0) {
        *note = name +
                " cannot float its data pins (no tristate support): register reads return "
                "the data latch; set the port to PS/2, bidirectional or ECP mode in the BIOS "
                "set-up";
    } else {
        port->Set_Mode(IEEE1284_MODE_BYTE);
    }
    port->control_ = port->Read_Byte(PPRCONTROL, "read the control register");
    return port;
}

PpdevPort::PpdevPort(const std::string& path, DeviceCalls& calls, int fd)
    : path_(path), calls_(calls), fd_(fd) {}

PpdevPort::~PpdevPort() {
    calls_.Ioctl(fd_, PPRELEASE, nullptr);
    calls_.Close(fd_);
}

void PpdevPort::Fail(const char* what, int error) {
    if (!fault_.empty()) return;  // the first failure is the one worth reading
    fault_ = "cannot " + std::string(what) + " on " + path_ + ": " + Errno_Text(error);
    Report_Once(fault_);
}

std::uint8_t PpdevPort::Read_Byte(unsigned long request, const char* what) {
    unsigned char value = 0;
    int r = calls_.Ioctl(fd_, request, &value);
    if (r < 0) Fail(what, -r);
    return value;
}

void PpdevPort::Write_Byte(unsigned long request, std::uint8_t value, const char* what) {
    unsigned char v = value;
    int r = calls_.Ioctl(fd_, request, &v);
    if (r < 0) Fail(what, -r);
}

void PpdevPort::Set_Direction(bool input) {
    int reverse = input ? 1 : 0;
    int r = calls_.Ioctl(fd_, PPDATADIR, &reverse);
    if (r < 0) Fail("turn the data pins round (no tristate support?)", -r);
}

void PpdevPort::Set_Mode(int mode) {
    int r = calls_.Ioctl(fd_, PPSETMODE, &mode);
    if (r < 0) Fail("set the port mode", -r);
}

std::uint8_t PpdevPort::Read_Data() {
    return Read_Byte(PPRDATA, "read the data register");
}

void PpdevPort::Write_Data(std::uint8_t value) {
    Write_Byte(PPWDATA, value, "write the data register");
}

std::uint8_t PpdevPort::Read_Status() {
    return Read_Byte(PPRSTATUS, "read the status register");
}

// The driver reports the four pin bits; the bits above them are what this port last set.
std::uint8_t PpdevPort::Read_Control() {
    std::uint8_t pins = Read_Byte(PPRCONTROL, "read the control register");
    return static_cast<std::uint8_t>((pins & kControlPins) | (control_ & ~kControlPins));
}

// The driver keeps the data direction apart from the control pins. The pins float before
// a strobe moves and drive again only after it has moved back, so the port and the chip
// never drive the data lines at once.
void PpdevPort::Write_Control(std::uint8_t value) {
    bool direction_changes = ((value ^ control_) & kControlDirection) != 0;
    bool pins_change = ((value ^ control_) & kControlPins) != 0;
    bool input = (value & kControlDirection) != 0;
    control_ = value;
    if (direction_changes && input) Set_Direction(true);
    if (pins_change || !direction_changes)
        Write_Byte(PPWCONTROL, value & kControlPins, "write the control register");
    if (direction_changes && !input) Set_Direction(false);
}

// ppdev reaches the extended control register only through the port mode.
void PpdevPort::Write_Register(unsigned offset, std::uint8_t value) {
    if (offset == 0) return Write_Data(value);
    if (offset == 2) return Write_Control(value);
    bool ecr = offset == kEcrOffset || offset == kEcrOffsetLegacy;
    if (ecr && (value & kEcrModeMask) == kEcrModeByte) return Set_Mode(IEEE1284_MODE_BYTE);
    if (ecr && (value & kEcrModeMask) == kEcrModeStandard) return Set_Mode(IEEE1284_MODE_COMPAT);
    char text[200];
    std::snprintf(text, sizeof text,
                  "%s: the ppdev driver cannot write 0x%02X at base+0x%X; map the port as "
                  "io:0x378 (direct I/O) for raw register access",
                  path_.c_str(), value, offset);
    Report_Once(text);
}

}  // namespace vanlpt
