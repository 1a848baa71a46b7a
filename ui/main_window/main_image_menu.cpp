// The main window's whole-picture commands (module Unit3): erase the display memory of the
// selected channels to one level, load a picture file into them, save the main picture.
#include <QAction>
#include <QToolButton>

#include "chip/drawing_primitives.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "ui/channel_window/channel_window.h"
#include "ui/channel_window/channel_windows.h"
#include "ui/drawing/erase_support.h"
#include "ui/drawing/picture_files.h"
#include "ui/main_window/main_window.h"

void TOsdexForm::Connect_Image_Menu() {
    connect(menuImageEraseTransparent, &QAction::triggered, this,
            &TOsdexForm::menuImageEraseTransparentClick);
    connect(menuImageEraseWhite, &QAction::triggered, this, &TOsdexForm::menuImageEraseWhiteClick);
    connect(menuImageEraseGrey, &QAction::triggered, this, &TOsdexForm::menuImageEraseGreyClick);
    connect(menuImageEraseBlack, &QAction::triggered, this, &TOsdexForm::menuImageEraseBlackClick);
    connect(ToolButtonErase, &QToolButton::clicked, this, &TOsdexForm::ToolButtonEraseClick);
    connect(menuImageLoad, &QAction::triggered, this, &TOsdexForm::menuImageLoadClick);
    connect(menuImageSavetoFile, &QAction::triggered, this, &TOsdexForm::menuImageSavetoFileClick);
}

void TOsdexForm::Erase_To_Level(int level) {
    const int w = Picture.Width();
    const int h = Picture.Height();
    Show_Quad_Level(*this, level);
    const std::uint8_t pattern = Quad_Byte(level, level);
    Write_Register(MReg::QPH, pattern);
    Write_Register(MReg::QPL, pattern);
    // Each line is repainted on this picture and on the selected channels' pictures as soon
    // as it is written.
    Write_Solid_Rect_Multi(static_cast<std::uint8_t>(MwriteMask), &Picture, 0, 0, w, h, level,
                           level, level, level);
}

void TOsdexForm::ToolButtonEraseClick() {
    std::vector<QWidget*> windows{this};
    for (TOsdexFormCH0* channel : OsdexFormCH) windows.push_back(channel);
    Run_Minimised(windows, [this] { Erase_To_Level(0); });
}

void TOsdexForm::menuImageLoadClick() {
    const std::optional<QSize> drawn = Load_Picture_Into_Corner(Picture);
    if (!drawn) return;
    // The channel windows' pictures stay as they are; they refresh by reading the chip back.
    Upload_Picture_Multi(static_cast<std::uint8_t>(MwriteMask), &Picture, 0, 0, drawn->width(),
                         drawn->height());
}

void TOsdexForm::menuImageSavetoFileClick() {
    Save_Picture_With_Dialog(Picture);
}
