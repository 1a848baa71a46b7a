// Canvas over a QImage in Format_RGB32.
#include "chip/canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "chip/luma.h"

Canvas::Canvas() : image_(Picture_Width, Picture_Height, QImage::Format_RGB32) {
    image_.fill(To_QRgb(Transparent_Color));
}

std::uint32_t Canvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return Invalid_Color;
    return From_QRgb(reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x]);
}

void Canvas::Set_Pixel(int x, int y, std::uint32_t color) {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = To_QRgb(color);
    Mark_Dirty(QRect(x, y, 1, 1));
}

void Canvas::Set_Quad(int x, int y, const std::uint32_t colors[4]) {
    if (y < 0 || y >= image_.height() || x + 4 <= 0 || x >= image_.width()) return;
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int i = 0; i < 4; ++i) {
        if (x + i >= 0 && x + i < image_.width()) line[x + i] = To_QRgb(colors[i]);
    }
    Mark_Dirty(Clip(QRect(x, y, 4, 1)));
}

void Canvas::Line_To(int x, int y) {
    const QPoint from = pen_pos_;
    pen_pos_ = QPoint(x, y);
    if (from.y() == y) {  // the common case: one run of a row
        const int first = from.x() <= x ? from.x() : x + 1;
        const int last = from.x() <= x ? x - 1 : from.x();
        if (first <= last) Fill_Clipped(QRect(QPoint(first, y), QPoint(last, y)), pen_color_);
        return;
    }
    // Bresenham from the pen position, leaving out the end point.
    int px = from.x(), py = from.y();
    const int dx = std::abs(x - px), sx = px < x ? 1 : -1;
    const int dy = -std::abs(y - py), sy = py < y ? 1 : -1;
    int err = dx + dy;
    while (px != x || py != y) {
        Set_Pixel(px, py, pen_color_);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            px += sx;
        }
        if (e2 <= dx) {
            err += dx;
            py += sy;
        }
    }
}

void Canvas::Rectangle(int x1, int y1, int x2, int y2) {
    const QRect area = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                             QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
    if (area.isEmpty()) return;
    if (brush_style_ == Brush_Style::Solid) Fill_Clipped(area, brush_color_);
    Fill_Clipped(QRect(area.left(), area.top(), area.width(), 1), pen_color_);
    Fill_Clipped(QRect(area.left(), area.bottom(), area.width(), 1), pen_color_);
    Fill_Clipped(QRect(area.left(), area.top(), 1, area.height()), pen_color_);
    Fill_Clipped(QRect(area.right(), area.top(), 1, area.height()), pen_color_);
}

void Canvas::Fill_Rect(int x1, int y1, int x2, int y2) {
    const QRect area = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                             QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
    if (!area.isEmpty()) Fill_Clipped(area, brush_color_);
}

void Canvas::Fill(std::uint32_t color) {
    Fill_Clipped(image_.rect(), color);
}

int Canvas::Text_Width(const QString& text) const {
    return QFontMetrics(font_, &image_).horizontalAdvance(text);
}

int Canvas::Text_Height(const QString& text) const {
    (void)text;  // the line height of the font, whatever the characters
    return QFontMetrics(font_, &image_).height();
}

void Canvas::Text_Out(int x, int y, const QString& text) {
    const QFontMetrics metrics(font_, &image_);
    const QRect cell(x, y, metrics.horizontalAdvance(text), metrics.height());
    if (brush_style_ == Brush_Style::Solid && !cell.isEmpty()) Fill_Clipped(cell, brush_color_);
    {
        QPainter painter(&image_);
        painter.setFont(font_);
        painter.setPen(QColor::fromRgb(To_QRgb(font_color_)));
        painter.drawText(QPoint(x, y + metrics.ascent()), text);
    }
    // Glyphs may overhang their advance; take the painted bounds into the dirty area.
    Mark_Dirty(Clip(cell.united(metrics.boundingRect(text).translated(x, y + metrics.ascent()))));
    pen_pos_ = QPoint(x + cell.width(), y);
}

void Canvas::Draw(int x, int y, const QImage& picture) {
    if (picture.isNull()) return;
    {
        QPainter painter(&image_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(x, y), picture);
    }
    Mark_Dirty(Clip(QRect(QPoint(x, y), picture.size())));
}

QRect Canvas::Take_Dirty_Rect() {
    const QRect area = dirty_;
    dirty_ = QRect();
    return area;
}

void Canvas::Mark_Dirty(const QRect& area) {
    if (area.isEmpty()) return;
    const bool was_clean = dirty_.isEmpty();
    dirty_ = was_clean ? area : dirty_.united(area);
    if (was_clean && listener_) listener_();
}

void Canvas::Fill_Clipped(const QRect& area, std::uint32_t color) {
    const QRect r = Clip(area);
    if (r.isEmpty()) return;
    const QRgb rgb = To_QRgb(color);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y)) + r.left();
        std::fill(line, line + r.width(), rgb);
    }
    Mark_Dirty(r);
}
