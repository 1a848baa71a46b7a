// The diagnostic window's side of the port activity log, as the log sees it. The window puts
// itself into the services record while it exists.
#pragma once

#include <string>

// The diagnostic window's side of the log: its history memo, its pin check-box captions
// (for the file header) and the text of its level list.
class ActivityLogView {
public:
    virtual ~ActivityLogView() = default;
    virtual int Memo_Line_Count() const = 0;
    virtual void Memo_Delete_First_Lines(int count) = 0;
    virtual void Memo_Add_Line(const std::string& line) = 0;
    virtual std::string Pin_Caption(int pin) const = 0;  // pins 1..17
    virtual std::string Level_Text() const = 0;          // the level list's current item
    // The log has switched itself off (its file could not be written): the level list shows
    // "off" and the file-name label the given text.
    virtual void Log_Switched_Off(const std::string& label) { (void)label; }
};
