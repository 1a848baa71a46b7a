// A channel's display memory as levels, for every script-facing user (`osdex memory`, the
// Python module): read back and written through the chip's auto-increment runs (one line
// set-up per line, then the quads), and channels filled with one level. The registers a run
// moves are put back afterwards. Each returns the library's reason when a transaction failed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// Levels of a channel: Display_Lines rows of Display_Width pixels, 0..15, row by row.
inline constexpr std::size_t Channel_Levels = 512u * 712u;

// Reads channel's memory into levels (Channel_Levels of them).
std::optional<std::string> Read_Channel_Levels(int channel, std::span<std::uint8_t> levels);
// Writes levels (Channel_Levels of them, each 0..15: the caller checks) into channel's
// memory; with the cache on for the run, a quad's data the chip already holds is not sent.
std::optional<std::string> Write_Channel_Levels(int channel, std::span<const std::uint8_t> levels);
// Fills the memory of the channels in mask with level (0..15) through the multi-channel
// registers.
std::optional<std::string> Erase_Channels(std::uint8_t mask, int level);
