// The Osdex on-screen-display chip as it sits on the evaluation board's register bus:
// its 256 register addresses, the eight channels' display memory, the quad commands with
// their address auto-increment, loss-of-sync reporting and the busy time after an access.
// It knows nothing of pins; SimulatedBoard decodes the bus cycles and calls Write/Read.
// It notes which channels and lines of its video each change touches (VideoChanges), so
// that the video output redraws only those.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "board/display_geometry.h"
#include "board/video_changes.h"

namespace board {

inline constexpr unsigned kBankSize = 16;  // addresses per channel; channel n starts at 16 n

// Offsets inside a channel's bank of 16 addresses (bank start 16 n).
enum ChannelRegister : unsigned {
    kQPH = 0,
    kQPL = 1,
    kQPHORIZ = 2,
    kQPLINEH = 3,
    kQPLINEL = 4,
    kSTATUS = 5,
    kCOMMAND = 6,
    kHOFFSET = 7,
    kVOFFSET = 8,
    kSHRSRC = 9,
    kSHRBEGH = 10,
    kSHRBEGL = 11,
    kSHRENDH = 12,
    kSHRENDL = 13,
};

// The multi-channel bank.
enum MultiChannelRegister : unsigned {
    kMultiQPH = 128,
    kMultiQPL = 129,
    kMultiQPHORIZ = 130,
    kMultiQPLINEH = 131,
    kMultiQPLINEL = 132,
    kLOSALL = 133,
    kMWRITE = 134,
    kCONTROL = 135,
};

// STATUS (channel) and CONTROL (multi-channel) bits.
inline constexpr std::uint8_t kStatusVinc = 0x10;
inline constexpr std::uint8_t kStatusHinc = 0x08;
inline constexpr std::uint8_t kStatusAsync = 0x04;
inline constexpr std::uint8_t kStatusBlank = 0x02;
inline constexpr std::uint8_t kStatusLos = 0x01;  // reported by the chip, not writable

// COMMAND codes.
inline constexpr std::uint8_t kCommandReadQuad = 1;
inline constexpr std::uint8_t kCommandWriteQuad = 2;

// Default busy time, in status polls that still see RDY/~BUSY low after an access.
inline constexpr unsigned kDefaultRegisterBusyPolls = 1;
inline constexpr unsigned kDefaultMemoryBusyPolls = 3;

struct ChipCounters {
    std::uint64_t register_writes = 0;      // data phases of write cycles
    std::uint64_t register_reads = 0;       // data phases of read cycles
    std::uint64_t memory_commands = 0;      // COMMAND 1/2 and MWRITE, each one access
    std::uint64_t quads_written = 0;        // display-memory quads changed by commands
    std::uint64_t quads_read = 0;           // quads fetched by COMMAND 1
    std::uint64_t out_of_range = 0;         // quad commands at a column or line with no memory
    std::uint64_t accesses_while_busy = 0;  // accesses started before RDY came back
};

class OsdexChip {
public:
    OsdexChip();

    // Every register 0 except HOFFSET and VOFFSET 128; memory level 0; all channels in sync.
    // Loss-of-sync faults and the busy configuration are board conditions and survive it.
    void Power_Up();

    // One register access each, as the bus delivers it; both start the busy time.
    void Write(std::uint8_t address, std::uint8_t value);
    std::uint8_t Read(std::uint8_t address);

    // RDY/~BUSY level for one status poll (true = ready); a busy poll uses up one busy poll.
    bool Poll_Ready();
    bool Ready() const { return !stuck_busy_ && busy_polls_left_ == 0; }

    void Set_Busy_Polls(unsigned register_access, unsigned memory_command);
    unsigned Register_Busy_Polls() const { return register_busy_polls_; }
    unsigned Memory_Busy_Polls() const { return memory_busy_polls_; }
    void Set_Stuck_Busy(bool stuck) { stuck_busy_ = stuck; }
    bool Stuck_Busy() const { return stuck_busy_; }

    // Loss of sync on one channel: STATUS bit 0 and LOSALL bit n.
    void Set_Loss_Of_Sync(int channel, bool lost);
    bool Loss_Of_Sync(int channel) const;

    // Inspection behind the bus: no busy time, no counting, no command side effects.
    std::uint8_t Register(unsigned address) const;            // the value a read would return
    void Set_Register(unsigned address, std::uint8_t value);  // stores as a write would, no command
    std::uint16_t Quad(int channel, int line, int quad) const;  // QPH << 8 | QPL
    // The kQuadsPerLine quads of one line, left to right.
    std::span<const std::uint16_t, kQuadsPerLine> Line_Quads(int channel, int line) const;
    void Set_Quad(int channel, int line, int quad, std::uint16_t value);
    unsigned Pixel(int channel, int line, int x) const;  // level 0..15, x = 0..711
    void Set_Pixel(int channel, int line, int x, unsigned level);
    unsigned Quad_Line(int bank) const;    // 9-bit QPLINE of a channel (0..7) or 8 = multi bank
    unsigned Quad_Column(int bank) const;  // QPHORIZ of a channel (0..7) or 8 = multi bank
    // The quad the channel's video shows at (line, quad): level 0 while blanked, the source
    // channel's memory on shared lines.
    std::uint16_t Displayed_Quad(int channel, int line, int quad) const;
    // The channel whose memory the channel's display line shows: the highest channel set in
    // SHRSRC on lines SHRBEG..SHREND, else the channel itself. Blanking is not considered.
    unsigned Share_Source(int channel, int line) const;

    // What changed on the channel's video since the last call; marks start afresh. Power-up
    // marks everything.
    ChannelChanges Take_Video_Changes(int channel) { return changes_.Take(channel); }
    const VideoChanges& Video_Changes() const { return changes_; }

    const ChipCounters& Counters() const { return counters_; }
    void Reset_Counters() { counters_ = {}; }

private:
    struct QuadAddress {
        unsigned column_register;
        unsigned line_high_register;
        unsigned line_low_register;
        unsigned increment_register;  // STATUS or CONTROL
    };

    void Execute_Command(int channel, std::uint8_t command);
    void Execute_Mwrite(std::uint8_t mask);
    void Advance(const QuadAddress& a);
    bool Quad_In_Range(unsigned line, unsigned column) const;
    std::uint16_t& Memory(int channel, unsigned line, unsigned column);
    void Store_Quad(int channel, unsigned line, unsigned column, std::uint16_t value);
    unsigned Line_Of(const QuadAddress& a) const;
    static QuadAddress Channel_Address(int channel);
    static QuadAddress Multi_Address();
    unsigned Nine_Bit(unsigned high_address) const;
    void Note_Register_Change(unsigned address, std::uint8_t before);
    void Update_Sharers();
    void Start_Busy(unsigned polls);

    std::array<std::uint8_t, 256> registers_{};
    std::vector<std::uint16_t> memory_;
    std::uint8_t los_ = 0;  // bit n = channel n lost sync
    unsigned register_busy_polls_ = kDefaultRegisterBusyPolls;
    unsigned memory_busy_polls_ = kDefaultMemoryBusyPolls;
    unsigned busy_polls_left_ = 0;
    bool stuck_busy_ = false;
    ChipCounters counters_;
    VideoChanges changes_;
    // sharers_[s]: the other channels that show channel s's memory on some of their lines.
    std::array<std::uint8_t, kChannels> sharers_{};
};

}  // namespace board
