// Canvas: the picture of every drawing window, a 712 x 512 mirror of one channel's display
// memory, with the pen, brush and font state the drawing code relies on.
//
// Colours are 0x00BBGGRR throughout (converted to Qt's 0xAARRGGBB only at the image).
// Drawing follows the classic canvas rules: lines leave out their end point, rectangles fill
// with the brush, outline with the pen and leave out their right and bottom edges, text is
// drawn on an opaque brush-coloured background unless the brush is clear. Points outside the
// picture are ignored when drawn and read as Invalid_Color.
//
// Every change widens a dirty rectangle that the owning window takes for a partial repaint.
#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>

class Canvas {
public:
    static constexpr int Picture_Width = 712;
    static constexpr int Picture_Height = 512;

    enum class Brush_Style { Solid, Clear };

    // A picture filled with Transparent_Color; pen, brush and font colours black.
    Canvas();

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    // The pixels, for painting the window and saving; draw through the canvas instead.
    const QImage& Image() const { return image_; }

    std::uint32_t Pixel(int x, int y) const;  // Invalid_Color outside the picture
    void Set_Pixel(int x, int y, std::uint32_t color);
    // Four pixels from x rightward (a quad); cheaper than four Set_Pixel calls.
    void Set_Quad(int x, int y, const std::uint32_t colors[4]);

    std::uint32_t Pen_Color() const { return pen_color_; }
    void Set_Pen_Color(std::uint32_t color) { pen_color_ = color; }
    QPoint Pen_Pos() const { return pen_pos_; }
    void Move_To(int x, int y) { pen_pos_ = QPoint(x, y); }
    // Line from the pen position to (x, y) without the end point; the pen moves there.
    void Line_To(int x, int y);

    std::uint32_t Brush_Color() const { return brush_color_; }
    void Set_Brush_Color(std::uint32_t color) { brush_color_ = color; }
    Brush_Style Brush() const { return brush_style_; }
    void Set_Brush_Style(Brush_Style style) { brush_style_ = style; }

    const QFont& Font() const { return font_; }
    void Set_Font(const QFont& font) { font_ = font; }
    std::uint32_t Font_Color() const { return font_color_; }
    void Set_Font_Color(std::uint32_t color) { font_color_ = color; }

    // Pixels x1..x2-1, y1..y2-1 (corners in any order): brush fill (unless clear) and pen outline.
    void Rectangle(int x1, int y1, int x2, int y2);
    // The same area filled with the brush colour, no outline.
    void Fill_Rect(int x1, int y1, int x2, int y2);
    // The whole picture in one colour.
    void Fill(std::uint32_t color);
    // Text with its top-left corner at (x, y) in the font and font colour, on a background of
    // the brush colour unless the brush is clear. The pen moves to the end of the text.
    void Text_Out(int x, int y, const QString& text);
    int Text_Width(const QString& text) const;
    int Text_Height(const QString& text) const;
    // A picture drawn with its top-left corner at (x, y), cut at the picture's edges.
    void Draw(int x, int y, const QImage& picture);

    // The area changed since the last Take_Dirty_Rect (empty when none).
    QRect Dirty_Rect() const { return dirty_; }
    QRect Take_Dirty_Rect();
    // Called once when the dirty rectangle stops being empty (so the window can schedule a
    // repaint); an empty function removes it.
    void Set_Change_Listener(std::function<void()> listener) { listener_ = std::move(listener); }

private:
    void Mark_Dirty(const QRect& area);
    void Fill_Clipped(const QRect& area, std::uint32_t color);
    QRect Clip(const QRect& area) const { return area & image_.rect(); }

    QImage image_;
    std::uint32_t pen_color_ = 0;
    QPoint pen_pos_;
    std::uint32_t brush_color_ = 0xFFFFFF;  // white
    Brush_Style brush_style_ = Brush_Style::Solid;
    QFont font_;
    std::uint32_t font_color_ = 0;
    QRect dirty_;
    std::function<void()> listener_;
};

// Conversions between program colours (0x00BBGGRR) and Qt's opaque 0xFFRRGGBB.
constexpr std::uint32_t To_QRgb(std::uint32_t color) {
    return 0xFF000000u | (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}
constexpr std::uint32_t From_QRgb(std::uint32_t rgb) {
    return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}
