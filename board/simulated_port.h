// The PC parallel port as the simulated evaluation board sees it: the data, status and
// control registers and the extended control register, with the connector's hardware
// inversions. Every register access turns into pin levels handed to the board, and the
// board's answer comes back through the status and (floating) data pins, so the port
// library above runs exactly the code it runs on real hardware.
#pragma once

#include <cstdint>

namespace board {

class SimulatedBoard;

// Register offsets from the port base.
inline constexpr unsigned kDataOffset = 0;
inline constexpr unsigned kStatusOffset = 1;
inline constexpr unsigned kControlOffset = 2;
inline constexpr unsigned kEcrOffsetLegacy = 0x0A;
inline constexpr unsigned kEcrOffset = 0x402;

// Extended control register: mode field in bits 5..7. 0x30 (mode 001) is byte / PS2 mode,
// the only mode in which the data pins can be turned round for input.
inline constexpr std::uint8_t kEcrModeMask = 0xE0;
inline constexpr std::uint8_t kEcrByteMode = 0x20;
inline constexpr std::uint8_t kEcrPowerUp = 0x00;  // standard (SPP) mode, outputs only

// Control register bit that floats the data pins (in byte mode).
inline constexpr std::uint8_t kControlDirection = 0x20;

class SimulatedPort {
public:
    explicit SimulatedPort(SimulatedBoard* board);  // nullptr: nothing on the cable

    std::uint8_t Read_Data();
    void Write_Data(std::uint8_t v);
    std::uint8_t Read_Status();
    std::uint8_t Read_Control();
    void Write_Control(std::uint8_t v);

    // offset from base: 0 data, 1 status, 2 control, 0x0A and 0x402 ECR. Other offsets
    // address nothing: writes are ignored, reads return 0xFF (an open bus).
    void Write_Register(unsigned offset, std::uint8_t v);
    std::uint8_t Read_Register(unsigned offset);

    std::uint64_t Io_Operations() const;  // every register access above counts one
    void Reset_Counters();
    SimulatedBoard* Board();

    // The port's own state, for inspection.
    std::uint8_t Data_Latch() const { return data_latch_; }
    std::uint8_t Ecr() const { return ecr_; }
    bool Data_Pins_Floating() const;

private:
    void Drive_Pins();

    SimulatedBoard* board_;
    std::uint8_t data_latch_ = 0;
    std::uint8_t control_ = 0;
    std::uint8_t ecr_ = kEcrPowerUp;
    std::uint64_t io_operations_ = 0;
};

}  // namespace board
