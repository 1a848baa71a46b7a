#include "board/simulated_board.h"

#include "board/pin_edges.h"

namespace board {
namespace {

constexpr std::uint8_t kPin9 = 0x80;  // data bit 7

}  // namespace

void SimulatedBoard::Power_Up() {
    chip_.Power_Up();
    crosspoint_.Reset();
    address_latch_ = 0;
    read_value_ = 0;
}

void SimulatedBoard::Reset_Counters() {
    counters_ = {};
    chip_.Reset_Counters();
    crosspoint_.Reset_Counters();
}

void SimulatedBoard::Set_Connected(bool connected) {
    connected_ = connected;
}

void SimulatedBoard::Clear_Faults() {
    Set_Connected(true);
    loopback_broken_ = false;
    read_flip_mask_ = 0;
    chip_.Set_Stuck_Busy(false);
    for (int channel = 0; channel < kChannels; ++channel) chip_.Set_Loss_Of_Sync(channel, false);
}

// ---- the connector ----

void SimulatedBoard::Drive_Pins(std::uint8_t data_latch, bool data_driven,
                                std::uint8_t control_levels) {
    if (data_latch == port_latch_ && data_driven == port_drives_ &&
        control_levels == control_levels_) {
        return;  // a rewrite of the same value moves no pin
    }
    const std::uint8_t old_control = control_levels_;
    port_latch_ = data_latch;
    port_drives_ = data_driven;
    control_levels_ = control_levels;
    // Unplugged, the board keeps following the levels so that plugging it back in
    // produces no phantom edges, but nothing on it reacts.
    if (!connected_) return;
    ++counters_.pin_changes;
    if (old_control != control_levels) On_Control_Edges(old_control, control_levels);
    data_levels_ = Data_Pins();
    Update_Crosspoint();
}

// Bus cycles: CS (pin 17) high selects the chip. ~WR rising latches the address when
// ADDR/~DATA is high and writes the register when it is low; ~RD falling with ADDR/~DATA
// low reads the register, whose value the chip drives on pins 2..9 while ~RD stays low.
void SimulatedBoard::On_Control_Edges(std::uint8_t old_levels, std::uint8_t new_levels) {
    if ((new_levels & kPin17Cs) == 0) return;
    const bool address_phase = (new_levels & kPin14Addr) != 0;
    if (Rising(old_levels, new_levels, kPin1Wr)) {
        const std::uint8_t bus = Data_Pins();
        if (address_phase) {
            address_latch_ = bus;
            ++counters_.address_latches;
        } else {
            chip_.Write(address_latch_, bus);
        }
    }
    if (Falling(old_levels, new_levels, kPin16Rd) && !address_phase) {
        read_value_ = chip_.Read(address_latch_);
        if (port_drives_) ++counters_.data_contentions;
    }
}

bool SimulatedBoard::Chip_Drives_Data() const {
    return connected_ && (control_levels_ & kPin17Cs) != 0 && (control_levels_ & kPin14Addr) == 0 &&
           (control_levels_ & kPin16Rd) == 0;
}

// The value is valid only once RDY is back; before that the chip's outputs are not yet
// driven and the lines read as pulled up.
std::uint8_t SimulatedBoard::Chip_Drive_Value() const {
    if (!chip_.Ready()) return kFloatingData;
    return static_cast<std::uint8_t>(read_value_ ^ read_flip_mask_);
}

std::uint8_t SimulatedBoard::Data_Pins() const {
    if (port_drives_) return port_latch_;
    return Chip_Drives_Data() ? Chip_Drive_Value() : kFloatingData;
}

// Only changes of its own pins reach the crosspoint, and none while it stays deselected:
// register traffic (CS high all along) costs it nothing.
void SimulatedBoard::Update_Crosspoint() {
    const auto levels =
        static_cast<std::uint8_t>((data_levels_ & (kXelorPins & ~kXelorNotEnable)) |
                                  ((control_levels_ & kPin17Cs) != 0 ? kXelorNotEnable : 0));
    const std::uint8_t before = crosspoint_levels_;
    if (levels == before) return;
    crosspoint_levels_ = levels;
    if ((levels & before & kXelorNotEnable) != 0) return;
    crosspoint_.On_Pins(levels);
}

std::uint8_t SimulatedBoard::Poll_Input_Pins() {
    if (!connected_) return kInputPinsMask;
    std::uint8_t levels = kPin11Spare;
    if (chip_.Poll_Ready()) levels |= kPin15Ready;
    if (crosspoint_.Data_Out()) levels |= kPin13DataOut;
    if (XelorCrosspoint::kAnalogOutLevel) levels |= kPin12AnalogOut;
    // A broken loopback leaves pin 10 floating high.
    if (loopback_broken_ || (Data_Pins() & kPin9) != 0) levels |= kPin10Loopback;
    return levels;
}

bool SimulatedBoard::Pin_Level(int pin) const {
    if (pin >= 2 && pin <= 9) return (Data_Pins() >> (pin - 2) & 1U) != 0;
    switch (pin) {
        case 1:
            return (control_levels_ & kPin1Wr) != 0;
        case 14:
            return (control_levels_ & kPin14Addr) != 0;
        case 16:
            return (control_levels_ & kPin16Rd) != 0;
        case 17:
            return (control_levels_ & kPin17Cs) != 0;
        case 10:
            return !connected_ || loopback_broken_ || (Data_Pins() & kPin9) != 0;
        case 11:
            return true;
        case 12:
            return !connected_ || XelorCrosspoint::kAnalogOutLevel;
        case 13:
            return !connected_ || crosspoint_.Data_Out();
        case 15:
            return !connected_ || chip_.Ready();
        default:
            return false;
    }
}

}  // namespace board
