#include "cli/route_command.h"

#include "chip/board_session.h"
#include "cli/command_output.h"
#include "cli/exit_status.h"
#include "port/xelor_commands.h"

namespace {

// The board's crosspoint answers single updates addressed to 0000.
constexpr unsigned Board_Crosspoint_Address = 0;

}  // namespace

int Run_Route(int output, int input, int gain) {
    if (auto failed = Open_Board()) return Failed(*failed);
    const XelorOutput setting{input >= 0, input, gain};
    Xelor_Do_Send_Update(output, setting, Board_Crosspoint_Address, false);
    return Exit_Ok;
}
