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
#include "chip/tool_geometry.h"
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
