// The console dialogs used until the windows install their own, and the scripted dialogs
// of the tests.
#include "shell/dialogs.h"

#include "shell/services.h"

#include <cstdio>

namespace {

// Without a window system a message cannot be asked; it is printed so that nothing is lost,
// and the default button is taken as the answer the program was designed to fall back on.
class ConsoleDialogs : public Dialogs {
public:
    MsgResult Message_Box(const MessageBoxRequest& request) override {
        std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
        return request.default_button;
    }
    std::optional<std::string> Open_File(const FileDialogRequest& request) override {
        return Refuse(request);
    }
    std::optional<std::string> Save_File(const FileDialogRequest& request) override {
        return Refuse(request);
    }

private:
    static std::optional<std::string> Refuse(const FileDialogRequest& request) {
        std::fprintf(stderr, "[%s] no file dialog available: cancelled\n", request.title.c_str());
        return std::nullopt;
    }
};

ConsoleDialogs console_dialogs;

template <typename T>
T Take_Front(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

}  // namespace

Dialogs& Current_Dialogs() {
    Dialogs* installed = Program_Services().dialogs;
    return installed ? *installed : console_dialogs;
}

MsgResult Show_Message(const std::string& caption, const std::string& text, MsgIcon icon,
                       MsgButtons buttons, MsgResult default_button) {
    return Current_Dialogs().Message_Box({caption, text, icon, buttons, default_button});
}

MsgResult ScriptedDialogs::Message_Box(const MessageBoxRequest& request) {
    messages.push_back(request);
    return Take_Front(message_answers, request.default_button);
}

std::optional<std::string> ScriptedDialogs::Open_File(const FileDialogRequest& request) {
    open_requests.push_back(request);
    return Take_Front<std::optional<std::string>>(open_answers, std::nullopt);
}

std::optional<std::string> ScriptedDialogs::Save_File(const FileDialogRequest& request) {
    save_requests.push_back(request);
    return Take_Front<std::optional<std::string>>(save_answers, std::nullopt);
}
