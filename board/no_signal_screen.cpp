#include "board/no_signal_screen.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

#include "board/video_source.h"

namespace board {
namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kScale = 8;  // screen pixels per glyph pixel
constexpr int kAdvance = (kGlyphWidth + 1) * kScale;
constexpr std::string_view kLegend = "NO SIGNAL";

// Rows from the top; bit 4 is the leftmost column.
using Glyph = std::array<std::uint8_t, kGlyphHeight>;

Glyph Glyph_Of(char c) {
    switch (c) {
        case 'N':
            return {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11};
        case 'O':
            return {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E};
        case 'S':
            return {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E};
        case 'I':
            return {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E};
        case 'G':
            return {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F};
        case 'A':
            return {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11};
        case 'L':
            return {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F};
        default:
            return {};
    }
}

void Fill_Block(std::span<std::uint32_t> frame, int left, int top) {
    for (int y = top; y < top + kScale; ++y)
        std::fill_n(frame.begin() + static_cast<std::ptrdiff_t>(y) * kFrameWidth + left, kScale,
                    kNoSignalLegend);
}

void Draw_Glyph(std::span<std::uint32_t> frame, const Glyph& glyph, int left, int top) {
    for (int row = 0; row < kGlyphHeight; ++row)
        for (int column = 0; column < kGlyphWidth; ++column)
            if ((glyph[row] >> (kGlyphWidth - 1 - column) & 1U) != 0)
                Fill_Block(frame, left + column * kScale, top + row * kScale);
}

}  // namespace

void Draw_No_Signal_Screen(std::span<std::uint32_t> frame) {
    if (frame.size() != static_cast<std::size_t>(kFramePixels))
        throw std::invalid_argument("simulated video: a frame is 712 x 512 pixels");
    std::fill(frame.begin(), frame.end(), kOpaque);
    const int width = static_cast<int>(kLegend.size()) * kAdvance - kScale;
    const int left = (kFrameWidth - width) / 2;
    const int top = (kFrameHeight - kGlyphHeight * kScale) / 2;
    for (std::size_t i = 0; i < kLegend.size(); ++i)
        Draw_Glyph(frame, Glyph_Of(kLegend[i]), left + static_cast<int>(i) * kAdvance, top);
}

}  // namespace board
