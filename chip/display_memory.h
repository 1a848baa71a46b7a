// Geometry of a channel's display memory and the mapping between picture coordinates and
// chip addresses. Picture pixel (x, y) is pixel x mod 4 of quad column x / 4 on line y.
#pragma once

#include <cstdint>
#include <optional>

inline constexpr int Display_Lines = 512;  // QPLINE 0..511, the picture rows
inline constexpr int Display_Quads = 178;  // QPHORIZ 0..177
inline constexpr int Pixels_Per_Quad = 4;
inline constexpr int Display_Width = Display_Quads * Pixels_Per_Quad;  // 712 picture columns

// Quad column nearest to picture x: x / 4 rounded half up, without cutting to 8 bits.
int Nearest_Quad(int x);

// Quad column of a quad that starts at picture x: x / 4 rounded half up, kept to 8 bits
// (x = 4k gives k, x = 4k + 2 already k + 1).
std::uint8_t Column_To_Quad(int x);

struct FieldLine {
    int field;  // 1 or 2
    int line;   // video line
};

// Video field and line of picture row with the channel's VOFFSET; nothing for the rows above
// the video (row < 128 - voffset).
std::optional<FieldLine> Row_To_Field_Line(int row, int voffset);
