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

constexpr char kLpGroup[] = "lp";
constexpr char kJoinLp[] = "sudo usermod -aG lp $USER, then log out and in again";
constexpr char kNamePort[] = "name a port device: /dev/parport0, /dev/parport1, ...";

// The kernel's number of the port behind /dev/parportN, or "" for another path.
std::string Port_Number(const std::string& path) {
    const std::string prefix = "/dev/parport";
    if (path.rfind(prefix, 0) != 0 || path.size() == prefix.size()) return "";
    const std::string number = path.substr(prefix.size());
    for (char c : number)
        if (c < '0' || c > '9') return "";
    return number;
}

std::string Proc_Port(const std::string& number) {
    return "/proc/sys/dev/parport/parport" + number;
}

std::string Octal(unsigned mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode);
    return text;
}

bool Has(const std::vector<std::string>& names, const std::string& name) {
    for (const std::string& n : names)
        if (n == name) return true;
    return false;
}

Port_Problem Missing_Device(DeviceCalls& calls, const std::string& path) {
    const std::string number = Port_Number(path);
    if (number.empty()) return {path + " does not exist", kNamePort};
    if (calls.Exists(Proc_Port(number)))
        return {path + " does not exist although the kernel has parallel port " + number +
                    ": the ppdev driver is not loaded",
                "sudo modprobe ppdev (and add ppdev to /etc/modules)"};
    return {path +
                " does not exist: the kernel has found no parallel port (no parport_pc "
                "driver, or no port)",
            "sudo modprobe parport_pc ppdev; a PCI or USB port card needs its own driver"};
}

Port_Problem No_Permission(DeviceCalls& calls, const std::string& path,
                           const std::vector<std::string>& groups) {
    std::string group;
    unsigned mode = 0;
    if (!calls.Node_Access(path, &group, &mode))
        return {"no permission to open " + path + " (port devices belong to group lp)", kJoinLp};
    const std::string what =
        "no permission to open " + path + " (group " + group + ", mode " + Octal(mode) + ")";
    if (group != kLpGroup)
        return {what + ": the device does not belong to group lp",
                "sudo chgrp lp " + path + " && sudo chmod 660 " + path +
                    " (Debian's udev does this when ppdev is loaded)" +
                    (Has(groups, kLpGroup) ? "" : "; then " + std::string(kJoinLp))};
    if (!Has(groups, kLpGroup)) return {what + ": you are not in group lp", kJoinLp};
    return {what + ": group lp may not read and write it", "sudo chmod 660 " + path};
}

// The drivers and programs registered on the kernel's port besides this one.
Port_Problem Held_By(const std::vector<std::string>& devices, const std::string& path) {
    for (const std::string& d : devices)
        if (d.rfind("lp", 0) == 0)
            return {path + " is held by the printer driver lp (" + d + ")",
                    "sudo rmmod lp, and blacklist lp in /etc/modprobe.d/ so that it stays away"};
    for (const std::string& d : devices)
        if (d.rfind("ppdev", 0) == 0)
            return {path + " is held by another program (" + d + ")",
                    "close the program that uses the port (sudo fuser -v " + path +
                        " names it), then try again"};
    return {path + " is held by the driver " + devices.front(), "sudo rmmod " + devices.front()};
}

}  // namespace

namespace {

// A device path comes from the environment and may hold anything: the texts show it printable.
Port_Problem Shown(Port_Problem problem) {
    return {Printable(problem.what), Printable(problem.fix)};
}

Port_Problem Open_Problem_Of(DeviceCalls& calls, const std::string& path, int error,
                             const std::vector<std::string>& groups) {
    switch (error) {
        case ENOENT:
            return Missing_Device(calls, path);
        case EACCES:
        case EPERM:
            return No_Permission(calls, path, groups);
        case ENXIO:
        case ENODEV:
            return {path + " has no driver", "load the ppdev module (sudo modprobe ppdev)"};
        case EISDIR:
            return {path + " is a folder, not a parallel port device", kNamePort};
        default:
            return {"cannot open " + path + ": " + Errno_Text(error), kNamePort};
    }
}

Port_Problem Claim_Problem_Of(DeviceCalls& calls, const std::string& path, int error) {
    const std::string number = Port_Number(path);
    if (error == ENXIO || error == ENODEV || error == EBUSY) {
        std::vector<std::string> devices;
        for (const std::string& d : calls.List_Folder(Proc_Port(number) + "/devices"))
            if (d != "active") devices.push_back(d);
        if (!number.empty() && !devices.empty()) return Held_By(devices, path);
        if (error == EBUSY)
            return {path + " is held by another driver or program",
                    "sudo rmmod lp, or close the program using the port"};
        if (!number.empty() && !calls.Exists(Proc_Port(number)))
            return {"no parallel port hardware behind " + path,
                    "sudo modprobe parport_pc; a PCI or USB port card needs its own driver"};
    }
    return {"cannot claim " + path + " for this program alone: " + Errno_Text(error),
            "close every other program and driver using the port (sudo rmmod lp)"};
}

}  // namespace

Port_Problem Open_Problem(DeviceCalls& calls, const std::string& path, int error,
                          const std::vector<std::string>& groups) {
    return Shown(Open_Problem_Of(calls, path, error, groups));
}

Port_Problem Claim_Problem(DeviceCalls& calls, const std::string& path, int error) {
    return Shown(Claim_Problem_Of(calls, path, error));
}

std::unique_ptr<PpdevPort> PpdevPort::Open(const std::string& path, DeviceCalls& calls,
                                           std::string* error, std::string* note) {
    error->clear();
    note->clear();
    const std::string name = Printable(path);  // the environment may name anything
    int fd = calls.Open(path);
    if (fd < 0) {
        *error = Open_Problem(calls, path, -fd, calls.User_Groups()).Text();
        return nullptr;
    }
    int r = calls.Ioctl(fd, PPEXCL, nullptr);
    if (r >= 0) {
        r = calls.Ioctl(fd, PPCLAIM, nullptr);
        if (r < 0) *error = Claim_Problem(calls, path, -r).Text();
    } else if (r == -ENOTTY || r == -EINVAL) {
        *error = name + " is not a parallel port device: " + kNamePort;
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
    : path_(path), calls_(calls), fd_(fd), mode_(IEEE1284_MODE_COMPAT) {}

// Released in any other mode, the kernel ends that mode with an IEEE 1284 termination on
// close: tens of milliseconds, and pins 17 and 14 move after the program's last cycle (the
// crosspoint would see ~CE low). Setting compatibility mode moves no pin.
PpdevPort::~PpdevPort() {
    Leave_In_Compatibility_Mode();
    calls_.Ioctl(fd_, PPRELEASE, nullptr);
    calls_.Close(fd_);
}

void PpdevPort::Leave_In_Compatibility_Mode() {
    if ((control_ & kControlDirection) != 0) Set_Direction(false);
    if (mode_ != IEEE1284_MODE_COMPAT) Set_Mode(IEEE1284_MODE_COMPAT);
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
    if (r < 0) return Fail("set the port mode", -r);
    mode_ = mode;
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
