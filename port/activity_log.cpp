// The port activity log: records to the diagnostic window's memo and the log file.
#include "port/activity_log.h"

#include "shell/message_text.h"
#include "shell/services.h"

#include <cstring>
#include <initializer_list>
#include <memory>

#include "port/pin_map.h"
#include "port/port_state.h"
#include "vanlpt/vanlpt.h"

namespace {

constexpr int Memo_Line_Limit = 200;  // more than this, and the oldest lines go
constexpr int Memo_Lines_Trimmed = 10;
constexpr const char* No_Log_File = "no log file";

ActivityLogView* Installed_View() {
    return Program_Services().activity_log_view;
}
std::unique_ptr<ActivityLogFile> log_file;

void Append_Bits(std::string& text, std::uint8_t value, int high, int low) {
    for (int bit = high; bit >= low; --bit) text += ((value >> bit) & 1) ? '1' : '0';
}

void Append_Pins(std::string& text, std::initializer_list<int> pins, std::uint8_t control,
                 std::uint8_t data, std::uint8_t status) {
    for (int pin : pins) text += Pin_Level(pin, data, status, control) ? '1' : '0';
}

void Add_To_Memo(const std::string& record) {
    if (!Installed_View()) return;
    if (Installed_View()->Memo_Line_Count() > Memo_Line_Limit) {
        Installed_View()->Memo_Delete_First_Lines(Memo_Lines_Trimmed);
    }
    Installed_View()->Memo_Add_Line(record);
}

std::string Pin_Caption(int pin) {
    return Installed_View() ? Installed_View()->Pin_Caption(pin) : Initial_Pin_Caption(pin);
}

std::string Level_Text(int index) {
    return Installed_View() ? Installed_View()->Level_Text() : Log_Level_Items[index];
}

std::string Open_Label() {
    return Port_State.Log_File ? Port_State.Log_File->Name() : std::string(No_Log_File);
}

void Tell_Write_Failure(const std::string& path, int error) {
    Show_Message(Application_Title,
                 "Writing the port activity log " + Quoted_Token(path) +
                     " failed: " + std::strerror(error) + ". Logging is switched off.",
                 MsgIcon::Warning);
}

// A full disk switches logging off as the level "off" does, and says so once. Everything is
// off before the box is shown, so that the timers running behind it log nothing more.
void Stop_Logging_After_Failed_Write(const ActivityLogFile& file) {
    const std::string path = file.Name();
    const int error = file.Write_Error();
    Change_Log_Level(0);
    if (Installed_View()) Installed_View()->Log_Switched_Off(No_Log_File);
    Tell_Write_Failure(path, error);
}

// Creates the new log file with its header, or tells the user why it could not.
bool Start_Log_File(const std::string& path, int index) {
    auto file = std::make_unique<ActivityLogFile>();
    if (!file->Create(path)) {
        Show_Message(Application_Title,
                     "Cannot create the log file " + Quoted_Token(path) + ":\n" +
                         Open_Failure_Reason(file->Open_Error()),
                     MsgIcon::Warning);
        return false;
    }
    if (!file->Append(Activity_Log_Header(Level_Text(index)))) {
        Tell_Write_Failure(path, file->Write_Error());
        return false;
    }
    log_file = std::move(file);
    Port_State.Log_File = log_file.get();
    return true;
}

}  // namespace

std::string Port_Activity_Record(std::uint8_t control, std::uint8_t data, std::uint8_t status,
                                 const std::string& message) {
    std::string record = "C";
    Append_Bits(record, control, 7, 4);
    Append_Pins(record, {17, 16, 14, 1}, control, data, status);
    record += " D";
    Append_Pins(record, {9, 8, 7, 6, 5, 4, 3, 2}, control, data, status);
    record += " S";
    Append_Pins(record, {11, 10, 12, 13, 15}, control, data, status);
    Append_Bits(record, status, 2, 0);
    record += ' ';
    return record + message;
}

void Log_Port_Activity(const std::string& message) {
    if (Port_State.Selected_Port == 0) return;
    const std::uint8_t data = Get_Data();
    const std::uint8_t status = Get_Status();
    const std::uint8_t control = Get_Control();
    if (Port_State.Log_Mask == 0) return;
    const std::string record = Port_Activity_Record(control, data, status, message);
    Add_To_Memo(record);
    if (Port_State.Log_File && Port_State.Log_File->Has_Handle() &&
        !Port_State.Log_File->Append("\r\n" + record)) {
        Stop_Logging_After_Failed_Write(*Port_State.Log_File);
    }
}

std::string Activity_Log_Header(const std::string& level_text) {
    std::string header = "Pin Assignment:";
    for (int pin = 1; pin <= Port_Pins; ++pin) header += "\r\n" + Pin_Caption(pin);
    header += "\r\nPin state log: " + level_text;
    header += "\r\nControl-- Data----- Status---";
    header += std::string("\r\n") + Log_Pin_Tens_Line;
    header += std::string("\r\n") + Log_Pin_Units_Line;
    return header;
}

ActivityLogFile::ActivityLogFile() : Plain_File(Access::Write, Creation::Create_Always) {}

bool ActivityLogFile::Create(const std::string& path) {
    Open(path);
    return Has_Handle();
}

void Close_Activity_Log_File() {
    Port_State.Log_File = nullptr;
    log_file.reset();
}

FileDialogRequest Log_File_Dialog_Request() {
    FileDialogRequest request;
    request.title = "Save Parallel Port Diagnostic Log...";
    request.default_name = "log.txt";
    request.default_extension = "TXT";
    request.filter = "Text files (*.txt)|*.TXT|All files (*.*)|*.*";
    request.overwrite_prompt = true;
    request.hide_read_only = true;
    return request;
}

std::optional<std::string> Change_Log_Level(int index) {
    if (index < 0 || index >= static_cast<int>(Log_Level_Items.size())) return std::nullopt;
    if (index == 0) {
        Close_Activity_Log_File();
        Port_State.Log_Mask = 0;
        return std::nullopt;
    }
    const std::optional<std::string> path = Current_Dialogs().Save_File(Log_File_Dialog_Request());
    if (!path) {
        Port_State.Log_Mask = Log_Level_Masks[index];
        return Open_Label();
    }
    // The earlier file is let go before the new one is made, so it is never left locked and
    // the same name can be chosen again.
    Close_Activity_Log_File();
    if (!Start_Log_File(*path, index)) return std::string(No_Log_File);
    Port_State.Log_Mask = Log_Level_Masks[index];
    return *path;
}
