#include "board/xelor_crosspoint.h"

#include <stdexcept>

#include "board/pin_edges.h"

namespace board {
namespace {

constexpr unsigned kFieldEnabled = 0x40;
constexpr unsigned kFieldGain2 = 0x20;
constexpr unsigned kFieldInput = 0x1F;

}  // namespace

XelorCrosspoint::XelorCrosspoint() {
    Reset();
}

void XelorCrosspoint::Reset() {
    routes_.fill(CrosspointRoute{});
    shift_register_.reset();
}

void XelorCrosspoint::On_Pins(std::uint8_t levels) {
    const std::uint8_t before = pins_;
    pins_ = levels;
    // Deselected (~CE high) it ignores the shared pins, so register traffic on them, which
    // always runs with ~CE high, never disturbs it. Edges count only while ~CE was and is
    // low: levels left behind by that traffic are not edges when ~CE falls.
    if (((before | levels) & kXelorNotEnable) != 0) return;
    // A reset pulse is a low pulse on pin 2. Either edge resets: pin 2 may already be low
    // from earlier register traffic when the pulse starts, and the rising edge is then the
    // only one the crosspoint sees.
    if (((before ^ levels) & kXelorResetPulse) != 0) {
        Reset();
        ++counters_.resets;
        return;
    }
    if (Falling(before, levels, kXelorClock)) Shift_In((levels & kXelorDataIn) != 0);
    if (Falling(before, levels, kXelorNotUpdate)) Latch((levels & kXelorMode) != 0);
}

void XelorCrosspoint::Shift_In(bool bit) {
    shift_register_ <<= 1;
    shift_register_[0] = bit;
    ++counters_.bits_shifted;
}

void XelorCrosspoint::Latch(bool full_init) {
    if (full_init) {
        Apply_Full_Init();
    } else {
        Apply_Single_Update();
    }
}

std::uint16_t XelorCrosspoint::Last_16_Bits() const {
    std::uint16_t word = 0;
    for (int i = kSingleUpdateBits - 1; i >= 0; --i) {
        word = static_cast<std::uint16_t>((word << 1) | (shift_register_[i] ? 1 : 0));
    }
    return word;
}

// Word layout, first bit sent = bit 15: 0, A3..A0, output (4 bits), then a 7-bit field.
void XelorCrosspoint::Apply_Single_Update() {
    const unsigned word = Last_16_Bits();
    const unsigned address = (word >> 11) & 0x0F;
    if (address != address_) {
        ++counters_.ignored_updates;
        return;
    }
    const unsigned output = (word >> 7) & 0x0F;
    routes_[output] = Decode_Field(word & 0x7F);
    ++counters_.single_updates;
}

// Field k of the 112 bits (k = 0 shifted in first) loads output 15 - k, so output o sits in
// the register's bits 7 o .. 7 o + 6.
void XelorCrosspoint::Apply_Full_Init() {
    for (int output = 0; output < kCrosspointOutputs; ++output) {
        unsigned field = 0;
        for (int bit = kFullInitFieldBits - 1; bit >= 0; --bit) {
            field = (field << 1) | (shift_register_[output * kFullInitFieldBits + bit] ? 1U : 0U);
        }
        routes_[output] = Decode_Field(field);
    }
    ++counters_.full_inits;
}

CrosspointRoute XelorCrosspoint::Decode_Field(unsigned field) {
    return CrosspointRoute{(field & kFieldEnabled) != 0, field & kFieldInput,
                           (field & kFieldGain2) != 0 ? 2U : 1U};
}

void XelorCrosspoint::Set_Route(int output, const CrosspointRoute& route) {
    if (output < 0 || output >= kCrosspointOutputs) {
        throw std::out_of_range("crosspoint output out of range");
    }
    routes_[output] = route;
}

CrosspointRoute XelorCrosspoint::Route(int output) const {
    if (output < 0 || output >= kCrosspointOutputs) {
        throw std::out_of_range("crosspoint output out of range");
    }
    return routes_[output];
}

}  // namespace board
