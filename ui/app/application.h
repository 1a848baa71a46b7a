// Start-up and shut-down of the program: the memory report, the application title, the
// windows in their fixed order, the event loop, and the module start and end steps.
#pragma once

#include <optional>
#include <string>

// The reason the program cannot show windows (no display to connect to), or nothing.
std::optional<std::string> Missing_Display_Message();

// Takes the start memory snapshot and reports it in a box (before any window exists).
void Show_Memory_Report();
// Creates OsdexForm, XelorForm, LptConForm and CGForm in this order (none shown yet). The main
// window's creation hunts for the board and may end the process.
void Create_Application_Windows();
// Everything from module start to module end; returns the process's exit code.
int Run_Application(int argc, char** argv);
