#include "cli/state_commands.h"

#include <array>

#include "chip/board_session.h"
#include "chip/board_snapshot.h"
#include "chip/register_bus.h"
#include "cli/command_output.h"
#include "cli/exit_status.h"
#include "port/xelor_commands.h"
#include "shell/whole_file.h"
#include "vanlpt/vanlpt.h"

namespace {

// A board state is about 1.4 MB; anything far bigger is no board state.
constexpr std::size_t Max_State_Bytes = 16u << 20;

void Tell_Cycles(const char* what, bool quiet) {
    if (!quiet)
        Tell(std::string(what) + " in " + std::to_string(Board_Snapshot_Cycles()) + " bus cycles");
}

void Send_Routing(const vanlpt::BoardState& state) {
    std::array<XelorOutput, Xelor_Outputs> outputs;
    for (int o = 0; o < Xelor_Outputs; ++o) {
        const vanlpt::StateRoute& r = state.routing[o];
        outputs[o] = {r.enabled, static_cast<int>(r.input), static_cast<int>(r.gain)};
    }
    Xelor_Send_112_Bits(outputs, false);
}

}  // namespace

int Run_State_Save(const std::string& path, bool quiet) {
    if (auto cause = Check_Whole_File_Writable(path))
        return Failed("cannot write " + path + ": " + *cause, Exit_Bad_Usage);
    if (auto failed = Open_Board()) return Failed(*failed);
    vanlpt::BoardState state;
    if (!Read_Board_Snapshot(&state))
        return Failed("reading the board failed: " + std::string(Vanlpt_Last_Error()),
                      Exit_Board_Failed);
    if (!state.routing_known && !quiet)
        Tell("the crosspoint of a real board cannot be read back; its routing is not in " + path);
    if (auto cause = Write_Whole_File(path, vanlpt::Encode_Board_State(state)))
        return Failed("cannot write " + path + ": " + *cause, Exit_Board_Failed);
    Tell_Cycles("saved the board", quiet);
    return Exit_Ok;
}

int Run_State_Restore(const std::string& path, bool quiet) {
    std::string bytes;
    if (auto problem = Read_Whole_File(path, Max_State_Bytes, &bytes))
        return Failed("cannot read " + path + ": " + *problem, Exit_Bad_Usage);
    vanlpt::BoardState state;
    std::string error;
    if (!vanlpt::Decode_Board_State(bytes, &state, &error))
        return Failed(path + ": " + error + "; nothing was sent", Exit_Bad_Usage);
    if (auto failed = Open_Board()) return Failed(*failed);
    Cache_Enabled = 1;  // repeated quad data need not be sent again
    Begin_Register_Batch();
    bool written = Write_Board_Snapshot(state);
    written = End_Register_Batch() == 0 && written;
    Cache_Enabled = 0;
    if (!written)
        return Failed("restoring the board failed: " + std::string(Vanlpt_Last_Error()),
                      Exit_Board_Failed);
    if (state.routing_known) Send_Routing(state);
    Tell_Cycles("restored the board", quiet);
    return Exit_Ok;
}
