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
// VANLPT_PORTS unset so that only --port decides.
OsdexRun Run_Osdex_Program(const std::vector<std::string>& args, const std::string& folder = "");

// The whole content of a file ("" when it cannot be read).
std::string File_Bytes(const std::string& path);
