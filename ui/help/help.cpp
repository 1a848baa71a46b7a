// Help page launching and the About box.
#include "ui/help/help.h"

#include <cstdio>

#include "shell/data_files.h"
#include "shell/dialogs.h"
#include "shell/program_launcher.h"

namespace {

std::string Format(const char* format, const std::string& text) {
    int size = std::snprintf(nullptr, 0, format, text.c_str());
    std::string out(static_cast<std::size_t>(size), '\0');
    std::snprintf(out.data(), out.size() + 1, format, text.c_str());
    return out;
}

bool Started(const LaunchResult& result) {
    return result.code >= 32;
}

// The page in the working directory by its bare name; else the installed page by its full
// path, quoted when the path has blanks.
std::string Help_Page() {
    return Quote_Command_Word(Find_Data_File(Help_File_Name));
}

}  // namespace

std::string Help_Launch_Failure_Text(unsigned code, const std::string& command_line) {
    switch (code) {
        case 0:
            return Format("Winexec %s: The system is out of resources.", command_line);
        case 2:
            return Format("Winexec: file %s was not found.", command_line);
        case 3:
            return Format("Winexec: The path to %s was not found.", command_line);
        case 11:
            return Format("Winexec: file %s is not a valid .EXE file.", command_line);
        default:
            return Format("Error after WinExec %s", command_line);
    }
}

void Help_Index_From_Main_Window() {
    std::string command = Help_Page();
    LaunchResult result = Current_Launcher().Run(command);
    if (Started(result)) return;
    command = "explorer " + command;
    result = Current_Launcher().Run(command);
    if (Started(result)) return;
    Show_Message(Application_Title, Help_Launch_Failure_Text(result.code, command));
}

void Help_From_Channel_Window() {
    const std::string page = Help_Page();
    const std::string attempts[3] = {page, "start " + page, "explorer " + page};
    std::string command;
    LaunchResult result;
    for (int attempt = 0; attempt < 3;) {
        command = attempts[attempt];
        result = Current_Launcher().Run(command);
        if (Started(result)) return;
        // A missing page is not found by any launcher either.
        attempt = (attempt == 0 && result.code == Launch_File_Not_Found) ? 3 : attempt + 1;
    }
    std::string system_text = System_Error_Text(result.last_error);
    int size = std::snprintf(nullptr, 0, "%s\nError %d: %s", command.c_str(), result.last_error,
                             system_text.c_str());
    std::string text(static_cast<std::size_t>(size), '\0');
    std::snprintf(text.data(), text.size() + 1, "%s\nError %d: %s", command.c_str(),
                  result.last_error, system_text.c_str());
    Show_Message(Application_Title, text);
}

std::string About_Text() {
    return std::string("Osdex Evaluation Kit Software\r\nLast compiled ") + __DATE__ + " " +
           __TIME__ + "\r\nreg shadows on; ready/busy is used";
}

void Show_About() {
    Show_Message(Application_Title, About_Text());
}
