// Hand-written pin sequences for driving the simulated board through its port, the way
// the port library does: chip register cycles and crosspoint serial commands.
#pragma once

#include <cstdint>
#include <vector>

#include "board/simulated_board.h"
#include "board/simulated_port.h"

namespace board::testing {

class PinDriver {
public:
    explicit PinDriver(SimulatedPort& port) : port_(port) {}

    void Enter_Byte_Mode() { port_.Write_Register(kEcrOffset, 0x30); }

    // Control register byte for the given pin levels (pins 1, 14, 17 are inverted).
    static std::uint8_t Control(bool wr, bool addr, bool rd, bool cs, bool floating = false) {
        return static_cast<std::uint8_t>((wr ? 0 : 0x01) | (addr ? 0 : 0x02) | (rd ? 0x04 : 0) |
                                         (cs ? 0 : 0x08) | (floating ? kControlDirection : 0));
    }

    // Polls RDY/~BUSY (status bit 3) up to limit times; returns the polls used, 0 on time-out.
    unsigned Wait_Ready(unsigned limit = 100) {
        for (unsigned polls = 1; polls <= limit; ++polls) {
            if ((port_.Read_Status() & 0x08) != 0) return polls;
        }
        return 0;
    }

    void Address_Phase(std::uint8_t address) {
        port_.Write_Control(Control(true, true, true, true));
        port_.Write_Data(address);
        port_.Write_Control(Control(false, true, true, true));
        port_.Write_Control(Control(true, true, true, true));
    }

    // Returns the polls until ready (0: busy time-out).
    unsigned Write(std::uint8_t address, std::uint8_t value) {
        Address_Phase(address);
        port_.Write_Data(value);
        port_.Write_Control(Control(false, false, true, true));
        port_.Write_Control(Control(true, false, true, true));
        return last_polls_ = Wait_Ready();
    }

    std::uint8_t Read(std::uint8_t address) {
        Address_Phase(address);
        port_.Write_Control(Control(true, false, true, true, true));
        port_.Write_Control(Control(true, false, false, true, true));
        last_polls_ = Wait_Ready();
        const std::uint8_t value = port_.Read_Data();
        port_.Write_Control(Control(true, false, true, true));
        return value;
    }

    unsigned Last_Polls() const { return last_polls_; }

    // Single data or control pin, as the program drives the crosspoint pins.
    void Set_Pin(int pin, bool level) {
        if (pin >= 2 && pin <= 9) {
            const auto bit = static_cast<std::uint8_t>(1U << (pin - 2));
            const std::uint8_t data = port_.Data_Latch();
            port_.Write_Data(static_cast<std::uint8_t>(level ? data | bit : data & ~bit));
        } else if (pin == 17) {
            const std::uint8_t control = port_.Read_Control();
            port_.Write_Control(
                static_cast<std::uint8_t>(level ? control & ~0x08 : control | 0x08));
        }
    }

    // The crosspoint send sequence: ~Update high, MODE, ~CE low, the bits MSB first with the
    // clock idling high, then a low pulse on ~Update. Returns DATAOUT as read before each
    // falling clock edge.
    std::vector<bool> Send_Crosspoint(const std::vector<bool>& bits, bool full_init) {
        std::vector<bool> data_out;
        Set_Pin(3, true);
        Set_Pin(6, full_init);
        Set_Pin(17, false);
        for (bool bit : bits) {
            Set_Pin(4, true);
            Set_Pin(5, bit);
            data_out.push_back((port_.Read_Status() & 0x10) != 0);
            Set_Pin(4, false);
        }
        Set_Pin(3, false);
        Set_Pin(3, true);
        return data_out;
    }

    void Pulse_Crosspoint_Reset() {
        Set_Pin(17, false);
        Set_Pin(2, false);
        Set_Pin(2, true);
    }

    static std::vector<bool> Bits(std::uint32_t word, int count) {
        std::vector<bool> bits;
        for (int i = count - 1; i >= 0; --i) bits.push_back((word >> i & 1U) != 0);
        return bits;
    }

private:
    SimulatedPort& port_;
    unsigned last_polls_ = 0;
};

}  // namespace board::testing
