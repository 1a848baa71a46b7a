// The register commands of `osdex`: write, read and the replay of a register batch file.
// Each returns the exit status; results go to stdout, messages to stderr.
#pragma once

#include <cstdint>
#include <string>

int Run_Write(std::uint8_t address, std::uint8_t data);
int Run_Read(std::uint8_t address);
struct ReplayOptions {
    bool verify = false;           // read back every write and report mismatches
    bool quiet = false;            // no summary line
    bool ignore_torn_end = false;  // run the whole lines when the last one was cut off
};

// The whole file is checked before the board is opened: a malformed line sends nothing.
// Unless quiet, a summary line goes to stderr. A stop request ends it before the next access.
int Run_Replay(const std::string& path, const ReplayOptions& options);
