#include "ui/text_dialog/text_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

// a * b / c rounded to the nearest whole number, as the toolkit converts sizes.
int Mul_Div(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

bool Has_Bold_Style(const QString& family) {
    const QStringList styles = QFontDatabase::styles(family);
    return std::any_of(styles.begin(), styles.end(),
                       [&](const QString& style) { return QFontDatabase::bold(family, style); });
}

// The installed face that fontconfig draws for the name, asked for in bold so that the match
// has a bold style; a match without one gives way to the default sans-serif face.
QString Match_Installed_Face(const QString& name) {
    QFont probe(name);
    probe.setBold(true);
    const QString matched = QFontInfo(probe).family();
    if (Has_Bold_Style(matched)) return matched;
    QFont sans(QStringLiteral("sans-serif"));
    sans.setBold(true);
    return QFontInfo(sans).family();
}

}  // namespace

QString Installed_Face(const std::string& name) {
    // The layouts name Windows faces; the font dialog only knows installed ones, and opened on
    // an unknown name it falls back to a face of its own and drops the bold.
    static std::map<std::string, QString> resolved;
    const auto known = resolved.find(name);
    if (known != resolved.end()) return known->second;
    const QString face = QString::fromStdString(name);
    const QString installed = QFontDatabase::hasFamily(face) ? face : Match_Installed_Face(face);
    resolved.emplace(name, installed);
    return installed;
}

int TextFont::Size() const {
    return -Mul_Div(Height, 72, Pixels_Per_Inch);
}

void TextFont::Set_Size(int points) {
    Height = -Mul_Div(points, Pixels_Per_Inch, 72);
}

QFont To_QFont(const TextFont& font) {
    QFont q(Installed_Face(font.Name));
    // Whole pixels only: the chip takes sixteen levels, and an anti-aliased glyph edge would
    // put stray levels between the text's and its background's into display memory.
    q.setStyleStrategy(QFont::NoAntialias);
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
