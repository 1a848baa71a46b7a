// What the chip puts on the video for each 4-bit OSD level: 0 lets the picture through,
// 1..15 are luminance steps from 7 to 100 IRE.
#pragma once

#include <array>
#include <cstdint>

namespace board {

// IRE of each level; level 0 is transparent and has none.
inline constexpr std::array<int, 16> kLevelIre = {0,  7,  14, 21, 27, 34, 41, 47,
                                                  54, 60, 67, 74, 80, 87, 94, 100};

// The 8-bit grey of a level on the monitor: round(255 × IRE / 100).
constexpr std::uint8_t Level_Grey(unsigned level) {
    return static_cast<std::uint8_t>((255 * kLevelIre[level & 15U] + 50) / 100);
}

}  // namespace board
