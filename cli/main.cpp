// Entry point of `osdex`, the command-line program beside the windows.
#include "cli/osdex_cli.h"
#include "vanlpt/vanlpt.h"

int main(int argc, char** argv) {
    const int status = Run_Osdex(argc, argv);
    Vanlpt_Shutdown();  // a board kept in a state file goes back to it
    return status;
}
