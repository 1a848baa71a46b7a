// The Xelor video crosspoint: 16 outputs, each routed to one of 32 inputs or disabled, with
// a gain of 1 or 2. It is loaded through a serial shift register on the shared connector
// pins and reacts to pin levels only; SimulatedBoard hands it every pin change.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>

namespace board {

inline constexpr int kCrosspointOutputs = 16;
inline constexpr int kCrosspointInputs = 32;
inline constexpr int kSingleUpdateBits = 16;
inline constexpr int kFullInitBits = 112;  // 16 fields of 7 bits, output 15 first
inline constexpr int kFullInitFieldBits = 7;

struct CrosspointRoute {
    bool enabled = false;
    unsigned input = 0;  // 0..31; kept as last loaded also while disabled
    unsigned gain = 1;   // 1 or 2 V/V
    bool operator==(const CrosspointRoute&) const = default;
};

struct CrosspointCounters {
    std::uint64_t bits_shifted = 0;
    std::uint64_t single_updates = 0;   // applied (address matched)
    std::uint64_t ignored_updates = 0;  // single updates for another address
    std::uint64_t full_inits = 0;
    std::uint64_t resets = 0;
};

// Levels of the crosspoint's own pins, one bit each. Pins 2..6 sit at their data-register
// bit positions, so the board passes the data levels through unchanged.
inline constexpr std::uint8_t kXelorResetPulse = 0x01;  // pin 2
inline constexpr std::uint8_t kXelorNotUpdate = 0x02;   // pin 3
inline constexpr std::uint8_t kXelorClock = 0x04;       // pin 4
inline constexpr std::uint8_t kXelorDataIn = 0x08;      // pin 5
inline constexpr std::uint8_t kXelorMode = 0x10;        // pin 6: 0 single update, 1 full init
inline constexpr std::uint8_t kXelorNotEnable = 0x20;   // pin 17
inline constexpr std::uint8_t kXelorPins = 0x3F;

class XelorCrosspoint {
public:
    XelorCrosspoint();

    // All outputs disabled, shift register cleared.
    void Reset();

    // The pin levels (kXelor... bits) after a change; edges are found against the previous
    // levels.
    void On_Pins(std::uint8_t levels);

    bool Data_Out() const { return shift_register_[kFullInitBits - 1]; }  // pin 13
    static constexpr bool kAnalogOutLevel = false;                        // pin 12 (AOUT)

    // Address pins A3..A0 that a single update must match (default 0000).
    void Set_Address(unsigned address) { address_ = address & 0x0F; }
    unsigned Address() const { return address_; }

    CrosspointRoute Route(int output) const;
    // Sets an output's route behind the pins, as a restored board state does.
    void Set_Route(int output, const CrosspointRoute& route);
    // Bit 0 is the bit shifted in last.
    const std::bitset<kFullInitBits>& Shift_Register() const { return shift_register_; }
    std::uint16_t Last_16_Bits() const;

    const CrosspointCounters& Counters() const { return counters_; }
    void Reset_Counters() { counters_ = {}; }

private:
    void Shift_In(bool bit);
    void Latch(bool full_init);
    void Apply_Single_Update();
    void Apply_Full_Init();
    static CrosspointRoute Decode_Field(unsigned field);

    std::array<CrosspointRoute, kCrosspointOutputs> routes_{};
    std::bitset<kFullInitBits> shift_register_;
    std::uint8_t pins_ = kXelorPins;  // floating inputs read high
    unsigned address_ = 0;
    CrosspointCounters counters_;
};

}  // namespace board
