// The evaluation board's video output: for each channel, the frame a monitor on that
// channel shows. The channel's source (colour bars by default) with the chip's overlay over
// it: display-memory pixel (x, y) of level L >= 1 at frame pixel (x + HOFFSET - 128,
// y + VOFFSET - 128) in the grey of its IRE, level 0 transparent, nothing while BLANK is
// set, the sharing source's memory on shared lines, and the no-signal screen while the
// channel has lost sync.
//
// Frames are drawn when asked for, and only where something changed since the channel was
// last drawn: the lines the chip marked (VideoChanges), everything after a change of source,
// and everything on each new frame number of a moving source. The caller counts the frames,
// so no clock runs inside the board.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "board/osdex_chip.h"
#include "board/video_source.h"

namespace board {

inline constexpr int kDisplayOrigin = 128;  // offset value that puts memory at frame (0, 0)

class VideoOutput {
public:
    VideoOutput() = default;

    // Out-of-range channels throw std::out_of_range; see ChannelSource for the rest.
    void Set_Source(int channel, VideoSource source);
    void Set_Picture(int channel, std::span<const std::uint32_t> pixels, int width, int height);
    VideoSource Source(int channel) const;

    // Brings the channel's frame up to date for frame_number; returns the rows redrawn
    // (0: the frame is as the last call left it).
    int Render(OsdexChip& chip, int channel, unsigned frame_number);
    // The channel's frame (kFramePixels, row by row, 0xFFRRGGBB) as the last Render left it;
    // empty before the first.
    std::span<const std::uint32_t> Frame(int channel) const;

    // Rows drawn by every Render so far.
    std::uint64_t Lines_Rendered() const { return lines_rendered_; }

private:
    struct Channel {
        ChannelSource source;
        std::vector<std::uint32_t> frame;  // allocated on the first Render
        bool source_changed = true;
        bool showing_no_signal = false;
        unsigned frame_number = 0;  // of the last Render
    };

    Channel& At(int channel);
    bool Needs_Whole_Frame(const Channel& c, const ChannelChanges& changes,
                           unsigned frame_number) const;
    int Draw_Changed_Rows(const OsdexChip& chip, int channel, const ChannelChanges& changes);
    void Draw_Row(const OsdexChip& chip, int channel, int row);
    static void Draw_Overlay_Line(const OsdexChip& chip, unsigned source, int line,
                                  int horizontal_shift, std::uint32_t* out);

    std::array<Channel, kChannels> channels_;
    std::uint64_t lines_rendered_ = 0;
};

}  // namespace board
