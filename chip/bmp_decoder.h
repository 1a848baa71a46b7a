// A bitmap (BMP/DIB) decoder whose result is fully defined: every pixel of a decoded picture
// comes from the file, or the file is refused with the reason. The toolkit's own reader
// leaves the pixels of a cut-short or sparse file as whatever the memory held.
//
// Reads the core (OS/2 1.x) and the Windows info headers up to version 5: 1, 4 and 8 bits
// with a palette, 16, 24 and 32 bits direct, RLE8, RLE4 and bit-field masks. Bottom-up and
// top-down pixel order.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct BmpPicture {
    int width = 0;
    int height = 0;
    bool has_alpha = false;  // an alpha mask was given; else every pixel is opaque
    // 0xAARRGGBB, row by row from the top; width * height of them on success.
    std::vector<std::uint32_t> pixels;
    std::string error;  // why the file was refused; empty on success
};

// True when the bytes start like a bitmap file ("BM").
bool Looks_Like_Bmp(std::span<const std::uint8_t> bytes);

// Decodes a whole bitmap file. Refuses (error set, no pixels) files that end before the
// bitmap does, RLE lines that end early or skip pixels, pixels naming colours beyond the
// palette, and headers that do not describe a picture of at most Bmp_Max_Pixels pixels.
BmpPicture Decode_Bmp(std::span<const std::uint8_t> bytes);

inline constexpr std::int64_t Bmp_Max_Pixels = std::int64_t{1} << 26;
