// The simulated evaluation board behind the 25-pin connector: the Osdex chip on its
// register bus, the Xelor crosspoint on the shared pins, and the loopback from pin 9 to
// pin 10. It sees pin levels only (SimulatedPort turns register accesses into them) and
// answers through the input pins and, while the port floats them, the data pins.
//
// Its video output (Video()) is what a monitor on each channel shows.
//
// Fault injection: Set_Connected(false) (no board on the cable), Set_Loopback_Broken,
// Set_Read_Flip_Mask (bits flipped in every value the chip drives on a read) here;
// stuck busy and loss of sync per channel on Chip(); Clear_Faults() ends them all.
#pragma once

#include <cstdint>

#include "board/osdex_chip.h"
#include "board/video_output.h"
#include "board/xelor_crosspoint.h"

namespace board {

// Output pin levels at the control register's bit positions (after the port's inversions).
inline constexpr std::uint8_t kPin1Wr = 0x01;     // ~WR
inline constexpr std::uint8_t kPin14Addr = 0x02;  // ADDR/~DATA
inline constexpr std::uint8_t kPin16Rd = 0x04;    // ~RD
inline constexpr std::uint8_t kPin17Cs = 0x08;    // chip CS / crosspoint ~CE

// Input pin levels at the status register's bit positions (before the port's inversion).
inline constexpr std::uint8_t kPin15Ready = 0x08;      // RDY/~BUSY
inline constexpr std::uint8_t kPin13DataOut = 0x10;    // crosspoint DATAOUT
inline constexpr std::uint8_t kPin12AnalogOut = 0x20;  // crosspoint AOUT
inline constexpr std::uint8_t kPin10Loopback = 0x40;   // follows pin 9
inline constexpr std::uint8_t kPin11Spare = 0x80;      // unconnected, pulled high
inline constexpr std::uint8_t kInputPinsMask = 0xF8;

// Data lines that nobody drives read high (pull-ups).
inline constexpr std::uint8_t kFloatingData = 0xFF;

struct BoardCounters {
    std::uint64_t pin_changes = 0;       // Drive_Pins calls that changed a level
    std::uint64_t address_latches = 0;   // address phases of bus cycles
    std::uint64_t data_contentions = 0;  // chip drove the data pins while the port drove them
};

class SimulatedBoard {
public:
    SimulatedBoard() = default;

    // Power cycle: chip and crosspoint to their power-up state; faults and settings stay.
    void Power_Up();

    // --- the connector, as SimulatedPort drives and reads it ---
    // data_latch: the port's data output latch; data_driven: whether the port drives pins
    // 2..9 with it; control_levels: pins 1, 14, 16, 17 at the kPin... positions.
    void Drive_Pins(std::uint8_t data_latch, bool data_driven, std::uint8_t control_levels);
    // Levels on pins 2..9 (bit 0 = pin 2) as they are now.
    std::uint8_t Data_Pins() const;
    // Levels of the input pins at the kPin... positions; reading RDY counts as a busy poll.
    std::uint8_t Poll_Input_Pins();
    // Level of any connector pin 1..17 without side effects (grounds and others: false).
    bool Pin_Level(int pin) const;

    // --- the parts, for inspection and their own fault settings ---
    OsdexChip& Chip() { return chip_; }
    const OsdexChip& Chip() const { return chip_; }
    XelorCrosspoint& Crosspoint() { return crosspoint_; }
    const XelorCrosspoint& Crosspoint() const { return crosspoint_; }
    VideoOutput& Video() { return video_; }
    const VideoOutput& Video() const { return video_; }

    // The channel's monitor picture brought up to date for frame_number; rows redrawn.
    int Render_Video(int channel, unsigned frame_number) {
        return video_.Render(chip_, channel, frame_number);
    }

    const BoardCounters& Counters() const { return counters_; }
    void Reset_Counters();  // board, chip and crosspoint counters

    // --- fault injection ---
    void Set_Connected(bool connected);  // false: the cable ends in the air
    bool Connected() const { return connected_; }
    void Set_Loopback_Broken(bool broken) { loopback_broken_ = broken; }
    bool Loopback_Broken() const { return loopback_broken_; }
    void Set_Read_Flip_Mask(std::uint8_t mask) { read_flip_mask_ = mask; }
    std::uint8_t Read_Flip_Mask() const { return read_flip_mask_; }
    // Connected, loopback whole, no flips, chip not stuck, every channel in sync.
    void Clear_Faults();

private:
    void On_Control_Edges(std::uint8_t old_levels, std::uint8_t new_levels);
    void Update_Crosspoint();
    std::uint8_t Chip_Drive_Value() const;
    bool Chip_Drives_Data() const;

    OsdexChip chip_;
    XelorCrosspoint crosspoint_;
    VideoOutput video_;
    std::uint8_t port_latch_ = 0;
    bool port_drives_ = true;
    std::uint8_t control_levels_ = kPin1Wr | kPin14Addr | kPin17Cs;  // port power-up: control 0
    std::uint8_t data_levels_ = 0;
    std::uint8_t crosspoint_levels_ = kXelorPins;  // as the crosspoint last saw them
    std::uint8_t address_latch_ = 0;
    std::uint8_t read_value_ = 0;  // what the chip drives during ~RD
    bool connected_ = true;
    bool loopback_broken_ = false;
    std::uint8_t read_flip_mask_ = 0;
    BoardCounters counters_;
};

}  // namespace board
