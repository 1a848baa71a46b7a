// RawPort: the registers of one PC parallel port, as every backend (simulated board,
// ppdev, direct I/O) offers them. Values are raw register bytes; the hardware inversions
// of the connector are undone above this, in pin_map.h.
#pragma once

#include <cstdint>

namespace vanlpt {

// Register offsets from the port base.
inline constexpr unsigned kEcrOffset = 0x402;
inline constexpr unsigned kEcrOffsetLegacy = 0x0A;

// Control bit 5 turns the data pins round for input (they float) in byte mode. It is part
// of the control byte so that floating the data pins and moving a strobe pin can be one
// register write; backends whose driver keeps the direction apart (ppdev) split it off.
inline constexpr std::uint8_t kControlDirection = 0x20;

class RawPort {
public:
    virtual ~RawPort() = default;

    virtual std::uint8_t Read_Data() = 0;
    virtual void Write_Data(std::uint8_t value) = 0;
    virtual std::uint8_t Read_Status() = 0;
    virtual std::uint8_t Read_Control() = 0;
    // All eight bits: pins 1, 14, 16, 17 in bits 0..3 and the data direction in bit 5.
    virtual void Write_Control(std::uint8_t value) = 0;
    // A byte at base + offset (the extended control register at 0x402 or 0x0A).
    virtual void Write_Register(unsigned offset, std::uint8_t value) = 0;

    // Why the port stopped working (a device call failed), or nullptr while it works. A
    // register cycle that met a fault reports failure instead of success.
    virtual const char* Fault() const { return nullptr; }
};

}  // namespace vanlpt
