// The register commands of `osdex`: write, read and the replay of a register batch file.
// Each returns the exit status; results go to stdout, messages to stderr.
#pragma once

#include <cstdint>
#include <string>

// REGISTER is an address 0..255 (always sent as it is) or a name of the register table: a
// register, a field (written by read-modify-write of its register) or a 9-bit value. A name
// that cannot be written (read-only) or read (a trigger) is refused before the board opens.
int Run_Write(const std::string& register_text, const std::string& value_text);
int Run_Read(const std::string& register_text);

// Every named register with its value and fields, as text or JSON, on stdout.
int Run_Registers_Dump(bool json);
// Writes a dump back: the whole file is checked first; read-only and trigger names skipped.
int Run_Registers_Load(const std::string& path, bool quiet);
struct ReplayOptions {
    bool verify = false;           // read back every write and report mismatches
    bool quiet = false;            // no summary line
    bool ignore_torn_end = false;  // run the whole lines when the last one was cut off
};

// The whole file is checked before the board is opened: a malformed line sends nothing.
// Unless quiet, a summary line goes to stderr. A stop request ends it before the next access.
int Run_Replay(const std::string& path, const ReplayOptions& options);
