#include "vanlpt/direct_io_port.h"

#include <cstdio>
#include <cstring>

#include "vanlpt/report.h"

namespace vanlpt {

namespace {

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
        *error = "no access to I/O ports at " + Hex(base) + " (" + std::strerror(-r) +
                 "): direct I/O needs root or CAP_SYS_RAWIO; the ppdev device "
                 "(/dev/parportN) needs neither";
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
