// What the chip changed on each channel's video since the video output last drew it: the
// whole channel (offsets, blanking, sync, sharing) or single display lines (memory). Marking
// is a bit set, so a bus cycle stays cheap; drawing happens when a frame is asked for.
#pragma once

#include <array>
#include <cstdint>

#include "board/display_geometry.h"

namespace board {

// One channel's changes: every line, or the set lines of `lines` (bit l % 64 of word l / 64).
struct ChannelChanges {
    static constexpr int kWords = kLines / 64;
    bool whole = false;
    std::array<std::uint64_t, kWords> lines{};

    bool Any() const;
    bool Line(unsigned line) const { return (lines[line / 64] >> (line % 64) & 1U) != 0; }
};

class VideoChanges {
public:
    VideoChanges() { Mark_All(); }

    void Mark_Line(int channel, unsigned line) {
        channels_[channel].lines[line / 64] |= std::uint64_t{1} << (line % 64);
    }
    void Mark_Channel(int channel) { channels_[channel].whole = true; }
    void Mark_All();

    // The channel's changes since the last Take, which start afresh.
    ChannelChanges Take(int channel);
    const ChannelChanges& Pending(int channel) const { return channels_[channel]; }

private:
    std::array<ChannelChanges, kChannels> channels_{};
};

}  // namespace board
