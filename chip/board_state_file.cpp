#include "chip/board_state_file.h"

#include <array>

#include "chip/board_snapshot.h"
#include "chip/register_bus.h"
#include "port/xelor_commands.h"
#include "shell/whole_file.h"
#include "vanlpt/vanlpt.h"

namespace {

// A board state is about 1.4 MB; anything far bigger is no board state.
constexpr std::size_t Max_State_Bytes = 16u << 20;

void Send_Routing(const vanlpt::BoardState& state) {
    std::array<XelorOutput, Xelor_Outputs> outputs;
    for (int o = 0; o < Xelor_Outputs; ++o) {
        const vanlpt::StateRoute& r = state.routing[o];
        outputs[o] = {r.enabled, static_cast<int>(r.input), static_cast<int>(r.gain)};
    }
    Xelor_Send_112_Bits(outputs, false);
}

}  // namespace

std::optional<std::string> Read_Board_State_File(const std::string& path,
                                                 vanlpt::BoardState* state) {
    std::string bytes;
    if (auto problem = Read_Whole_File(path, Max_State_Bytes, &bytes))
        return "cannot read " + path + ": " + *problem;
    std::string error;
    if (!vanlpt::Decode_Board_State(bytes, state, &error))
        return path + ": " + error + "; nothing was sent";
    return std::nullopt;
}

std::optional<std::string> Write_Board_State_File(const std::string& path,
                                                  const vanlpt::BoardState& state) {
    return Write_Whole_File(path, vanlpt::Encode_Board_State(state));
}

std::optional<std::string> Save_Board(vanlpt::BoardState* state) {
    if (!Read_Board_Snapshot(state))
        return "reading the board failed: " + std::string(Vanlpt_Last_Error());
    return std::nullopt;
}

std::optional<std::string> Restore_Board(const vanlpt::BoardState& state) {
    bool written = false;
    if (!Write_Cached_Batch([&] { written = Write_Board_Snapshot(state); }) || !written)
        return "restoring the board failed: " + std::string(Vanlpt_Last_Error());
    if (state.routing_known) Send_Routing(state);
    return std::nullopt;
}
