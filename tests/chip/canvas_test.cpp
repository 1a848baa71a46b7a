// The Canvas drawing rules the windows rely on.
#include <gtest/gtest.h>

#include <QFont>

#include "chip/canvas.h"
#include "chip/luma.h"

namespace {

constexpr std::uint32_t Red = 0x000000FF;
constexpr std::uint32_t White = 0x00FFFFFF;

TEST(Canvas, PixelsInProgramColoursAndInvalidOutside) {
    Canvas canvas;
    EXPECT_EQ(canvas.Width(), 712);
    EXPECT_EQ(canvas.Height(), 512);
    EXPECT_EQ(canvas.Pixel(0, 0), Transparent_Color);
    canvas.Set_Pixel(3, 4, 0x00123456);
    EXPECT_EQ(canvas.Pixel(3, 4), 0x00123456u);
    EXPECT_EQ(canvas.Image().pixel(3, 4), 0xFF563412u);  // Qt's order: red in the high byte
    EXPECT_EQ(canvas.Pixel(-1, 0), Invalid_Color);
    EXPECT_EQ(canvas.Pixel(0, 512), Invalid_Color);
}

TEST(Canvas, LinesLeaveOutTheirEndPoint) {
    Canvas canvas;
    canvas.Set_Pen_Color(Red);
    canvas.Move_To(10, 5);
    canvas.Line_To(14, 5);
    EXPECT_EQ(canvas.Pixel(10, 5), Red);
    EXPECT_EQ(canvas.Pixel(13, 5), Red);
    EXPECT_EQ(canvas.Pixel(14, 5), Transparent_Color);
    EXPECT_EQ(canvas.Pen_Pos(), QPoint(14, 5));

    canvas.Move_To(20, 20);  // leftward: the start is drawn, the end is not
    canvas.Line_To(17, 20);
    EXPECT_EQ(canvas.Pixel(20, 20), Red);
    EXPECT_EQ(canvas.Pixel(18, 20), Red);
    EXPECT_EQ(canvas.Pixel(17, 20), Transparent_Color);
}

TEST(Canvas, RectangleFillsWithBrushOutlinesWithPenAndLeavesOutRightAndBottom) {
    Canvas canvas;
    canvas.Set_Pen_Color(Red);
    canvas.Set_Brush_Color(White);
    canvas.Rectangle(10, 10, 15, 14);
    EXPECT_EQ(canvas.Pixel(10, 10), Red);
    EXPECT_EQ(canvas.Pixel(14, 13), Red);
    EXPECT_EQ(canvas.Pixel(12, 12), White);
    EXPECT_EQ(canvas.Pixel(15, 12), Transparent_Color);
    EXPECT_EQ(canvas.Pixel(12, 14), Transparent_Color);

    canvas.Set_Brush_Style(Canvas::Brush_Style::Clear);
    canvas.Rectangle(30, 30, 35, 35);
    EXPECT_EQ(canvas.Pixel(32, 32), Transparent_Color);
    EXPECT_EQ(canvas.Pixel(30, 32), Red);
}

TEST(Canvas, DirtyRectangleCollectsChangesAndNotifiesOnce) {
    Canvas canvas;
    int notices = 0;
    canvas.Set_Change_Listener([&] { ++notices; });
    canvas.Set_Pixel(5, 5, Red);
    canvas.Set_Pixel(20, 8, Red);
    canvas.Set_Pixel(-3, 8, Red);  // outside: no change
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(canvas.Take_Dirty_Rect(), QRect(QPoint(5, 5), QPoint(20, 8)));
    EXPECT_TRUE(canvas.Dirty_Rect().isEmpty());
    canvas.Fill_Rect(700, 500, 800, 600);
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(canvas.Take_Dirty_Rect(), QRect(QPoint(700, 500), QPoint(711, 511)));
}

TEST(Canvas, TextOnAnOpaqueBackground) {
    Canvas canvas;
    QFont font("DejaVu Sans");
    font.setPixelSize(16);
    canvas.Set_Font(font);
    canvas.Set_Font_Color(0);
    canvas.Set_Brush_Color(White);
    const int w = canvas.Text_Width("Osdex");
    const int h = canvas.Text_Height("Osdex");
    ASSERT_GT(w, 10);
    ASSERT_GT(h, 10);
    canvas.Text_Out(100, 100, "Osdex");
    int white = 0, dark = 0;
    for (int y = 100; y < 100 + h; ++y) {
        for (int x = 100; x < 100 + w; ++x) {
            const std::uint32_t c = canvas.Pixel(x, y);
            EXPECT_NE(c, Transparent_Color) << x << "," << y;
            white += c == White;
            dark += Color_Red(c) < 128;
        }
    }
    EXPECT_GT(white, 0);
    EXPECT_GT(dark, 0);
    EXPECT_EQ(canvas.Pixel(100 + w, 100), Transparent_Color);
}

}  // namespace
