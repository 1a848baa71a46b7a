// Entry point of `osdex`, the command-line program beside the windows.
#include "cli/osdex_cli.h"

int main(int argc, char** argv) {
    return Run_Osdex(argc, argv);
}
