// `osdex`: the evaluation board from the command line, on the same layers as the windows.
//   osdex [--port TARGET] [--quiet] COMMAND [ARGS...]
// Exit status 0 success, 1 the port or the bus failed, 2 bad usage or a bad input file.
#pragma once

int Run_Osdex(int argc, char** argv);
