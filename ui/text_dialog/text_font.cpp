#include "ui/text_dialog/text_font.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace {

// a * b / c rounded to the nearest whole number, as the toolkit converts sizes.
int Mul_Div(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

}  // namespace

int TextFont::Size() const {
    return -Mul_Div(Height, 72, Pixels_Per_Inch);
}

void TextFont::Set_Size(int points) {
    Height = -Mul_Div(points, Pixels_Per_Inch, 72);
}

QFont To_QFont(const TextFont& font) {
    QFont q(QString::fromStdString(font.Name));
    q.setBold(font.Bold);
    q.setItalic(font.Italic);
    q.setUnderline(font.Underline);
    q.setStrikeOut(font.StrikeOut);
    if (font.Height < 0) {
        q.setPixelSize(-font.Height);
    } else if (font.Height > 0) {
        // A positive height is the whole cell; scale the character height so that the
        // face's ascent plus descent comes to it.
        q.setPixelSize(font.Height);
        const int cell = QFontMetrics(q).height();
        if (cell > 0) q.setPixelSize(std::max(1, Mul_Div(font.Height, font.Height, cell)));
    }
    return q;
}

TextFont From_QFont(const QFont& font, std::uint32_t color) {
    TextFont f;
    f.Name = font.family().toStdString();
    if (font.pixelSize() > 0) {
        f.Height = -font.pixelSize();
    } else {
        f.Height = -static_cast<int>(std::lround(font.pointSizeF() * Pixels_Per_Inch / 72.0));
    }
    f.Color = color;
    f.Bold = font.bold();
    f.Italic = font.italic();
    f.Underline = font.underline();
    f.StrikeOut = font.strikeOut();
    return f;
}

QColor To_QColor(std::uint32_t bbggrr) {
    return QColor(bbggrr & 0xFF, (bbggrr >> 8) & 0xFF, (bbggrr >> 16) & 0xFF);
}
