// A RawPort that records every register access as text and answers reads from settable
// values, so tests can check the exact port traffic of a bus cycle.
#pragma once

#include <cstdio>
#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "vanlpt/raw_port.h"

namespace vanlpt_test {

// Text of a recorded call, built by appending (no chains of operator+ on temporaries).
inline std::string Join(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) text.append(part);
    return text;
}

class RecordingPort : public vanlpt::RawPort {
public:
    std::uint8_t Read_Data() override {
        Log("D?");
        return data_in;
    }
    void Write_Data(std::uint8_t v) override {
        data = v;
        Log(Join({"D=", Hex(v)}));
    }
    std::uint8_t Read_Status() override {
        Log("S?");
        if (status_queue.empty()) return status;
        std::uint8_t v = status_queue.front();
        status_queue.pop_front();
        return v;
    }
    std::uint8_t Read_Control() override {
        Log("C?");
        return control;
    }
    void Write_Control(std::uint8_t v) override {
        control = v;
        Log(Join({"C=", Hex(v)}));
    }
    void Write_Register(unsigned offset, std::uint8_t v) override {
        Log(Join({"R", Hex(offset), "=", Hex(v)}));
    }
    const char* Fault() const override { return fault.empty() ? nullptr : fault.c_str(); }

    static std::string Hex(unsigned v) {
        char text[16];
        std::snprintf(text, sizeof text, "%02X", v);
        return text;
    }
    void Log(const std::string& op) { ops.push_back(op); }

    std::vector<std::string> ops;
    std::uint8_t data = 0;
    std::uint8_t data_in = 0;  // what a data read returns
    std::uint8_t control = 0;
    std::uint8_t status = 0x08;             // pin 15 high: ready
    std::deque<std::uint8_t> status_queue;  // answered first, then `status`
    std::string fault;
};

}  // namespace vanlpt_test
