// `osdex memory save|load|erase`: one channel's display memory as a picture in the
// program's own colours, a picture uploaded into a channel, and channels filled with a level.
#pragma once

#include <cstdint>
#include <string>

// Reads channel's memory back through the registers and writes a 712 x 512 PNG (level 0 as
// Transparent_Color, levels 1..15 as their greys), atomically.
int Run_Memory_Save(int channel, const std::string& path);
// Loads a picture (any format the windows load; refused before anything is sent when it does
// not decode completely) and uploads it to the channel at (0, 0).
int Run_Memory_Load(int channel, const std::string& path);
// Fills the display memory of the channels in mask with the level, through the
// multi-channel registers.
int Run_Memory_Erase(std::uint8_t mask, int level);
