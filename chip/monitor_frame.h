// One frame of the simulated board's video output, for every script-facing user (`osdex
// monitor`, the Python module): the channel's video source chosen by a word or a picture
// file, then what a monitor on the channel shows, 0xFFRRGGBB pixels row by row.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct VideoSourceChoice {
    int kind = 0;                        // a VANLPT_VIDEO_* source; bars unless chosen
    std::vector<std::uint32_t> picture;  // 0xAARRGGBB, for a picture source
    int width = 0;
    int height = 0;
};

// "bars" (or ""), "ramp" and "black" name the built-in sources; anything else is a picture
// file (./bars for a file of that name). The message when the file cannot be loaded, which
// is the caller's input.
std::optional<std::string> Resolve_Video_Source(const std::string& text, VideoSourceChoice* source);

// Shows source on channel (0..7) from now on: the library's reason when it cannot.
std::optional<std::string> Show_Video_Source(int channel, const VideoSourceChoice& source);

// Frame pixels of channel: Monitor_Frame_Pixels 0xFFRRGGBB words into pixels. The library's
// reason when there is no simulated board.
inline constexpr std::size_t Monitor_Frame_Pixels = 712u * 512u;
std::optional<std::string> Monitor_Frame(int channel, std::uint32_t* pixels);
