// The port activity log: one record per call, the levels of all port pins followed by the
// caller's message, to the diagnostic window's memo and to the log file when one is open.
#pragma once

#include <string>

// Appends one record (nothing when no port is selected or Log_Mask is 0).
void Log_Port_Activity(const std::string& message);

// The diagnostic window's side of the log: its history memo, its pin check-box captions
// (for the file header) and the text of its level list. The window installs itself.
class ActivityLogView {
public:
    virtual ~ActivityLogView() = default;
    virtual int Memo_Line_Count() const = 0;
    virtual void Memo_Delete_First_Lines(int count) = 0;
    virtual void Memo_Add_Line(const std::string& line) = 0;
    virtual std::string Pin_Caption(int pin) const = 0;  // pins 1..17
    virtual std::string Level_Text() const = 0;          // the level list's current item
};

// Installs the window's side of the log; nullptr when the window is gone.
void Install_Activity_Log_View(ActivityLogView* view);
