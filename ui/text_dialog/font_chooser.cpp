#include "ui/text_dialog/font_chooser.h"

#include <QFontDialog>

std::optional<TextFont> QtFontChooser::Choose_Font(const TextFont& start, QWidget* parent) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, To_QFont(start), parent);
    if (!ok) return std::nullopt;
    return From_QFont(chosen, start.Color);
}

std::optional<TextFont> ScriptedFontChooser::Choose_Font(const TextFont& start, QWidget*) {
    requests.push_back(start);
    if (answers.empty()) return std::nullopt;
    std::optional<TextFont> answer = answers.front();
    answers.pop_front();
    return answer;
}

bool TFontDialog::Execute(QWidget* parent) {
    QtFontChooser platform;
    FontChooser& chooser = chooser_ ? *chooser_ : platform;
    std::optional<TextFont> chosen = chooser.Choose_Font(Font, parent);
    if (!chosen) return false;
    Font = *chosen;
    return true;
}
