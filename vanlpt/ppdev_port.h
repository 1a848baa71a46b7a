// A real parallel port through the Linux ppdev driver (/dev/parportN), claimed for this
// process alone. Every device call goes through DeviceCalls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "vanlpt/device_calls.h"
#include "vanlpt/port_problem.h"
#include "vanlpt/raw_port.h"

namespace vanlpt {

// Why opening the device at `path` failed with `error` (an errno value). `groups` are the
// user's groups: permission advice depends on them and on the device's own group and mode.
Port_Problem Open_Problem(DeviceCalls& calls, const std::string& path, int error,
                          const std::vector<std::string>& groups);

// Why claiming the opened port alone (PPEXCL, PPCLAIM) failed with `error`. The kernel
// refuses an exclusive claim with ENXIO both when there is no port and when any other
// driver or program is registered on it; the port's entry in /proc tells them apart.
Port_Problem Claim_Problem(DeviceCalls& calls, const std::string& path, int error);

class PpdevPort : public RawPort {
public:
    // Opens and claims the port; nullptr with *error saying what to do when that fails.
    // *note receives a warning for a port that works with limits ("" otherwise).
    static std::unique_ptr<PpdevPort> Open(const std::string& path, DeviceCalls& calls,
                                           std::string* error, std::string* note);
    ~PpdevPort() override;
    PpdevPort(const PpdevPort&) = delete;
    PpdevPort& operator=(const PpdevPort&) = delete;

    std::uint8_t Read_Data() override;
    void Write_Data(std::uint8_t value) override;
    std::uint8_t Read_Status() override;
    std::uint8_t Read_Control() override;
    void Write_Control(std::uint8_t value) override;
    void Write_Register(unsigned offset, std::uint8_t value) override;
    const char* Fault() const override { return fault_.empty() ? nullptr : fault_.c_str(); }

private:
    PpdevPort(const std::string& path, DeviceCalls& calls, int fd);
    std::uint8_t Read_Byte(unsigned long request, const char* what);
    void Write_Byte(unsigned long request, std::uint8_t value, const char* what);
    void Set_Direction(bool input);
    void Set_Mode(int mode);
    void Fail(const char* what, int error);
    void Leave_In_Compatibility_Mode();

    std::string path_;  // the device as messages show it
    DeviceCalls& calls_;
    int fd_;
    std::uint8_t control_ = 0;  // last control byte written, with the direction in bit 5
    int mode_;                  // the port mode last set (ppdev starts in compatibility mode)
    std::string fault_;
};

}  // namespace vanlpt
