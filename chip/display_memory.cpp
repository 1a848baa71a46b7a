#include "chip/display_memory.h"

#include <cmath>

int Nearest_Quad(int x) {
    return static_cast<int>(std::floor(x / 4.0 + 0.5));
}

std::uint8_t Column_To_Quad(int x) {
    return static_cast<std::uint8_t>(Nearest_Quad(x) & 0xFF);
}

std::optional<FieldLine> Row_To_Field_Line(int row, int voffset) {
    if (row < 128 - voffset) return std::nullopt;
    const int c = row + voffset - 128;
    return FieldLine{c % 2 + 1, c / 2 + 21};
}
