// The camera side of a channel: the picture the chip lays its overlay over. Pixels are
// 0xFFRRGGBB, one frame of kFrameWidth × kFrameHeight in display-memory coordinates.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "board/display_geometry.h"

namespace board {

inline constexpr int kFrameWidth = kPixelsPerLine;  // 712
inline constexpr int kFrameHeight = kLines;         // 512
inline constexpr int kFramePixels = kFrameWidth * kFrameHeight;
// Pictures larger than this are refused rather than scaled down.
inline constexpr std::int64_t kMaxSourcePixels = std::int64_t{1} << 26;

enum class VideoSource {
    ColourBars,  // eight vertical 75 % bars: white, yellow, cyan, green, magenta, red, blue, black
    GreyRamp,    // black at the left to white at the right
    Black,
    MovingPattern,  // diagonal stripes that move with the frame number
    Picture,        // a still picture, scaled to the frame
};

inline constexpr std::uint32_t kOpaque = 0xFF000000;

constexpr std::uint32_t Grey_Pixel(std::uint8_t grey) {
    return kOpaque | grey * 0x010101U;
}

class ChannelSource {
public:
    // Colour bars.
    ChannelSource() = default;

    // Any source but Picture; throws std::invalid_argument for Picture.
    void Set(VideoSource source);
    // A picture of 0xAARRGGBB pixels, row by row from the top, scaled to the frame (nearest
    // pixel) and laid over black by its alpha. Throws std::invalid_argument when the pixels
    // are not width × height, or the picture is empty or larger than kMaxSourcePixels.
    void Set_Picture(std::span<const std::uint32_t> pixels, int width, int height);

    VideoSource Kind() const { return kind_; }
    // Whether the picture changes from frame to frame.
    bool Moving() const { return kind_ == VideoSource::MovingPattern; }

    // Frame row `row` (0..kFrameHeight - 1) into out[0..kFrameWidth - 1].
    void Fill_Row(int row, unsigned frame_number, std::uint32_t* out) const;

private:
    VideoSource kind_ = VideoSource::ColourBars;
    std::vector<std::uint32_t> picture_;  // kFramePixels once scaled, else empty
};

}  // namespace board
