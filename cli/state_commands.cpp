#include "cli/state_commands.h"

#include "chip/board_session.h"
#include "chip/board_snapshot.h"
#include "chip/board_state_file.h"
#include "cli/command_output.h"
#include "cli/exit_status.h"
#include "shell/whole_file.h"

namespace {

void Tell_Cycles(const char* what, bool quiet) {
    if (!quiet)
        Tell(std::string(what) + " in " + std::to_string(Board_Snapshot_Cycles()) + " bus cycles");
}

}  // namespace

int Run_State_Save(const std::string& path, bool quiet) {
    if (auto cause = Check_Whole_File_Writable(path))
        return Failed("cannot write " + path + ": " + *cause, Exit_Bad_Usage);
    if (auto failed = Open_Board()) return Failed(*failed);
    vanlpt::BoardState state;
    if (auto failed = Save_Board(&state)) return Failed(*failed, Exit_Board_Failed);
    if (!state.routing_known && !quiet)
        Tell("the crosspoint of a real board cannot be read back; its routing is not in " + path);
    if (auto cause = Write_Board_State_File(path, state))
        return Failed("cannot write " + path + ": " + *cause, Exit_Board_Failed);
    Tell_Cycles("saved the board", quiet);
    return Exit_Ok;
}

int Run_State_Restore(const std::string& path, bool quiet) {
    vanlpt::BoardState state;
    if (auto problem = Read_Board_State_File(path, &state)) return Failed(*problem, Exit_Bad_Usage);
    if (auto failed = Open_Board()) return Failed(*failed);
    if (auto failed = Restore_Board(state)) return Failed(*failed, Exit_Board_Failed);
    Tell_Cycles("restored the board", quiet);
    return Exit_Ok;
}
