// What the monitor shows for a channel without sync: black with "NO SIGNAL" in the middle.
#pragma once

#include <cstdint>
#include <span>

namespace board {

inline constexpr std::uint32_t kNoSignalLegend = 0xFFC0C0C0;  // light grey

// Draws the whole screen into a frame of kFrameWidth × kFrameHeight pixels.
void Draw_No_Signal_Screen(std::span<std::uint32_t> frame);

}  // namespace board
