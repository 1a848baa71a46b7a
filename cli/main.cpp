// Entry point of `osdex`, the command-line program beside the windows.
#include <csignal>
#include <cstring>

#include "chip/board_session.h"
#include "cli/command_output.h"
#include "cli/exit_status.h"
#include "cli/osdex_cli.h"
#include "cli/stop_signals.h"
#include "vanlpt/vanlpt.h"

int main(int argc, char** argv) {
    Vanlpt_Set_Program_Name("osdex");
    Install_Stop_Signals();
    int status = Finish_Output(Run_Osdex(argc, argv));
    // A board kept in a state file goes back to it, also after a stop; the library says
    // what was lost when it cannot.
    if (Vanlpt_Shutdown() == 0 && status == Exit_Ok) status = Exit_Board_Failed;
    if (const int signal = Stop_Signal()) {
        Failed(std::string("stopped by SIG") + sigabbrev_np(signal), 128 + signal);
        status = 128 + signal;
    }
    return status;
}
