// Modal dialogs as the lower layers ask for them. The windows install a Qt implementation;
// tests install ScriptedDialogs; without either, a console implementation prints the message
// to standard error and answers with the default button.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

// The application title, also the caption of most message boxes.
inline constexpr const char* Application_Title = "Osdex Evaluation Kit";

enum class MsgIcon { None, Information, Warning, Stop, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore, RetryCancel };
enum class MsgResult { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

struct MessageBoxRequest {
    std::string caption;
    std::string text;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgResult default_button = MsgResult::Ok;
};

// A file dialog as the callers describe it. filter uses the "Text|*.ext|Text|*.*" pairs.
struct FileDialogRequest {
    std::string title;
    std::string default_name;
    std::string default_extension;  // without the dot, e.g. "TXT"
    std::string filter;
    bool overwrite_prompt = false;
    bool hide_read_only = false;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MsgResult Message_Box(const MessageBoxRequest& request) = 0;
    // The chosen path, or nothing when cancelled.
    virtual std::optional<std::string> Open_File(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> Save_File(const FileDialogRequest& request) = 0;
};

Dialogs& Current_Dialogs();

// Shorthand: a message box through the current dialogs.
MsgResult Show_Message(const std::string& caption, const std::string& text,
                       MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok,
                       MsgResult default_button = MsgResult::Ok);

// For tests: answers from queues, records every request. An empty queue answers a message
// box with its default button and a file dialog with "cancelled".
class ScriptedDialogs : public Dialogs {
public:
    MsgResult Message_Box(const MessageBoxRequest& request) override;
    std::optional<std::string> Open_File(const FileDialogRequest& request) override;
    std::optional<std::string> Save_File(const FileDialogRequest& request) override;

    std::deque<MsgResult> message_answers;
    std::deque<std::optional<std::string>> open_answers;
    std::deque<std::optional<std::string>> save_answers;
    std::vector<MessageBoxRequest> messages;
    std::vector<FileDialogRequest> open_requests;
    std::vector<FileDialogRequest> save_requests;
};
