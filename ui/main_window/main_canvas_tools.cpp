// The canvas tools of the main window: every tool writes all channels of MwriteMask at once
// through the multi-channel registers and paints this picture; the solid shapes, the quad
// tool, text and pictures also repaint the selected channel windows' pictures.
#include <QCheckBox>
#include <QSpinBox>

#include "chip/canvas.h"
#include "chip/channel_pictures.h"
#include "chip/display_memory.h"
#include "chip/drawing_primitives.h"
#include "chip/register_map.h"
#include "shell/text_format.h"
#include "ui/drawing/canvas_tools.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/picture_view.h"
#include "ui/widgets/qp_level_picker.h"

namespace {

// The vertical offset the main window's read-out assumes: a channel's start value.
constexpr int Read_Out_Voffset = 128;

// clang-format off
constexpr const char* kCaptionFieldLine = "Osdex On-Screen Display: Multi-Channel Write (row %d column %d) (field %d line %d)";
constexpr const char* kCaption = "Osdex On-Screen Display: Multi-Channel Write (row %d column %d)";
// clang-format on

void Show_Pointer_Caption(TOsdexForm& form, int x, int y) {
    const std::optional<FieldLine> at = Row_To_Field_Line(y, Read_Out_Voffset);
    const std::string caption = at ? Format_Text(kCaptionFieldLine, y, x, at->field, at->line)
                                   : Format_Text(kCaption, y, x);
    form.setWindowTitle(QString::fromStdString(caption));
}

void Crosshair_Pick(TOsdexForm& form, int x, int y) {
    // Read as display memory holds the quad: leftmost pixel into QP3.
    const int q = Truncated_Quad(x);
    const QuadLevels levels = Pick_Quad(&form.Picture, q * Pixels_Per_Quad, y);
    const auto pickers = form.Quad_Pickers();
    for (std::size_t i = 0; i < pickers.size(); ++i) {
        pickers[i]->Set_Selected_Row(levels[i] & 0xFF);
        pickers[i]->Set_Shown_Row(pickers[i]->Selected_Row());
    }
    form.UpDownQPHORIZ->setValue(q);
    form.UpDownQPLINE->setValue(y);
}

void Quad_Step(TOsdexForm& form, int x, int y) {
    // The fields keep their ranges, so a drag past an edge keeps writing the edge quads.
    form.UpDownQPHORIZ->setValue(Truncated_Quad(x));
    form.btnSetQPHORIZClick();
    form.UpDownQPLINE->setValue(y);
    form.btnSetQPLINEClick();
    form.btnSetMWRITEClick();
}

SolidRectWriter Multi_Channel_Writer(TOsdexForm& form) {
    return [&form](const PictureRect& r, const QuadLevels& p) {
        return Write_Solid_Rect_Multi(static_cast<std::uint8_t>(form.MwriteMask), &form.Picture,
                                      r.Left, r.Top, r.Right, r.Bottom, p[0], p[1], p[2], p[3]);
    };
}

void Open_Rect_Tool(TOsdexForm& form, const PictureRect& drag) {
    // The runs repeat what the last left press loaded; only this picture is painted.
    const QuadLevels p = form.Selected_Levels();
    const auto mask = static_cast<std::uint8_t>(form.MwriteMask);
    Canvas* picture = &form.Picture;
    Draw_Open_Rect_Edges(
        drag,
        [&](int x0, int x1, int y) {
            return Write_Horiz_Run_Multi(mask, x0, x1, y) &&
                   Paint_Horiz_Run(picture, x0, x1, y, p[0], p[1], p[2], p[3]);
        },
        [&](int x, int y0, int y1) {
            return Write_Vert_Run_Multi(mask, x, y0, y1) &&
                   Paint_Vert_Run(picture, x, y0, y1, p[0], p[1], p[2], p[3]);
        });
}

void Text_Tool(TOsdexForm& form) {
    const std::optional<TextBox> box = Place_Text_Box(form.Picture, form.PressX, form.PressY);
    if (!box) return;
    if (const std::optional<PictureRect> region = Clip_Region_To_Memory(box->Box)) {
        if (!Upload_Picture_Multi(static_cast<std::uint8_t>(form.MwriteMask), &form.Picture,
                                  region->Left, region->Top, region->Right, region->Bottom)) {
            return;
        }
    }
    // The channel pictures get the text at the press point itself, one pixel up and left of
    // where it lands here and in display memory.
    for (int n = 0; n < Channel_Count; ++n) {
        Canvas* picture = Channel_Picture(n);
        if (form.cbMWRITE[n]->isChecked() && picture) {
            Paint_Text_Box(*picture, *box, form.PressX, form.PressY);
        }
    }
}

void Load_Tool(TOsdexForm& form) {
    const int x = form.PressX;
    const int y = form.PressY;
    const std::optional<QImage> image = Load_Picture_At(form.Picture, x, y);
    if (!image) return;
    form.Picture.Draw(x, y, *image);
    const PictureRect area{x, y, x + image->width(), y + image->height()};
    if (const std::optional<PictureRect> region = Clip_Region_To_Memory(area)) {
        if (!Upload_Picture_Multi(static_cast<std::uint8_t>(form.MwriteMask), &form.Picture,
                                  region->Left, region->Top, region->Right, region->Bottom)) {
            return;
        }
    }
    for (int n = 0; n < Channel_Count; ++n) {
        Canvas* picture = Channel_Picture(n);
        if (form.cbMWRITE[n]->isChecked() && picture) picture->Draw(x, y, *image);
    }
}

}  // namespace

void TOsdexForm::Connect_Canvas_Tools() {
    connect(Image1, &PictureView::Mouse_Down, this, &TOsdexForm::Image1MouseDown);
    connect(Image1, &PictureView::Mouse_Move, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers shift, int x, int y) {
                Image1MouseMove(shift, x, y);
            });
    connect(Image1, &PictureView::Mouse_Up, this, &TOsdexForm::Image1MouseUp);
}

void TOsdexForm::Image1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                                 int Y) {
    PressX = X;
    PressY = Y;
    PressButton = Button;
    PressShift = Shift;
    if (Button != Qt::LeftButton) return;
    Dragging = true;
    // Every left press loads the chip's quad data with the pattern the release repeats.
    Select_Shown_Rows();
    btnSetQPClick();
    if (Tool == Tool_Quad_Pixel) Quad_Step(*this, X, Y);
}

void TOsdexForm::Image1MouseMove(Qt::KeyboardModifiers, int X, int Y) {
    Show_Pointer_Caption(*this, X, Y);
    if (!Dragging) return;
    if (Tool == Tool_Crosshair) Crosshair_Pick(*this, X, Y);
    if (Tool == Tool_Quad_Pixel) Quad_Step(*this, X, Y);
}

void TOsdexForm::Image1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
    Dragging = false;
    const PictureRect drag = Drag_Rectangle(PressX, PressY, X, Y);
    switch (Tool) {
        case Tool_Open_Rect:
            Open_Rect_Tool(*this, drag);
            break;
        case Tool_Solid_Rect:
            Draw_Solid_Rect(Multi_Channel_Writer(*this), drag, Selected_Levels());
            break;
        case Tool_Luma_Horiz:
            Draw_Luma_Bars(Multi_Channel_Writer(*this),
                           Horizontal_Luma_Bars(PressY, Y, drag.Left, drag.Right));
            break;
        case Tool_Luma_Vert:
            Draw_Luma_Bars(Multi_Channel_Writer(*this),
                           Vertical_Luma_Bars(PressX, X, drag.Top, drag.Bottom));
            break;
        case Tool_Text:
            Text_Tool(*this);
            break;
        case Tool_Load:
            Load_Tool(*this);
            break;
        default:
            break;
    }
}
