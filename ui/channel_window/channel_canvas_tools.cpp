// The canvas tools of a channel window: every tool writes this channel's display memory
// through its own bank of registers and paints the same pixels on this window's picture.
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>

#include "chip/canvas.h"
#include "chip/display_memory.h"
#include "chip/drawing_primitives.h"
#include "chip/luma.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "shell/text_format.h"
#include "ui/channel_window/channel_window.h"
#include "ui/drawing/canvas_tools.h"
#include "ui/widgets/picture_view.h"

namespace {

// The fill that marks the part of the picture a read-back has still to reach.
constexpr std::uint32_t Read_Back_Pending = 0x008000;  // green

std::uint8_t Bank(const TOsdexFormCH0& form) {
    return static_cast<std::uint8_t>(form.RegisterBase & 0xFF);
}

// Sets an up-down without its change action, so the caller runs that action when it means to.
void Set_Position_Quietly(QSpinBox* up_down, int position) {
    const QSignalBlocker quiet(up_down);
    up_down->setValue(position);  // out of range: the nearest end
}

void Show_Pointer_Caption(TOsdexFormCH0& form, int x, int y) {
    // Field and line depend on where the chip places this channel's lines.
    const int voffset = Read_Register(form.Register_Address(Reg::VOFFSET));
    const std::optional<FieldLine> at = Row_To_Field_Line(y, voffset);
    const std::string caption =
        at ? Format_Text("Osdex Channel %d (row %d column %d) (field %d line %d)", form.Channel(),
                         y, x, at->field, at->line)
           : Format_Text("Osdex Channel %d (row %d column %d)", form.Channel(), y, x);
    form.setWindowTitle(QString::fromStdString(caption));
}

void Pick_Level(TOsdexFormCH0& form, int x, int y) {
    form.SelectLevel(Color_To_OSD(form.Picture.Pixel(x, y)) & 0xFF);
}

void Crosshair_Move(TOsdexFormCH0& form, int x, int y) {
    Pick_Level(form, x, y);
    Set_Position_Quietly(form.UpDownQPHORIZ, Truncated_Quad(x));
    form.EditQPHORIZChange();
    Set_Position_Quietly(form.UpDownQPLINE, y);
    form.EditQPLINEChange();
}

void Freehand_Pixel(TOsdexFormCH0& form, int x, int y) {
    // Outside the picture the line register would wrap (y = 515 is line 3).
    if (!Inside_Picture(x, y)) return;
    Write_Pixel(Bank(form), x, y, form.Level);
    Paint_Pixel(&form.Picture, x, y, form.Level);
}

void Quad_Step(TOsdexFormCH0& form, int x, int y) {
    // The fields keep their ranges, so a drag past an edge keeps writing the edge quads.
    Set_Position_Quietly(form.UpDownQPHORIZ, Truncated_Quad(x));
    form.EditQPHORIZChange();
    form.btnSetQPHORIZClick();
    Set_Position_Quietly(form.UpDownQPLINE, y);
    form.EditQPLINEChange();
    form.btnSetQPLINEClick();
    form.btnCOMMANDwriteQPClick();
}

SolidRectWriter Channel_Writer(TOsdexFormCH0& form) {
    return [&form](const PictureRect& r, const QuadLevels& p) {
        return Write_Solid_Rect(Bank(form), &form.Picture, r.Left, r.Top, r.Right, r.Bottom, p[0],
                                p[1], p[2], p[3]);
    };
}

void Open_Rect_Tool(TOsdexFormCH0& form, const PictureRect& drag) {
    // Display memory first, repeating what the last left press loaded; then the picture in
    // the pickers' pattern.
    const std::uint8_t bank = Bank(form);
    const QuadLevels p = form.Selected_Levels();
    Canvas* picture = &form.Picture;
    const bool written = Draw_Open_Rect_Edges(
        drag, [bank](int x0, int x1, int y) { return Write_Horiz_Run(bank, x0, x1, y); },
        [bank](int x, int y0, int y1) { return Write_Vert_Run(bank, x, y0, y1); });
    if (!written) return;  // the application is quitting
    Draw_Open_Rect_Edges(
        drag,
        [&](int x0, int x1, int y) {
            return Paint_Horiz_Run(picture, x0, x1, y, p[0], p[1], p[2], p[3]);
        },
        [&](int x, int y0, int y1) {
            return Paint_Vert_Run(picture, x, y0, y1, p[0], p[1], p[2], p[3]);
        });
}

bool Upload_Region(TOsdexFormCH0& form, const PictureRect& area) {
    const std::optional<PictureRect> region = Clip_Region_To_Memory(area);
    return !region || Upload_Picture(Bank(form), &form.Picture, region->Left, region->Top,
                                     region->Right, region->Bottom);
}

void Text_Tool(TOsdexFormCH0& form) {
    if (const std::optional<TextBox> box = Place_Text_Box(form.Picture, form.PressX, form.PressY))
        Upload_Region(form, box->Box);
}

void Load_Tool(TOsdexFormCH0& form) {
    const int x = form.PressX;
    const int y = form.PressY;
    const std::optional<QImage> image = Load_Picture_At(form.Picture, x, y);
    if (!image) return;
    form.Picture.Draw(x, y, *image);
    Upload_Region(form, {x, y, x + image->width(), y + image->height()});
}

void Shared_Range_Tool(TOsdexFormCH0& form, const PictureRect& drag, int y) {
    if (form.PressY >= y) {
        // An upward drag, or none: sharing off.
        form.ToolButtonShareMemOffClick();
        form.PanelSHRSRC->hide();
        return;
    }
    const std::optional<PictureRect> lines = Clip_To_Picture(drag);
    if (!lines) return;
    Set_Position_Quietly(form.UpDownSHRBEG, lines->Top);
    Set_Position_Quietly(form.UpDownSHREND, lines->Bottom);
    // The change actions place the band over the range (never reversed here) and, unless
    // postponed, write it; the tool shows the band and writes the range in any case.
    form.EditSHRBEGChange();
    form.EditSHRENDChange();
    form.PanelSHRSRC->show();
    form.btnSetSHRBEGClick();
    form.btnSetSHRENDClick();
}

void Read_Back_Tool(TOsdexFormCH0& form, const PictureRect& drag) {
    const std::optional<PictureRect> region = Clip_Region_To_Memory(drag);
    if (!region) return;
    // Green marks what is still to come, and only that: a Left in the second half of its
    // quad starts the read at the next quad, and green left there would never be replaced.
    const int first_read = Nearest_Quad(region->Left) * Pixels_Per_Quad;
    form.Picture.Set_Brush_Color(Read_Back_Pending);
    form.Picture.Set_Brush_Style(Canvas::Brush_Style::Solid);
    form.Picture.Fill_Rect(std::max(drag.Left, first_read), drag.Top, drag.Right, drag.Bottom);
    form.Image1->Repaint_Changes();
    // Each quad read changes the picture, and the first change after a paint asks the view
    // for one; the requests merge until the loop lets events run, so the green shrinks at
    // screen speed without a paint per quad.
    Read_Back_Picture(&form.Picture, Bank(form), region->Left, region->Top, region->Right,
                      region->Bottom);
    form.Image1->Repaint_Changes();
}

}  // namespace

void TOsdexFormCH0::Connect_Canvas_Tools() {
    connect(Image1, &PictureView::Mouse_Down, this, &TOsdexFormCH0::Image1MouseDown);
    connect(Image1, &PictureView::Mouse_Move, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers shift, int x, int y) {
                Image1MouseMove(shift, x, y);
            });
    connect(Image1, &PictureView::Mouse_Up, this, &TOsdexFormCH0::Image1MouseUp);
}

void TOsdexFormCH0::Image1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                                    int Y) {
    PressX = X;
    PressY = Y;
    PressButton = Button;
    PressShift = Shift;
    if (Button == Qt::LeftButton) {
        Dragging = true;
        // The chip's quad data then holds the pattern that the open rectangle repeats.
        Select_Shown_Rows();
        btnSetQPClick();
    }
    switch (Tool) {
        case Tool_Crosshair:
            if (Dragging) Pick_Level(*this, X, Y);
            break;
        case Tool_Freehand:
            if (Dragging) Freehand_Pixel(*this, X, Y);
            break;
        case Tool_Quad_Pixel:
            if (Dragging) Quad_Step(*this, X, Y);
            break;
        case Tool_Time_Stamp:
            TimeStampToolPress();
            break;
        default:
            break;
    }
}

void TOsdexFormCH0::Image1MouseMove(Qt::KeyboardModifiers, int X, int Y) {
    Show_Pointer_Caption(*this, X, Y);
    if (!Dragging) return;
    switch (Tool) {
        case Tool_Crosshair:
            Crosshair_Move(*this, X, Y);
            break;
        case Tool_Freehand:
            Freehand_Pixel(*this, X, Y);
            break;
        case Tool_Quad_Pixel:
            Quad_Step(*this, X, Y);
            break;
        default:
            break;
    }
}

void TOsdexFormCH0::Image1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
    Dragging = false;
    const PictureRect drag = Drag_Rectangle(PressX, PressY, X, Y);
    switch (Tool) {
        case Tool_Open_Rect:
            Open_Rect_Tool(*this, drag);
            break;
        case Tool_Solid_Rect:
            Draw_Solid_Rect(Channel_Writer(*this), drag, Selected_Levels());
            break;
        case Tool_Luma_Horiz:
            Draw_Luma_Bars(Channel_Writer(*this),
                           Horizontal_Luma_Bars(PressY, Y, drag.Left, drag.Right));
            break;
        case Tool_Luma_Vert:
            Draw_Luma_Bars(Channel_Writer(*this),
                           Vertical_Luma_Bars(PressX, X, drag.Top, drag.Bottom));
            break;
        case Tool_Text:
            Text_Tool(*this);
            break;
        case Tool_Load:
            Load_Tool(*this);
            break;
        case Tool_Share_Mem:
            Shared_Range_Tool(*this, drag, Y);
            break;
        case Tool_Time_Stamp:
            PlaceTimeStamp(PressX, PressY);
            break;
        case Tool_Read_OSD:
            Read_Back_Tool(*this, drag);
            break;
        default:
            break;
    }
}
