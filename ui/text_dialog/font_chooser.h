// The font chooser behind the text dialog's font button: the platform's font dialog in the
// program, a scripted one in tests.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "ui/text_dialog/text_font.h"

class QWidget;

class FontChooser {
public:
    virtual ~FontChooser() = default;
    // Runs the chooser starting from start; the chosen font, or nothing when cancelled.
    virtual std::optional<TextFont> Choose_Font(const TextFont& start, QWidget* parent) = 0;
};

// Qt's standard font dialog, without size limits. It has no colour choice: the colour of
// the starting font is kept.
class QtFontChooser : public FontChooser {
public:
    std::optional<TextFont> Choose_Font(const TextFont& start, QWidget* parent) override;
};

// For tests: answers from a queue (an empty queue cancels) and records each starting font.
class ScriptedFontChooser : public FontChooser {
public:
    std::optional<TextFont> Choose_Font(const TextFont& start, QWidget* parent) override;

    std::deque<std::optional<TextFont>> answers;
    std::vector<TextFont> requests;
};

// The dialog's font dialog: the font it holds and the chooser it runs.
class TFontDialog {
public:
    TextFont Font;

    // Runs the chooser from Font; on acceptance Font becomes the choice and true is returned.
    bool Execute(QWidget* parent);
    // nullptr restores the Qt chooser. The caller keeps ownership.
    void Set_Chooser(FontChooser* chooser) { chooser_ = chooser; }

private:
    FontChooser* chooser_ = nullptr;
};
