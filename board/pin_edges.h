// Edge detection on a byte of pin levels, shared by everything on the board that reacts
// to pin changes.
#pragma once

#include <cstdint>

namespace board {

constexpr bool Rising(std::uint8_t before, std::uint8_t after, std::uint8_t pin) {
    return (before & pin) == 0 && (after & pin) != 0;
}

constexpr bool Falling(std::uint8_t before, std::uint8_t after, std::uint8_t pin) {
    return (before & pin) != 0 && (after & pin) == 0;
}

}  // namespace board
