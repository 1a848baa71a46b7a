// A font as the windows and canvases describe it: face name, height in the toolkit's sense
// (negative: character height in pixels; positive: cell height with internal leading), colour
// and style. Qt's QFont has no colour and no signed height, so the text dialog and its callers
// carry this record and convert at the widget or painter.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>
#include <string>

// Screen resolution used to turn point sizes into pixel heights, as on the original desktop.
inline constexpr int Pixels_Per_Inch = 96;

struct TextFont {
    std::string Name = "MS Sans Serif";
    int Height = -24;
    std::uint32_t Color = 0;  // 0x00BBGGRR
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    // Size in points from the height, and back: Size s gives Height -s * ppi / 72, so a
    // negative size gives a positive (cell) height.
    int Size() const;
    void Set_Size(int points);

    bool operator==(const TextFont&) const = default;
};

// The installed face that stands for a face name: the name itself when installed, otherwise
// fontconfig's match for it (a face with a bold style), looked up once per name.
QString Installed_Face(const std::string& name);
// The Qt font that renders this record (colour aside), in the installed face for its name,
// without anti-aliasing: what it draws is what the chip gets.
QFont To_QFont(const TextFont& font);
// A record from a Qt font, as a font chooser returns it; the colour is kept from the caller.
TextFont From_QFont(const QFont& font, std::uint32_t color);
// 0x00BBGGRR to a Qt colour.
QColor To_QColor(std::uint32_t bbggrr);
