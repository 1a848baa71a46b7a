// A real parallel port by its I/O address (ioperm, inb, outb): the legacy path for the
// extended control register and the fastest pin rate. Needs root or CAP_SYS_RAWIO, and is
// used only when VANLPT_PORTS names it; it is never probed.
#pragma once

#include <memory>
#include <string>

#include "vanlpt/device_calls.h"
#include "vanlpt/port_problem.h"
#include "vanlpt/raw_port.h"

namespace vanlpt {

// A port address as messages show it: "0x378".
std::string Hex(unsigned value);

// What decides whether this process may use port I/O.
struct Io_Conditions {
    bool raw_io_capability = false;  // CAP_SYS_RAWIO in force (root has it unless dropped)
    // Kernel lockdown as Secure Boot sets it, when securityfs shows it. Without securityfs
    // mounted, lockdown shows only as ioperm failing with EPERM despite CAP_SYS_RAWIO.
    bool locked_down = false;
};
Io_Conditions System_Io_Conditions();

// Why ioperm failed with `error` (an errno value) and what to do about it.
Port_Problem Direct_Io_Problem(unsigned base, int error, const Io_Conditions& conditions);

// The registers and the ECR block a port at `base` needs, opened (on) or given back (off);
// 0 or -errno.
int Direct_Io_Permission(IoAccess& io, unsigned base, bool on);

class DirectIoPort : public RawPort {
public:
    // nullptr with *error saying what to do when the process may not use the addresses.
    static std::unique_ptr<DirectIoPort> Open(unsigned base, IoAccess* io, std::string* error);
    ~DirectIoPort() override;
    DirectIoPort(const DirectIoPort&) = delete;
    DirectIoPort& operator=(const DirectIoPort&) = delete;

    std::uint8_t Read_Data() override { return io_.Inb(base_); }
    void Write_Data(std::uint8_t value) override { io_.Outb(value, base_); }
    std::uint8_t Read_Status() override { return io_.Inb(base_ + 1); }
    std::uint8_t Read_Control() override { return io_.Inb(base_ + 2); }
    void Write_Control(std::uint8_t value) override;
    void Write_Register(unsigned offset, std::uint8_t value) override;

private:
    DirectIoPort(unsigned base, IoAccess& io);

    unsigned base_;
    IoAccess& io_;
    std::uint8_t control_;  // the control byte last written
};

}  // namespace vanlpt
