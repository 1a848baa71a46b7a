// Qt message boxes and file dialogs behind the Dialogs interface.
#include "ui/qt/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <utility>
#include <vector>

#include "shell/message_text.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

QMessageBox::Icon Qt_Icon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Stop:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

std::vector<MsgResult> Buttons_Of(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return {MsgResult::Ok};
        case MsgButtons::OkCancel:
            return {MsgResult::Ok, MsgResult::Cancel};
        case MsgButtons::YesNo:
            return {MsgResult::Yes, MsgResult::No};
        case MsgButtons::YesNoCancel:
            return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
        case MsgButtons::AbortRetryIgnore:
            return {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore};
        case MsgButtons::RetryCancel:
            return {MsgResult::Retry, MsgResult::Cancel};
    }
    return {MsgResult::Ok};
}

QMessageBox::StandardButton Qt_Button(MsgResult result) {
    switch (result) {
        case MsgResult::Ok:
            return QMessageBox::Ok;
        case MsgResult::Cancel:
            return QMessageBox::Cancel;
        case MsgResult::Yes:
            return QMessageBox::Yes;
        case MsgResult::No:
            return QMessageBox::No;
        case MsgResult::Abort:
            return QMessageBox::Abort;
        case MsgResult::Retry:
            return QMessageBox::Retry;
        case MsgResult::Ignore:
            return QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

// The answer when the box is closed without a button: Cancel or No where the box has one,
// else its default, so closing never picks a more drastic answer than the user meant.
MsgResult Escape_Answer(const std::vector<MsgResult>& buttons, MsgResult default_button) {
    for (MsgResult candidate : {MsgResult::Cancel, MsgResult::No, MsgResult::Ignore}) {
        for (MsgResult b : buttons)
            if (b == candidate) return b;
    }
    return default_button;
}

QWidget* Dialog_Parent() {
    return QApplication::activeWindow();
}

}  // namespace

std::string Qt_Filter_From_Pairs(const std::string& pairs) {
    if (pairs.empty()) return {};
    std::vector<std::string> parts = Split(pairs, '|');
    std::string result;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns = parts[i + 1];
        for (char& c : patterns)
            if (c == ';') c = ' ';
        if (!result.empty()) result += ";;";
        result += parts[i] + " (" + patterns + ")";
    }
    return result;
}

std::string Apply_Default_Extension(const std::string& path, const std::string& extension) {
    if (extension.empty() || path.empty()) return path;
    QFileInfo info(QString::fromStdString(path));
    if (!info.suffix().isEmpty()) return path;
    return path + "." + extension;
}

MsgResult QtDialogs::Message_Box(const MessageBoxRequest& request) {
    // Texts carry file names and file contents: no control byte reaches the box, and no
    // markup in them is taken for rich text.
    QMessageBox box(Qt_Icon(request.icon), QString::fromStdString(Printable_Text(request.caption)),
                    QString::fromStdString(Printable_Lines(request.text)), QMessageBox::NoButton,
                    Dialog_Parent());
    box.setTextFormat(Qt::PlainText);
    std::vector<MsgResult> buttons = Buttons_Of(request.buttons);
    std::vector<std::pair<QAbstractButton*, MsgResult>> made;
    for (MsgResult b : buttons) {
        QPushButton* button = box.addButton(Qt_Button(b));
        made.emplace_back(button, b);
        if (b == request.default_button) box.setDefaultButton(button);
    }
    box.exec();
    for (const auto& [button, result] : made)
        if (box.clickedButton() == button) return result;
    return Escape_Answer(buttons, request.default_button);
}

static std::optional<std::string> Run_File_Dialog(const FileDialogRequest& request,
                                                  QFileDialog::AcceptMode mode) {
    QFileDialog dialog(Dialog_Parent(), QString::fromStdString(request.title));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    QString filter = QString::fromStdString(Qt_Filter_From_Pairs(request.filter));
    if (!filter.isEmpty()) dialog.setNameFilters(filter.split(";;"));
    if (!request.default_name.empty())
        dialog.selectFile(QString::fromStdString(request.default_name));
    if (!request.default_extension.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.default_extension));
    if (mode == QFileDialog::AcceptSave && !request.overwrite_prompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    std::string path = dialog.selectedFiles().first().toStdString();
    if (mode == QFileDialog::AcceptSave)
        path = Apply_Default_Extension(path, request.default_extension);
    return path;
}

std::optional<std::string> QtDialogs::Open_File(const FileDialogRequest& request) {
    return Run_File_Dialog(request, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtDialogs::Save_File(const FileDialogRequest& request) {
    return Run_File_Dialog(request, QFileDialog::AcceptSave);
}
