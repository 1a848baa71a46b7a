// LocalPortBackend: a port whose registers this process reaches itself (a RawPort), with
// the pins shadowed and the chip bus run over them, every cycle at once. The simulated board
// and the real ports are this, each with its own way of opening the port.
#pragma once

#include "vanlpt/backend.h"
#include "vanlpt/bus_engine.h"
#include "vanlpt/port_lines.h"
#include "vanlpt/raw_port.h"

namespace vanlpt {

class LocalPortBackend : public Backend {
public:
    // Over a port that is there already and stays the caller's (a test's recording port), or,
    // with port nullptr, one that Open_Port opens when selected.
    explicit LocalPortBackend(RawPort* port = nullptr, std::string description = "test port",
                              std::string name = "test")
        : port_(port), description_(std::move(description)), name_(std::move(name)) {}

    std::string Describe() const override { return description_; }
    std::string Name() const override { return name_; }
    bool Open(const BusSettings& bus, std::string* error) override;
    void Close() override;
    const char* Fault() const override;
    void Configure(const BusSettings& bus) override;

    std::uint8_t Get(PortRegister reg) override;
    void Set(PortRegister reg, std::uint8_t value) override;
    void Set_Register(unsigned offset, std::uint8_t value) override;
    void Set_Data_Enable(bool drive) override { lines_.Set_Data_Enable(drive); }
    int Read_Pin(int pin) override { return lines_.Read_Pin(pin); }
    void Write_Pin(int pin, int level) override { lines_.Write_Pin(pin, level); }

    bool Write(std::uint8_t address, std::uint8_t data, std::string* error) override;
    bool Read(std::uint8_t address, std::uint8_t* data, std::string* error) override;
    unsigned long Take_Highest_Count() override;

protected:
    // The port to attach when selected; nullptr with *error when it cannot be had.
    virtual RawPort* Open_Port(std::string* error);
    // Lets go of what Open_Port opened.
    virtual void Close_Port() {}
    // Whether the port is left with the bus idle and CS raised (the crosspoint deselected)
    // before it is let go of: what a real cable sees after the program.
    virtual bool Park_On_Close() const { return false; }

private:
    RawPort* port_;
    std::string description_;
    std::string name_;
    PortLines lines_;
    BusEngine engine_{lines_};
};

}  // namespace vanlpt
