// Start-up and shut-down of the program: the memory report, the application title, the
// windows in their fixed order, the event loop, and the module start and end steps.
#pragma once

#include <optional>
#include <string>

#include "vanlpt/vanlpt.h"

// The reason the program cannot show windows (no display to connect to), or nothing.
std::optional<std::string> Missing_Display_Message();

// Takes the start memory snapshot and reports it in a box (before any window exists).
void Show_Memory_Report();
// Creates OsdexForm, XelorForm, LptConForm and CGForm in this order (none shown yet). The main
// window's creation hunts for the board and may end the process.
void Create_Application_Windows();
// How the program came to its end: closed by the user, or by SIGTERM / SIGINT.
enum class ProgramEnd { Closed, Signal };

// The port library's end, replaceable for tests.
struct PortLibraryEnd {
    int (*shutdown)() = Vanlpt_Shutdown;
    const char* (*last_error)() = Vanlpt_Last_Error;
};

// Ends the port library's use. A board kept in a file that could not be written back is told:
// in a box after a close, on standard error after a signal (nobody is there to click).
void End_Port_Library(ProgramEnd how, const PortLibraryEnd& library = {});

// Everything from module start to module end; returns the process's exit code. SIGTERM and
// SIGINT end it as a close does, without the close question.
int Run_Application(int argc, char** argv);
