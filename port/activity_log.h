// The port activity log: one record per call, the levels of all port pins followed by the
// caller's message, to the diagnostic window's memo and to the log file when one is open.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "shell/activity_log_view.h"
#include "shell/dialogs.h"
#include "shell/line_file.h"

// Appends one record (nothing when no port is selected or Log_Mask is 0).
void Log_Port_Activity(const std::string& message);

// The level list (cbxLog) items and the Log_Mask each one sets, by index.
inline constexpr std::array<const char*, 7> Log_Level_Items = {"off",  "all",      "low",    "med",
                                                               "high", "high+med", "med+low"};
inline constexpr std::array<std::uint16_t, 7> Log_Level_Masks = {0, 7, 1, 2, 4, 6, 5};

// The two lines that number the pin columns of a record (tens above units); the file
// header ends with them and the window's title memo shows them.
inline constexpr const char* Log_Pin_Tens_Line = "     1110  00000000  11111   ";
inline constexpr const char* Log_Pin_Units_Line = "Pins:7641  98765432  10235   ";

// One record: "C" control bits 7..4 and pins 17,16,14,1; " D" pins 9..2; " S" pins
// 11,10,12,13,15 and status bits 2..0; a space; the message unchanged.
std::string Port_Activity_Record(std::uint8_t control, std::uint8_t data, std::uint8_t status,
                                 const std::string& message);

// The file header: "Pin Assignment:", the captions of pins 1..17 (from the installed view,
// else the initial captions), "Pin state log: " + level_text, and the column lines; joined
// by CR LF, none after the last.
std::string Activity_Log_Header(const std::string& level_text);

// The activity log file: created or truncated for exclusive writing (the lock is taken
// before the truncation, so a file that another instance is writing is left whole). Every
// write goes to the end and is flushed to disk. A record that cannot be written (a full
// disk) leaves the file on its last whole record, closes it, sets Log_Mask to 0, tells the
// diagnostic window (Log_Switched_Off) and says so in one message.
class ActivityLogFile : public Plain_File {
public:
    ActivityLogFile();
    // Opens path; false when it cannot be created or another opener holds it.
    bool Create(const std::string& path);
};

// Closes the open log file, if any; Port_State.Log_File is none afterwards.
void Close_Activity_Log_File();

// The level change of the level list cbxLog (index 0..6, see Log_Level_Items). Sets
// Log_Mask and manages the log file: "off" closes the file; any other level asks for a
// file through Current_Dialogs().Save_File. Returns the new text of the file-name label
// LabelLogFileName, or nothing when the label keeps its text ("off", or an index outside
// the list, which changes nothing). On Cancel the open file (if any) stays open and the
// label shows its path, else "no log file". An accepted name closes the open file first; a
// file that cannot be created is reported in a message box, leaves no file open and the
// mask unchanged, and the label reads "no log file".
std::optional<std::string> Change_Log_Level(int index);

// The save dialog of the level change.
FileDialogRequest Log_File_Dialog_Request();
