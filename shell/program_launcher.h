// Starting a command line as a program, with the result codes the help commands report:
// 32 or more is success; below 32 a failure (0 out of resources, 2 file not found, 3 path not
// found, 11 not a valid program, other values a general failure). The help commands run through
// the installed launcher so that tests can answer for the system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LaunchResult {
    unsigned code = 0;   // >= 32: started
    int last_error = 0;  // the system's error number of the failure (errno), 0 on success
};

inline constexpr unsigned Launch_Out_Of_Resources = 0;
inline constexpr unsigned Launch_File_Not_Found = 2;
inline constexpr unsigned Launch_Path_Not_Found = 3;
inline constexpr unsigned Launch_Bad_Format = 11;
inline constexpr unsigned Launch_General_Failure = 31;
inline constexpr unsigned Launch_Started = 33;

// How long the desktop opener (xdg-open) is waited for; still running then, it counts as
// started.
inline constexpr std::uint32_t Opener_Wait_ms = 10000;

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts the program the command line names, with the rest as its arguments, and returns
    // once it has started (it is not waited for, but for the desktop opener: see
    // SystemLauncher).
    virtual LaunchResult Run(const std::string& command_line) = 0;
};

// The words of a command line, split at blanks. A stretch in double quotes belongs to its word
// whole, blanks and all; inside it \" and \\ stand for a quote and a backslash. Elsewhere a
// backslash is an ordinary character.
std::vector<std::string> Command_Line_Words(const std::string& command_line);
// One word for a command line: as it is when it needs no quotes, else quoted so that
// Command_Line_Words gives it back unchanged (file names with blanks).
std::string Quote_Command_Word(const std::string& word);

// The system's launcher: the words of the command line; the first is the program, a path when it
// has a slash, else looked for on PATH only (never in the current folder; a file of that name
// there gives "not a valid program", as a page does). "start" and "explorer", the names under
// which the help commands ask for the desktop's file opener, run xdg-open. xdg-open is waited
// for, at most Opener_Wait_ms with the windows kept alive through the event pump: its exit
// status 2 (no such file) and 3 (no browser) give "file not found", other failures a general
// failure, so that the help commands can tell the user.
class SystemLauncher : public ProgramLauncher {
public:
    LaunchResult Run(const std::string& command_line) override;
};

// The launcher code of an errno from starting a program.
unsigned Launch_Code_Of_Error(int error);

ProgramLauncher& Current_Launcher();

// The system's text for an error number.
std::string System_Error_Text(int error);
