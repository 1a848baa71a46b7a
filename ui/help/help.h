// The help page and the About box. The help page "HELPFILE.HTM" is a bare name, looked for in
// the current directory and, when it is not there, installed beside the program; it is opened
// through the installed program launcher.
#pragma once

#include <string>

inline constexpr const char* Help_File_Name = "HELPFILE.HTM";

// The main window's Help > Index: the page as a program first, then through the desktop's
// file opener; only a failure of the second attempt is reported, by its launcher code.
void Help_Index_From_Main_Window();
// The channel window's help button: up to three attempts (the page, "start", "explorer"),
// stopping early when the page itself is missing; a failure is reported with the system's
// text for the last error.
void Help_From_Channel_Window();

// The text of the main window's failure report for a launcher code below 32.
std::string Help_Launch_Failure_Text(unsigned code, const std::string& command_line);

// "Osdex Evaluation Kit Software", the build's date and time, and the register-bus features.
std::string About_Text();
void Show_About();
