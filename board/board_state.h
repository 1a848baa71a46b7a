// The whole evaluation board as a file: the chip's channel and multi-channel registers,
// the display memory of all eight channels and the crosspoint routing. `osdex state save`
// writes it through the register bus; the simulated board behind `sim:FILE` keeps itself
// in it. The format (docs/simulated-board.md, "The board state file") is versioned and
// checked whole before anything is taken from it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "board/osdex_chip.h"
#include "board/xelor_crosspoint.h"

namespace board {

class SimulatedBoard;

inline constexpr std::uint32_t kBoardStateVersion = 1;
inline constexpr unsigned kStateRegisters = 136;  // the channel banks and the multi bank
inline constexpr std::size_t kStateQuads =
    static_cast<std::size_t>(kChannels) * kLines * kQuadsPerLine;

struct BoardState {
    std::array<std::uint8_t, kStateRegisters> registers{};  // as a read returns them
    std::vector<std::uint16_t> memory = std::vector<std::uint16_t>(kStateQuads);  // QPH << 8 | QPL
    std::array<CrosspointRoute, kCrosspointOutputs> routing{};
    bool routing_known = false;  // false: nobody knows what the crosspoint was last sent

    // Quad of channel c at (line, quad).
    std::uint16_t& Quad(int c, int line, int quad) {
        return memory[(static_cast<std::size_t>(c) * kLines + line) * kQuadsPerLine + quad];
    }
    std::uint16_t Quad(int c, int line, int quad) const {
        return memory[(static_cast<std::size_t>(c) * kLines + line) * kQuadsPerLine + quad];
    }
    bool operator==(const BoardState&) const = default;
};

// The file's bytes.
std::string Encode_Board_State(const BoardState& state);
// Reads a file's bytes; false with *error saying what is wrong (not a board state file,
// truncated, damaged, another version, a value out of range), *state untouched.
bool Decode_Board_State(std::string_view bytes, BoardState* state, std::string* error);

// Straight from and into the model, behind the pins.
BoardState Capture_Board_State(const SimulatedBoard& board);
// Powers the board up, then sets every register, quad and route of the state.
void Apply_Board_State(const BoardState& state, SimulatedBoard* board);

}  // namespace board
