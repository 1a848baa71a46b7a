// The size of the chip's display memory, shared by the chip and its video output.
#pragma once

namespace board {

inline constexpr int kChannels = 8;
inline constexpr int kLines = 512;         // QPLINE 0..511
inline constexpr int kQuadsPerLine = 178;  // QPHORIZ 0..177
inline constexpr int kPixelsPerQuad = 4;
inline constexpr int kPixelsPerLine = kQuadsPerLine * kPixelsPerQuad;  // 712

}  // namespace board
