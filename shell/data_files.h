// The files the program reads but never writes: the help page and the test pattern's logo.
// Each is named by its bare file name and looked for in the working directory first, as the
// program always has; when it is not there, the copy installed beside the program is used
// (<prefix>/share/osdex-eval-kit/ for a program in <prefix>/bin/), so a program started from a
// desktop menu, or unpacked into any folder, finds its own files.
#pragma once

#include <string>

// The name itself when the working directory holds it, else the installed copy's full path
// when there is one, else the name again (so that a failure still names the file as asked).
std::string Find_Data_File(const std::string& name);
// The same for a program at program_path instead of the running one.
std::string Find_Data_File(const std::string& name, const std::string& program_path);

// The folder of installed data files for a program at program_path; empty when the path has
// no folder.
std::string Installed_Data_Folder(const std::string& program_path);

// The running program's own file; empty when the system cannot tell.
std::string Running_Program_Path();
