// Runs the real `osdex` executable as a user's shell would, with its output captured.
#pragma once

#include <string>
#include <vector>

struct OsdexRun {
    int status = -1;  // exit status; -1 when it did not exit normally
    std::string out;  // stdout
    std::string err;  // stderr
};

// Runs osdex with the arguments in working folder `folder` (empty: the current one), with
// VANLPT_PORTS unset so that only --port decides, unless `environment` ("NAME=value" words)
// sets it.
OsdexRun Run_Osdex_Program(const std::vector<std::string>& args, const std::string& folder = "",
                           const std::vector<std::string>& environment = {});

// An osdex started and not yet waited for: signals can be sent to it.
struct StartedOsdex {
    int pid = -1;
    std::string out_path, err_path;
    int signal = 0;  // after Wait_Osdex_Program: the signal that ended it, 0 when it exited
};

// Starts osdex as Run_Osdex_Program does; stdout_fd (when not -1) becomes its stdout.
StartedOsdex Start_Osdex_Program(const std::vector<std::string>& args,
                                 const std::vector<std::string>& environment = {},
                                 int stdout_fd = -1);
OsdexRun Wait_Osdex_Program(StartedOsdex& started);
// Whether it has not ended yet (it is not waited for).
bool Osdex_Running(const StartedOsdex& started);

// The whole content of a file ("" when it cannot be read).
std::string File_Bytes(const std::string& path);
