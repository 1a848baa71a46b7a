// The canvas tools as both drawing windows have them: drag rectangles kept inside the
// picture, the luma bar sets, solid rectangles, the text box of the text and font dialog and
// picture files placed at the press point. The windows supply what differs: which primitive
// writes (one channel or the channels of a mask) and which other pictures follow.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "chip/drawing_primitives.h"
#include "ui/text_dialog/text_font.h"

class Canvas;

// Tool numbers, as SelectTool stores them in Tool. The main window has tools 0 to 8.
enum Tool_Number : int {
    Tool_Crosshair = 0,
    Tool_Freehand = 1,
    Tool_Quad_Pixel = 2,
    Tool_Open_Rect = 3,
    Tool_Solid_Rect = 4,
    Tool_Luma_Horiz = 5,
    Tool_Luma_Vert = 6,
    Tool_Text = 7,
    Tool_Load = 8,
    Tool_Save_Rect = 9,
    Tool_Share_Mem = 10,
    Tool_Time_Stamp = 11,
    Tool_Read_OSD = 12,
};

// Picture pixels with inclusive bounds, as the drawing primitives take them.
struct Picture_Rect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool operator==(const Picture_Rect&) const = default;
};

// The rectangle between the press point and the release point.
Picture_Rect Drag_Rectangle(int press_x, int press_y, int x, int y);

bool Inside_Picture(int x, int y);

// The part of r inside the picture, or nothing. While a button is held the pointer may lie
// outside the picture, and the primitives cut lines to their 9-bit registers (row -40 is
// line 472): every tool clips before it writes.
std::optional<Picture_Rect> Clip_To_Picture(const Picture_Rect& r);

// The same for a region that is uploaded or read back: those cover the quads from the one
// nearest Left to one beyond the one nearest Right, so Right is held where that last quad is
// still column 177 (in the last quad it may end up left of Left; the region is then that
// one quad). Nothing when the region starts beyond the last quad.
std::optional<Picture_Rect> Clip_Region_To_Memory(const Picture_Rect& r);

// Quad column under picture x as the quad and crosshair tools take it (truncated, so x = 6 is
// column 1; the rectangle tools round through Column_To_Quad instead).
int Truncated_Quad(int x);

// One bar of a luma bar set.
struct Luma_Bar {
    Picture_Rect Area;
    int Level = 0;
};

// Sixteen bars, level 15 first, or none when the drag spans fewer than 16 rows (horizontal
// bars) or 16 quads (vertical bars). The bars are as the drag makes them, not yet clipped.
std::vector<Luma_Bar> Horizontal_Luma_Bars(int press_y, int y, int left, int right);
std::vector<Luma_Bar> Vertical_Luma_Bars(int press_x, int x, int top, int bottom);

// Writes a solid rectangle in one quad pattern and paints it (one channel or several).
using Solid_Rect_Writer = std::function<bool(const Picture_Rect&, const Quad_Levels&)>;

// The rectangle clipped to the picture; nothing when none of it is inside. False when the
// application was asked to quit meanwhile.
bool Draw_Solid_Rect(const Solid_Rect_Writer& write, const Picture_Rect& r,
                     const Quad_Levels& pattern);
// Every bar clipped on its own, in order; stops when the application is quitting.
bool Draw_Luma_Bars(const Solid_Rect_Writer& write, const std::vector<Luma_Bar>& bars);

// The edges of an open rectangle: a horizontal edge covers columns x0..x1 of row y, a
// vertical one rows y0..y1 - 1 of the quad nearest x (the next edge covers the last row).
using Horizontal_Edge = std::function<bool(int x0, int x1, int y)>;
using Vertical_Edge = std::function<bool(int x, int y0, int y1)>;
// Top, bottom, left and right edge in this order, each cut to its part inside the picture;
// an edge that lies outside is left out. False when the application is quitting.
bool Draw_Open_Rect_Edges(const Picture_Rect& r, const Horizontal_Edge& horizontal,
                          const Vertical_Edge& vertical);

// A text box as the text and font dialog describes it, placed at a press point.
struct Text_Box {
    QString Text;
    TextFont Font;
    std::uint32_t Box_Color = 0;  // white or black background
    Picture_Rect Box;             // drawn without its right and bottom edges
};

// Shows the text and font dialog; after OK, measures the box around the press point in the
// chosen font and paints it on the picture with the text one pixel in from the press point.
// Nothing after Cancel.
std::optional<Text_Box> Place_Text_Box(Canvas& picture, int press_x, int press_y);
// The box and its text on a picture, the text's top-left corner at (text_x, text_y).
void Paint_Text_Box(Canvas& picture, const Text_Box& box, int text_x, int text_y);

// The load tool's picture: runs the open-picture dialog, reads the chosen file and cuts it to
// what a press at (x, y) keeps: at most 711 - x wide and 511 - y high. Parts the file leaves
// see-through take what the picture shows there. Nothing when cancelled, or after an error
// message when the file cannot be read; an empty image when nothing of it fits.
std::optional<QImage> Load_Picture_At(const Canvas& picture, int x, int y);
// The cut alone.
QImage Cut_To_Press_Point(const QImage& picture, int x, int y);
