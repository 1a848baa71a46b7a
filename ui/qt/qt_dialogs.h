// The Qt side of the Dialogs interface: message boxes and file dialogs as the windows and
// the lower layers ask for them.
#pragma once

#include <string>

#include "shell/dialogs.h"

class QWidget;

// "Text|*.a;*.b|Text|*.*" pairs as Qt's "Text (*.a *.b);;Text (*.*)" name-filter list.
std::string Qt_Filter_From_Pairs(const std::string& pairs);
// Appends "." + extension when the file name has none; the path is otherwise unchanged.
std::string Apply_Default_Extension(const std::string& path, const std::string& extension);

class QtDialogs : public Dialogs {
public:
    MsgResult Message_Box(const MessageBoxRequest& request) override;
    std::optional<std::string> Open_File(const FileDialogRequest& request) override;
    std::optional<std::string> Save_File(const FileDialogRequest& request) override;
};
