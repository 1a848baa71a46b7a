#include "vanlpt/direct_io_port.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "vanlpt/report.h"

namespace vanlpt {

namespace {

constexpr int kCapSysRawio = 17;

// The standard registers and the legacy ECR alias at base+0x0A, and the ECR block.
constexpr unsigned kLowSpan = kEcrOffsetLegacy + 1;
constexpr unsigned kEcrBlock = 0x400;
constexpr unsigned kEcrSpan = 3;

bool Reachable(unsigned offset) {
    return offset < kLowSpan || (offset >= kEcrBlock && offset < kEcrBlock + kEcrSpan);
}

}  // namespace

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

Io_Conditions System_Io_Conditions() {
    Io_Conditions c;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("CapEff:", 0) != 0) continue;
        const unsigned long long caps = std::strtoull(line.c_str() + 7, nullptr, 16);
        c.raw_io_capability = (caps >> kCapSysRawio) & 1u;
    }
    // "none [integrity] confidentiality": the bracketed word is the mode in force. Read only
    // where securityfs is mounted; elsewhere ioperm's EPERM tells (Direct_Io_Problem).
    std::ifstream lockdown("/sys/kernel/security/lockdown");
    std::string modes;
    std::getline(lockdown, modes);
    c.locked_down = !modes.empty() && modes.find("[none]") == std::string::npos;
    return c;
}

Port_Problem Direct_Io_Problem(unsigned base, int error, const Io_Conditions& conditions) {
    const std::string at = "I/O ports at " + Hex(base);
    const std::string use_ppdev = "use the ppdev device (/dev/parportN), which needs neither";
    if (error == ENOSYS)
        return {"this kernel offers programs no port I/O (ioperm: " +
                    std::string(std::strerror(error)) + "), so direct I/O to " + at +
                    " is impossible here",
                use_ppdev};
    // With CAP_SYS_RAWIO, only lockdown makes ioperm answer EPERM.
    if (conditions.locked_down || (error == EPERM && conditions.raw_io_capability))
        return {"the kernel is in lockdown (Secure Boot), which forbids direct I/O to " + at +
                    " even for root",
                "switch Secure Boot off in the firmware set-up, or " + use_ppdev};
    if (!conditions.raw_io_capability)
        return {"no access to " + at + " (" + std::strerror(error) +
                    "): direct I/O needs root or CAP_SYS_RAWIO",
                use_ppdev};
    return {"no access to " + at + ": " + std::strerror(error), use_ppdev};
}

int Direct_Io_Permission(IoAccess& io, unsigned base, bool on) {
    if (!on) {
        io.Ioperm(base + kEcrBlock, kEcrSpan, false);
        return io.Ioperm(base, kLowSpan, false);
    }
    int r = io.Ioperm(base, kLowSpan, true);
    if (r < 0) return r;
    r = io.Ioperm(base + kEcrBlock, kEcrSpan, true);
    if (r < 0) io.Ioperm(base, kLowSpan, false);
    return r;
}

std::unique_ptr<DirectIoPort> DirectIoPort::Open(unsigned base, IoAccess* io, std::string* error) {
    error->clear();
    if (io == nullptr) {
        *error = "direct port I/O (io:" + Hex(base) + ") does not exist on this machine";
        return nullptr;
    }
    const int r = Direct_Io_Permission(*io, base, true);
    if (r < 0) {
        *error = Direct_Io_Problem(base, -r, System_Io_Conditions()).Text();
        return nullptr;
    }
    return std::unique_ptr<DirectIoPort>(new DirectIoPort(base, *io));
}

DirectIoPort::DirectIoPort(unsigned base, IoAccess& io)
    : base_(base), io_(io), control_(io.Inb(base + 2)) {}

DirectIoPort::~DirectIoPort() {
    Direct_Io_Permission(io_, base_, false);
}

// The data pins turn round on a write of their own, as ppdev does it: they float before a
// strobe moves and drive again only after it has moved back, so that the port and the chip
// never drive the data lines at once.
void DirectIoPort::Write_Control(std::uint8_t value) {
    const std::uint8_t changed = value ^ control_;
    const std::uint8_t direction = changed & kControlDirection;
    if (direction != 0 && (changed & ~kControlDirection) != 0) {
        const bool floating = (value & kControlDirection) != 0;
        const std::uint8_t between = floating ? control_ ^ direction : value ^ direction;
        io_.Outb(between, base_ + 2);
    }
    control_ = value;
    io_.Outb(value, base_ + 2);
}

void DirectIoPort::Write_Register(unsigned offset, std::uint8_t value) {
    if (Reachable(offset)) return io_.Outb(value, base_ + offset);
    Report_Once("base+" + Hex(offset) + " lies outside the I/O range opened for the port at " +
                Hex(base_) + "; the write was not made");
}

}  // namespace vanlpt
