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

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace

Io_Conditions System_Io_Conditions() {
    Io_Conditions c;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("CapEff:", 0) != 0) continue;
        const unsigned long long caps = std::strtoull(line.c_str() + 7, nullptr, 16);
        c.raw_io_capability = (caps >> kCapSysRawio) & 1u;
    }
    // "none [integrity] confidentiality": the bracketed word is the mode in force.
    std::ifstream lockdown("/sys/kernel/security/lockdown");
    std::string modes;
    std::getline(lockdown, modes);
    c.locked_down = !modes.empty() && modes.find("[none]") == std::string::npos;
    return c;
}

std::string Direct_Io_Error(unsigned base, int error, const Io_Conditions& conditions) {
    const std::string at = "I/O ports at " + Hex(base);
    const std::string use_ppdev = "use the ppdev device (/dev/parportN), which needs neither";
    if (error == ENOSYS)
        return "this kernel offers programs no port I/O (ioperm: " +
               std::string(std::strerror(error)) + "), so direct I/O to " + at +
               " is impossible here; " + use_ppdev;
    if (conditions.locked_down)
        return "the kernel is in lockdown (Secure Boot), which forbids direct I/O to " + at +
               " even for root; switch Secure Boot off in the firmware set-up, or " + use_ppdev;
    if (!conditions.raw_io_capability)
        return "no access to " + at + " (" + std::strerror(error) +
               "): direct I/O needs root or CAP_SYS_RAWIO; " + use_ppdev;
    return "no access to " + at + ": " + std::strerror(error) + "; " + use_ppdev;
}

std::unique_ptr<DirectIoPort> DirectIoPort::Open(unsigned base, IoAccess* io, std::string* error) {
    error->clear();
    if (io == nullptr) {
        *error = "direct port I/O (io:" + Hex(base) + ") does not exist on this machine";
        return nullptr;
    }
    int r = io->Ioperm(base, kLowSpan, true);
    if (r >= 0) {
        r = io->Ioperm(base + kEcrBlock, kEcrSpan, true);
        if (r < 0) io->Ioperm(base, kLowSpan, false);
    }
    if (r < 0) {
        *error = Direct_Io_Error(base, -r, System_Io_Conditions());
        return nullptr;
    }
    return std::unique_ptr<DirectIoPort>(new DirectIoPort(base, *io));
}

DirectIoPort::~DirectIoPort() {
    io_.Ioperm(base_ + kEcrBlock, kEcrSpan, false);
    io_.Ioperm(base_, kLowSpan, false);
}

void DirectIoPort::Write_Register(unsigned offset, std::uint8_t value) {
    if (Reachable(offset)) return io_.Outb(value, base_ + offset);
    Report_Once("base+" + Hex(offset) + " lies outside the I/O range opened for the port at " +
                Hex(base_) + "; the write was not made");
}

}  // namespace vanlpt
