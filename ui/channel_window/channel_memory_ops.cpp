// The channel window's whole-memory operations (module Unitch): save the picture, load a
// picture into the top-left corner, move the overlay with the offset registers, blank and
// unblank, erase all of display memory, and the shared-memory source buttons.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>

#include "chip/drawing_primitives.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "ui/channel_window/channel_window.h"
#include "ui/drawing/erase_support.h"
#include "ui/drawing/picture_files.h"

void TOsdexFormCH0::Connect_Memory_Ops() {
    auto on_click = [this](QToolButton* button, void (TOsdexFormCH0::*handler)()) {
        connect(button, &QToolButton::clicked, this, handler);
    };
    on_click(ToolButtonSaveAll, &TOsdexFormCH0::ToolButtonSaveAllClick);
    on_click(ToolButtonLoadAll, &TOsdexFormCH0::ToolButtonLoadAllClick);
    on_click(ToolButtonMoveLeft, &TOsdexFormCH0::ToolButtonMoveLeftClick);
    on_click(ToolButtonMoveRight, &TOsdexFormCH0::ToolButtonMoveRightClick);
    on_click(ToolButtonMoveUp, &TOsdexFormCH0::ToolButtonMoveUpClick);
    on_click(ToolButtonMoveDown, &TOsdexFormCH0::ToolButtonMoveDownClick);
    on_click(ToolButtonBlankOSD, &TOsdexFormCH0::ToolButtonBlankOSDClick);
    on_click(ToolButtonErase, &TOsdexFormCH0::ToolButtonEraseClick);
    on_click(ToolButtonShareMem01, &TOsdexFormCH0::ToolButtonShareMem01Click);
    on_click(ToolButtonShareMem23, &TOsdexFormCH0::ToolButtonShareMem23Click);
    on_click(ToolButtonShareMem45, &TOsdexFormCH0::ToolButtonShareMem45Click);
    on_click(ToolButtonShareMem67, &TOsdexFormCH0::ToolButtonShareMem67Click);
    on_click(ToolButtonShareMemOff, &TOsdexFormCH0::ToolButtonShareMemOffClick);
}

void TOsdexFormCH0::ToolButtonSaveAllClick() {
    // The picture as shown; a read-back refreshes it from the chip first when needed.
    Save_Picture_With_Dialog(Picture);
}

void TOsdexFormCH0::ToolButtonLoadAllClick() {
    const std::optional<QSize> drawn = Load_Picture_Into_Corner(Picture);
    if (!drawn) return;
    Upload_Picture(static_cast<std::uint8_t>(RegisterBase), &Picture, 0, 0, drawn->width(),
                   drawn->height());
}

void TOsdexFormCH0::Step_Offset(QSpinBox* up_down, std::uint8_t offset, int step) {
    // The up-down keeps to its range 0..255, so a step at either end stays there instead of
    // wrapping the overlay to the opposite edge. Its change action may write the register
    // already; the write below makes sure it happens even with updates postponed.
    up_down->setValue(up_down->value() + step);
    Write_Register(static_cast<std::uint8_t>(RegisterBase | offset),
                   static_cast<std::uint8_t>(up_down->value()));
}

void TOsdexFormCH0::ToolButtonMoveLeftClick() {
    Step_Offset(UpDownHOFFSET, Reg::HOFFSET, -1);
}

void TOsdexFormCH0::ToolButtonMoveRightClick() {
    Step_Offset(UpDownHOFFSET, Reg::HOFFSET, +1);
}

void TOsdexFormCH0::ToolButtonMoveUpClick() {
    Step_Offset(UpDownVOFFSET, Reg::VOFFSET, -1);
}

void TOsdexFormCH0::ToolButtonMoveDownClick() {
    Step_Offset(UpDownVOFFSET, Reg::VOFFSET, +1);
}

void TOsdexFormCH0::ToolButtonBlankOSDClick() {
    const std::uint8_t status_address = static_cast<std::uint8_t>(RegisterBase | Reg::STATUS);
    const std::uint8_t s = Read_Register(status_address);
    // The boxes show the state after the toggle; with automatic updates on, their click
    // actions write STATUS too before the toggle below.
    cbVINC->setChecked(s & Status_VINC);
    cbHINC->setChecked(s & Status_HINC);
    cbASYNC->setChecked(s & Status_ASYNC);
    cbLOS->setChecked(s & Status_LOS);
    cbBLANK->setChecked(!(s & Status_BLANK));
    Write_Register(status_address, static_cast<std::uint8_t>(s ^ Status_BLANK));
    ToolButtonBlankOSD->setChecked(!(s & Status_BLANK));  // down while blanked
}

void TOsdexFormCH0::ToolButtonEraseClick() {
    Run_Minimised({this}, [this] {
        const int w = Picture.Width();
        const int h = Picture.Height();
        Show_Quad_Level(*this, 0);
        const std::uint8_t bank = static_cast<std::uint8_t>(RegisterBase);
        Write_Register(bank | Reg::QPH, 0);
        Write_Register(bank | Reg::QPL, 0);
        Write_Solid_Rect(bank, &Picture, 0, 0, w, h, 0, 0, 0, 0);
    });
}

void TOsdexFormCH0::Show_Shared_Source(int source) {
    {
        // Selecting from code runs no action of the list.
        const QSignalBlocker quiet(ListBoxSHRSRC);
        ListBoxSHRSRC->setCurrentRow(source);
    }
    PanelSHRSRC->setText(QString("SHARED SOURCE: %1").arg(Shrsrc_Source_Names[source]));
}

void TOsdexFormCH0::ToolButtonShareMemClick(int source) {
    Show_Shared_Source(source);
    Write_Register(static_cast<std::uint8_t>(RegisterBase | Reg::SHRSRC),
                   Shrsrc_Encode(source, static_cast<std::uint8_t>(RegisterBase)));
}

void TOsdexFormCH0::ToolButtonShareMemOffClick() {
    Show_Shared_Source(0);
    PanelSHRSRC->hide();
    Write_Register(static_cast<std::uint8_t>(RegisterBase | Reg::SHRSRC), 0);
}
