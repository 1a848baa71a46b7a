// BusEngine: the chip's register bus run over the port's pins. Five pin roles with their
// active levels, an address phase and a data phase strobed by ~WR, reads with the data
// pins floated and strobed by ~RD, and a busy wait on RDY/~BUSY counted in status polls.
//
// Pin 17 doubles as the crosspoint's ~CE and pins 3..6 as its serial lines, so a cycle
// raises CS before it moves any data pin and leaves CS raised afterwards: the crosspoint
// stays deselected and never sees register traffic.
#pragma once

#include <cstdint>
#include <string>

#include "vanlpt/port_lines.h"

namespace vanlpt {

enum class BusRole { Wr, Rd, Addr, Cs, Busy };

struct PinRole {
    int pin = 0;  // 0: not assigned
    int active_level = 0;

    bool operator==(const PinRole&) const = default;
};

inline constexpr unsigned long kDefaultBusyTimeout = 10000;

class BusEngine {
public:
    explicit BusEngine(PortLines& lines) : lines_(lines) {}

    // Roles unassigned, time-out back to its default, highest count 0.
    void Reset();

    void Set_Role(BusRole role, int pin, int active_level);
    PinRole Role(BusRole role) const;

    void Set_Busy_Timeout(unsigned long polls) { timeout_ = polls; }
    unsigned long Busy_Timeout() const { return timeout_; }
    void Clear_Highest_Count() { highest_ = 0; }
    unsigned long Highest_Count() const { return highest_; }

    // One register cycle each; false with Last_Error() set when the wait for RDY ran out,
    // the roles are unusable, no port is attached or the port reported a fault.
    bool Write(std::uint8_t address, std::uint8_t data);
    bool Read(std::uint8_t address, std::uint8_t* data);
    const std::string& Last_Error() const { return error_; }

    // The state every cycle ends in: CS raised, both strobes idle, the data pins driving.
    // Nothing moves when the roles are unusable or no port is attached.
    void Park();

private:
    bool Check_Ready_To_Run();
    bool Roles_Usable() const;
    std::uint8_t With_Role(std::uint8_t control, BusRole role, bool active) const;
    void Put_Control(std::uint8_t control);
    void Put_Driving(std::uint8_t target);
    void Select_Chip_For_Address();
    void Strobe_Address(std::uint8_t address);
    bool Wait_Until_Ready();
    bool Finish(bool ok);

    PortLines& lines_;
    PinRole wr_, rd_, addr_, cs_, busy_;
    unsigned long timeout_ = kDefaultBusyTimeout;
    unsigned long highest_ = 0;
    std::string error_;
};

}  // namespace vanlpt
