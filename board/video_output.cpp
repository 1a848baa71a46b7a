#include "board/video_output.h"

#include <bit>
#include <stdexcept>

#include "board/no_signal_screen.h"
#include "board/osd_levels.h"

namespace board {
namespace {

constexpr std::array<std::uint32_t, 16> Level_Pixels() {
    std::array<std::uint32_t, 16> pixels{};
    for (unsigned level = 0; level < 16; ++level) pixels[level] = Grey_Pixel(Level_Grey(level));
    return pixels;
}
constexpr std::array<std::uint32_t, 16> kLevelPixels = Level_Pixels();

unsigned Channel_Register(int channel, unsigned offset) {
    return static_cast<unsigned>(channel) * kBankSize + offset;
}

// How far the offsets move the overlay from its place at offset 128.
int Shift(const OsdexChip& chip, int channel, unsigned offset) {
    return static_cast<int>(chip.Register(Channel_Register(channel, offset))) - kDisplayOrigin;
}

void Check_Channel(int channel) {
    if (channel < 0 || channel >= kChannels)
        throw std::out_of_range("simulated video: channel out of range");
}

}  // namespace

VideoOutput::Channel& VideoOutput::At(int channel) {
    Check_Channel(channel);
    return channels_[channel];
}

void VideoOutput::Set_Source(int channel, VideoSource source) {
    Channel& c = At(channel);
    c.source.Set(source);
    c.source_changed = true;
}

void VideoOutput::Set_Picture(int channel, std::span<const std::uint32_t> pixels, int width,
                              int height) {
    Channel& c = At(channel);
    c.source.Set_Picture(pixels, width, height);
    c.source_changed = true;
}

VideoSource VideoOutput::Source(int channel) const {
    Check_Channel(channel);
    return channels_[channel].source.Kind();
}

std::span<const std::uint32_t> VideoOutput::Frame(int channel) const {
    Check_Channel(channel);
    return channels_[channel].frame;
}

int VideoOutput::Render(OsdexChip& chip, int channel, unsigned frame_number) {
    Channel& c = At(channel);
    const ChannelChanges changes = chip.Take_Video_Changes(channel);
    if (c.frame.empty()) c.frame.resize(kFramePixels);
    const bool whole = Needs_Whole_Frame(c, changes, frame_number);
    c.frame_number = frame_number;
    c.source_changed = false;
    int rows = 0;
    if (chip.Loss_Of_Sync(channel)) {
        // Nothing of the channel shows until sync comes back, which redraws it all.
        if (!c.showing_no_signal) {
            Draw_No_Signal_Screen(c.frame);
            c.showing_no_signal = true;
            rows = kFrameHeight;
        }
    } else if (whole) {
        c.showing_no_signal = false;
        for (int row = 0; row < kFrameHeight; ++row) Draw_Row(chip, channel, row);
        rows = kFrameHeight;
    } else {
        rows = Draw_Changed_Rows(chip, channel, changes);
    }
    lines_rendered_ += static_cast<std::uint64_t>(rows);
    return rows;
}

bool VideoOutput::Needs_Whole_Frame(const Channel& c, const ChannelChanges& changes,
                                    unsigned frame_number) const {
    return c.source_changed || c.showing_no_signal || changes.whole ||
           (c.source.Moving() && frame_number != c.frame_number);
}

// Marks are display lines; the vertical offset puts each on its frame row, and lines pushed
// off the frame cost nothing.
int VideoOutput::Draw_Changed_Rows(const OsdexChip& chip, int channel,
                                   const ChannelChanges& changes) {
    const int shift = Shift(chip, channel, kVOFFSET);
    int rows = 0;
    for (int word = 0; word < ChannelChanges::kWords; ++word) {
        for (std::uint64_t bits = changes.lines[word]; bits != 0; bits &= bits - 1) {
            const int row = word * 64 + std::countr_zero(bits) + shift;
            if (row < 0 || row >= kFrameHeight) continue;
            Draw_Row(chip, channel, row);
            ++rows;
        }
    }
    return rows;
}

void VideoOutput::Draw_Row(const OsdexChip& chip, int channel, int row) {
    Channel& c = channels_[channel];
    std::uint32_t* out = c.frame.data() + static_cast<std::ptrdiff_t>(row) * kFrameWidth;
    c.source.Fill_Row(row, c.frame_number, out);
    if ((chip.Register(Channel_Register(channel, kSTATUS)) & kStatusBlank) != 0) return;
    const int line = row - Shift(chip, channel, kVOFFSET);
    if (line < 0 || line >= kLines) return;
    Draw_Overlay_Line(chip, chip.Share_Source(channel, line), line, Shift(chip, channel, kHOFFSET),
                      out);
}

void VideoOutput::Draw_Overlay_Line(const OsdexChip& chip, unsigned source, int line,
                                    int horizontal_shift, std::uint32_t* out) {
    const auto quads = chip.Line_Quads(static_cast<int>(source), line);
    for (int q = 0; q < kQuadsPerLine; ++q) {
        const std::uint16_t quad = quads[q];
        if (quad == 0) continue;
        for (int p = 0; p < kPixelsPerQuad; ++p) {
            const unsigned level = quad >> (12 - 4 * p) & 15U;
            const int x = q * kPixelsPerQuad + p + horizontal_shift;
            if (level != 0 && x >= 0 && x < kFrameWidth) out[x] = kLevelPixels[level];
        }
    }
}

}  // namespace board
