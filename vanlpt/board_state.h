// The whole evaluation board as a file: the chip's channel and multi-channel registers,
// the display memory of all eight channels and the crosspoint routing. `osdex state save`
// writes it through the register bus; the simulated board behind `sim:FILE` keeps itself
// in it, so both share this format (docs/simulated-board.md, "The board state file"). It is
// versioned and checked whole before anything is taken from it. Part of the library's
// interface: plain data, no port and no board model.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vanlpt {

inline constexpr std::uint32_t kBoardStateVersion = 1;
inline constexpr unsigned kStateRegisters = 136;  // the channel banks and the multi bank
inline constexpr int kStateChannels = 8;
inline constexpr int kStateLines = 512;
inline constexpr int kStateQuadsPerLine = 178;
inline constexpr int kStateOutputs = 16;  // crosspoint outputs
inline constexpr int kStateInputs = 32;
inline constexpr std::size_t kStateQuads =
    static_cast<std::size_t>(kStateChannels) * kStateLines * kStateQuadsPerLine;

struct StateRoute {
    bool enabled = false;
    unsigned input = 0;  // 0..31
    unsigned gain = 1;   // 1 or 2 V/V
    bool operator==(const StateRoute&) const = default;
};

struct BoardState {
    std::array<std::uint8_t, kStateRegisters> registers{};  // as a read returns them
    std::vector<std::uint16_t> memory = std::vector<std::uint16_t>(kStateQuads);  // QPH << 8 | QPL
    std::array<StateRoute, kStateOutputs> routing{};
    bool routing_known = false;  // false: nobody knows what the crosspoint was last sent

    // Quad of channel c at (line, quad).
    std::uint16_t& Quad(int c, int line, int quad) {
        return memory[(static_cast<std::size_t>(c) * kStateLines + line) * kStateQuadsPerLine +
                      quad];
    }
    std::uint16_t Quad(int c, int line, int quad) const {
        return memory[(static_cast<std::size_t>(c) * kStateLines + line) * kStateQuadsPerLine +
                      quad];
    }
    bool operator==(const BoardState&) const = default;
};

// The file's bytes.
std::string Encode_Board_State(const BoardState& state);
// Rewrites the checksum at the end of a file's bytes to match what comes before it (tools
// and tests that change a file on purpose); bytes too short to hold one stay as they are.
void Seal_Board_State(std::string& bytes);
// Reads a file's bytes; false with *error saying what is wrong (not a board state file,
// truncated, damaged, another version, a value out of range), *state untouched.
bool Decode_Board_State(std::string_view bytes, BoardState* state, std::string* error);

}  // namespace vanlpt
