// The main window's test pattern and blank-all: both act on all eight channel windows at
// once. The test pattern puts the logo, a label and luma bars into every channel, routes the
// crosspoint, shares lines 300..350 of channels 2..7 and starts two time stamps.
#include <QAction>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "chip/display_memory.h"
#include "chip/drawing_primitives.h"
#include "chip/luma.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "shell/data_files.h"
#include "shell/dialogs.h"
#include "shell/event_pump.h"
#include "ui/channel_window/channel_window.h"
#include "ui/channel_window/channel_windows.h"
#include "ui/channel_window/time_stamp.h"
#include "ui/crosspoint/crosspoint_window.h"
#include "ui/drawing/erase_support.h"
#include "ui/drawing/picture_files.h"
#include "ui/main_window/main_window.h"
#include "ui/text_dialog/text_dialog.h"

namespace {

constexpr const char* Logo_File = "VANLOGO1A.BMP";  // the current folder's, else the installed one
constexpr int Logo_X = 100;
constexpr int Logo_Y = 150;
constexpr int Label_X = 200;
constexpr int Label_Y = 230;
constexpr int Bars_Left = 94;
constexpr int Bars_Right = 606;
constexpr int Bars_Top = 265;
constexpr int Bars_Bottom = 425;
constexpr int Levels = 16;
constexpr int All_Channels = 255;
constexpr int Horizontal_Bar_Channels = 3;  // channels 0 and 1
constexpr int Vertical_Bar_Channels = 252;  // channels 2..7
constexpr int Shared_First_Line = 300;
constexpr int Shared_Last_Line = 350;

std::vector<QWidget*> Main_And_Channel_Windows() {
    std::vector<QWidget*> windows{OsdexForm};
    for (int n = 0; n < Channel_Count; ++n) windows.push_back(Create_Channel_Window(n));
    return windows;
}

// The label "Osdex Channel n" in the text dialog's font, border and background, on channel
// window n's picture and in channel n only.
void Draw_Channel_Label(TOsdexFormCH0& window, int n) {
    const QString text = QString("Osdex Channel %1").arg(n);
    Canvas& picture = window.Picture;
    int border = 0;
    bool white = false;
    if (CGForm) {
        const TextFont& font = CGForm->Chosen_Font();
        picture.Set_Font(To_QFont(font));
        picture.Set_Font_Color(font.Color);
        border = CGForm->Border_Size();
        white = CGForm->White_Background();
    }
    const int left = Label_X - border;
    const int top = Label_Y - border;
    const int right = Label_X + picture.Text_Width(text) + border;
    const int bottom = Label_Y + picture.Text_Height(text) + border;
    // The outline keeps the pen the erase left (Transparent_Color): the box has a clear edge.
    picture.Set_Brush_Color(white ? White_Color : Black_Color);
    picture.Set_Brush_Style(Canvas::Brush_Style::Solid);
    picture.Rectangle(left, top, right, bottom);
    picture.Text_Out(Label_X + 1, Label_Y + 1, text);
    Upload_Box_To_Channel(Channel_Bank(n), picture, left, top, right, bottom);
}

void Share_Lines_With_Channel_0_1(std::uint8_t s) {
    Write_Register(s + Reg::SHRBEGH, Line_High(Shared_First_Line));
    Write_Register(s + Reg::SHRBEGL, Line_Low(Shared_First_Line));
    Write_Register(s + Reg::SHRENDH, Line_High(Shared_Last_Line));
    Write_Register(s + Reg::SHRENDL, Line_Low(Shared_Last_Line));
    // "Channel 0/1" is 1 for an even channel and 2 for an odd one.
    Write_Register(s + Reg::SHRSRC, (s & 0x10) ? 2 : 1);
}

}  // namespace

void TOsdexForm::Connect_Test_Pattern() {
    connect(menuDiagnosticTestPattern1, &QAction::triggered, this,
            &TOsdexForm::menuDiagnosticTestPattern1Click);
    connect(menuDiagnosticBlankAll, &QAction::triggered, this,
            &TOsdexForm::menuDiagnosticBlankAllClick);
}

void TOsdexForm::menuDiagnosticTestPattern1Click() {
    // The command lets events run; a second F10 meanwhile would interleave two runs on the
    // same multi-channel registers and pictures.
    static bool running = false;
    if (running) return;
    running = true;
    struct Done {
        ~Done() { running = false; }
    } done;

    SetMwriteMask(All_Channels);
    const std::vector<QWidget*> windows = Main_And_Channel_Windows();
    const QPointer<QWidget> front = Minimise_Shown(windows);
    for (TOsdexFormCH0* channel : OsdexFormCH) channel->StopTimeStamp();
    if (XelorForm) {
        XelorForm->menuSetup00Click();
        XelorForm->ToolButton1vvClick();
    }
    Process_Pending_Events();
    Erase_To_Level(0);
    // The primitives stop early once the application is shutting down; so does the command.
    if (Process_Pending_Events()) return;

    // A missing logo ends the command here: windows minimised, channels erased.
    const PictureLoadResult logo = Load_Picture_File(Find_Data_File(Logo_File));
    if (logo.image.isNull()) {
        Show_Message(Application_Title, logo.error, MsgIcon::Stop);
        return;
    }
    const QImage cut = Cut_Loaded_Picture(logo.image);
    Picture.Draw(Logo_X, Logo_Y, cut);
    Upload_Picture_Multi(All_Channels, &Picture, Logo_X, Logo_Y,
                         std::min(Logo_X + cut.width(), Picture.Width() - 1),
                         std::min(Logo_Y + cut.height(), Picture.Height() - 1));

    for (int n = 0; n < Channel_Count; ++n) Draw_Channel_Label(*OsdexFormCH[n], n);
    if (Quit_Requested()) return;

    SetMwriteMask(Horizontal_Bar_Channels);
    const int bar_height = (Bars_Bottom - Bars_Top) / Levels;
    for (int k = 0; k < Levels; ++k) {
        const int level = Levels - 1 - k;
        Write_Solid_Rect_Multi(Horizontal_Bar_Channels, &Picture, Bars_Left,
                               Bars_Top + bar_height * k, Bars_Right,
                               Bars_Top + bar_height * (k + 1) - 1, level, level, level, level);
    }

    if (Quit_Requested()) return;

    SetMwriteMask(Vertical_Bar_Channels);
    const int q0 = Column_To_Quad(Bars_Left);
    const int q1 = Column_To_Quad(Bars_Right + Pixels_Per_Quad);
    int w = (q1 - q0) / Levels;
    if (w == 0) w = q1 > q0 ? 1 : -1;
    const int width = w < 0 ? -w : w;
    for (int k = 0; k < Levels; ++k) {
        const int level = Levels - 1 - k;
        Write_Solid_Rect_Multi(Vertical_Bar_Channels, &Picture, 4 * (q0 + k * w), Bars_Top,
                               4 * (q0 + k * w + width) - 1, Bars_Bottom, level, level, level,
                               level);
    }

    if (Quit_Requested()) return;

    for (int n = 2; n < Channel_Count; ++n) Share_Lines_With_Channel_0_1(Channel_Bank(n));

    OsdexFormCH[0]->PlaceTimeStamp(200, 315);
    OsdexFormCH[0]->StartTimeStamp();
    OsdexFormCH[1]->PlaceTimeStamp(500, 315);
    OsdexFormCH[1]->StartTimeStamp();

    SetMwriteMask(All_Channels);
    Set_Shown_Normal(windows, front);
}

void TOsdexForm::menuDiagnosticBlankAllClick() {
    for (int n = 0; n < Channel_Count; ++n) {
        TOsdexFormCH0* channel = Create_Channel_Window(n);
        channel->ToolButtonBlankOSDClick();
        channel->repaint();
    }
}
