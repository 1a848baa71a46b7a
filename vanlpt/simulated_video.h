// The library's calls onto a simulated board's video output: arguments checked, failures
// as messages. The C interface (vanlpt.h) finds the board and keeps the message.
#pragma once

#include <cstdint>
#include <string>

#include "board/simulated_board.h"

namespace vanlpt {

// Each returns "" on success, else why nothing was done.
std::string Fetch_Channel_Frame(board::SimulatedBoard& model, int channel, unsigned frame_number,
                                std::uint32_t* pixels, int* changed);
std::string Set_Video_Source(board::SimulatedBoard& model, int channel, int source,
                             const std::uint32_t* picture, int width, int height);
// The channel's source as a VANLPT_VIDEO_... number; -1 for a bad channel.
int Video_Source_Of(const board::SimulatedBoard& model, int channel);

}  // namespace vanlpt
