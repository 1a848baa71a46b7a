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
#include "ui/drawing/tool_number.h"
#include "ui/text_dialog/text_font.h"

class Canvas;

// A text box as the text and font dialog describes it, placed at a press point.
struct TextBox {
    QString Text;
    TextFont Font;
    std::uint32_t Box_Color = 0;  // white or black background
    PictureRect Box;              // drawn without its right and bottom edges
};

// Shows the text and font dialog; after OK, measures the box around the press point in the
// chosen font and paints it on the picture with the text one pixel in from the press point.
// Nothing after Cancel.
std::optional<TextBox> Place_Text_Box(Canvas& picture, int press_x, int press_y);
// The box and its text on a picture, the text's top-left corner at (text_x, text_y).
void Paint_Text_Box(Canvas& picture, const TextBox& box, int text_x, int text_y);

// The load tool's picture: runs the open-picture dialog, reads the chosen file and cuts it to
// what a press at (x, y) keeps: at most 711 - x wide and 511 - y high. Parts the file leaves
// see-through take what the picture shows there. Nothing when cancelled, or after an error
// message when the file cannot be read; an empty image when nothing of it fits.
std::optional<QImage> Load_Picture_At(const Canvas& picture, int x, int y);
// The cut alone.
QImage Cut_To_Press_Point(const QImage& picture, int x, int y);
