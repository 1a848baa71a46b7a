// PNG files of our own pictures: 8-bit RGB, no alpha, no interlace, one compressed block.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// The bytes of a PNG file of width × height pixels 0x??RRGGBB (the top byte is ignored),
// row by row from the top. Throws std::invalid_argument when the pixels are not
// width × height or the size is empty or beyond what a PNG holds.
std::string Encode_Png(std::span<const std::uint32_t> pixels, int width, int height);
