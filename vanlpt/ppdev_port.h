// A real parallel port through the Linux ppdev driver (/dev/parportN), claimed for this
// process alone. Every device call goes through DeviceCalls.
#pragma once

#include <memory>
#include <string>

#include "vanlpt/device_calls.h"
#include "vanlpt/raw_port.h"

namespace vanlpt {

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

    std::string path_;  // the device as messages show it
    DeviceCalls& calls_;
    int fd_;
    std::uint8_t control_ = 0;  // last control byte written, with the direction in bit 5
    std::string fault_;
};

}  // namespace vanlpt
