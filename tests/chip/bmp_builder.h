// Bitmap files built byte by byte, for the cases no writer produces: cut-short files, RLE
// streams with early line ends, jumps and stray palette indexes.
#pragma once

#include <cstdint>
#include <vector>

struct BmpLayout {
    int width = 1;
    int height = 1;  // negative: top-down
    int bits = 8;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> palette = {};  // 0x00RRGGBB
    std::vector<std::uint32_t> masks = {};    // bit fields, written after the header
    std::vector<std::uint8_t> data = {};      // pixel data or RLE stream
};

inline void Put_Le(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline std::vector<std::uint8_t> Bmp_File(const BmpLayout& layout) {
    const std::uint32_t offset =
        14 + 40 + 4 * static_cast<std::uint32_t>(layout.masks.size() + layout.palette.size());
    std::vector<std::uint8_t> out = {'B', 'M'};
    Put_Le(out, offset + static_cast<std::uint32_t>(layout.data.size()), 4);
    Put_Le(out, 0, 4);
    Put_Le(out, offset, 4);
    Put_Le(out, 40, 4);
    Put_Le(out, static_cast<std::uint32_t>(layout.width), 4);
    Put_Le(out, static_cast<std::uint32_t>(layout.height), 4);
    Put_Le(out, 1, 2);
    Put_Le(out, static_cast<std::uint32_t>(layout.bits), 2);
    Put_Le(out, layout.compression, 4);
    Put_Le(out, static_cast<std::uint32_t>(layout.data.size()), 4);
    Put_Le(out, 2835, 4);
    Put_Le(out, 2835, 4);
    Put_Le(out, static_cast<std::uint32_t>(layout.palette.size()), 4);
    Put_Le(out, 0, 4);
    for (std::uint32_t mask : layout.masks) Put_Le(out, mask, 4);
    for (std::uint32_t colour : layout.palette) Put_Le(out, colour, 4);
    out.insert(out.end(), layout.data.begin(), layout.data.end());
    return out;
}
