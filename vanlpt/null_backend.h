// NullBackend: nothing behind the port (target none, or no port selected): reads give 0,
// writes go nowhere and register transactions fail.
#pragma once

#include "vanlpt/backend.h"

namespace vanlpt {

class NullBackend : public Backend {
public:
    std::string Describe() const override { return "none"; }
    std::string Name() const override { return "none"; }
    bool Open(const BusSettings&, std::string* error) override {
        error->clear();
        return false;
    }
    void Close() override {}
    const char* Fault() const override { return nullptr; }
    void Configure(const BusSettings&) override {}
    std::uint8_t Get(PortRegister) override { return 0; }
    void Set(PortRegister, std::uint8_t) override {}
    void Set_Register(unsigned, std::uint8_t) override {}
    void Set_Data_Enable(bool) override {}
    int Read_Pin(int) override { return 0; }
    void Write_Pin(int, int) override {}
    bool Write(std::uint8_t, std::uint8_t, std::string* error) override {
        return Unselected(error);
    }
    bool Read(std::uint8_t, std::uint8_t* data, std::string* error) override {
        if (data == nullptr) {
            *error = "register read without a place for the value";
            return false;
        }
        return Unselected(error);
    }
    unsigned long Take_Highest_Count() override { return 0; }

private:
    static bool Unselected(std::string* error) {
        *error = "no port selected: call Select_LPT_123 first";
        return false;
    }
};

}  // namespace vanlpt
