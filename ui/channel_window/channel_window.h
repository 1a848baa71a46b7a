// TOsdexFormCH0 (module Unitch): the window of one OSD channel. All eight channel windows are
// instances of this class; the creator sets RegisterBase to 16 n. The window shows a picture
// of the channel's display memory, the channel's register pane, the canvas tools, the time
// stamp and the whole-memory commands, and buttons that bring up the other windows. Closing
// it only hides it; the application destroys it at the end of the run.
#pragma once

#include <QRect>
#include <array>
#include <utility>

#include "ui/drawing/drawing_form.h"
#include "ui/text_dialog/text_font.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QTimer;

class TOsdexFormCH0 : public TDrawingForm {
    Q_OBJECT
public:
    explicit TOsdexFormCH0(QWidget* parent = nullptr);
    ~TOsdexFormCH0() override;

    // Time stamp (driven by the time-stamp overlay; set up here on every show).
    bool TimeStampRunning = false;
    bool TimeStampDrawn = false;
    int TimeStampX = 0;
    int TimeStampY = 0;
    int TimeStampBorder = 0;
    TextFont TimeStampFont;
    bool TimeStampWhiteBackground = false;
    struct {
        int Left = 0, Top = 0, Right = 0, Bottom = 0;
    } TimeStampBox;

    // The channel shown to the user.
    int Channel() const { return RegisterBase / 16; }

    // Tool bars and buttons not shared with the main window.
    QToolBar* ToolBarCommands = nullptr;
    QToolButton* ToolButtonLoadAll = nullptr;
    QToolButton* ToolButtonSaveAll = nullptr;
    QToolButton* ToolButtonMoveUp = nullptr;
    QToolButton* ToolButtonMoveDown = nullptr;
    QToolButton* ToolButtonMoveLeft = nullptr;
    QToolButton* ToolButtonMoveRight = nullptr;
    QToolButton* ToolButtonBlankOSD = nullptr;
    QToolButton* ToolButtonErase = nullptr;
    QToolButton* ToolButtonHelp = nullptr;

    QToolButton* ToolButtonSaveRect = nullptr;
    QToolButton* ToolButtonReadOSD = nullptr;
    QToolButton* ToolButtonShareMem = nullptr;
    QToolButton* ToolButtonShareMem01 = nullptr;
    QToolButton* ToolButtonShareMem23 = nullptr;
    QToolButton* ToolButtonShareMem45 = nullptr;
    QToolButton* ToolButtonShareMem67 = nullptr;
    QToolButton* ToolButtonShareMemOff = nullptr;
    QToolButton* ToolButtonTimeStampXY = nullptr;
    QToolButton* ToolButtonTimeStampFont = nullptr;
    QToolButton* ToolButtonTimeStampRun = nullptr;
    QToolButton* ToolButtonDate = nullptr;

    // Register panel rows besides the quad rows.
    QPushButton* btnGetSTATUS = nullptr;
    QCheckBox* cbVINC = nullptr;
    QCheckBox* cbHINC = nullptr;
    QCheckBox* cbASYNC = nullptr;
    QCheckBox* cbBLANK = nullptr;
    QCheckBox* cbLOS = nullptr;
    QPushButton* btnSetSTATUS = nullptr;
    QPushButton* btnCOMMANDwriteQP = nullptr;
    QPushButton* btnCOMMANDreadQP = nullptr;
    QPushButton* btnGetHOFFSET = nullptr;
    QSpinBox* UpDownHOFFSET = nullptr;
    QPushButton* btnSetHOFFSET = nullptr;
    QPushButton* btnGetVOFFSET = nullptr;
    QSpinBox* UpDownVOFFSET = nullptr;
    QPushButton* btnSetVOFFSET = nullptr;
    QPushButton* btnGetSHRSRC = nullptr;
    QListWidget* ListBoxSHRSRC = nullptr;
    QPushButton* btnSetSHRSRC = nullptr;
    QPushButton* btnGetSHRBEG = nullptr;
    QSpinBox* UpDownSHRBEG = nullptr;
    QPushButton* btnSetSHRBEG = nullptr;
    QPushButton* btnGetSHREND = nullptr;
    QSpinBox* UpDownSHREND = nullptr;
    QPushButton* btnSetSHREND = nullptr;
    QPushButton* btnGetAllRegs = nullptr;
    QCheckBox* cbNoAutoUpdate = nullptr;

    QLabel* PanelSHRSRC = nullptr;  // the shared-buffer band over the picture
    QTimer* Timer1 = nullptr;       // time stamp, 1000 ms, disabled at start

    // Time stamp overlay (ui/time_stamp.cpp).
    void PlaceTimeStamp(int x, int y);  // move it to (x, y) and start it
    void StopTimeStamp();               // stop it and erase it
    void StartTimeStamp();              // start it where it is
    void Timer1Timer();                 // the tick
    void TimeStampToolPress();          // tool 11 press: timer off, erase what is drawn
    void EraseTimeStamp();              // the box to level 0 on the picture and the chip
    void ToolButtonTimeStampRunClick();
    void ToolButtonTimeStampFontClick();
    void Connect_Time_Stamp();
    void Reset_Time_Stamp_On_Show();  // place, font and box as every show sets them

    // Event handlers.
    void FormShow();
    void ToolButtonAdvancedFeaturesClick();
    void ToolButtonHelpClick();

    // Whole-memory operations (channel_memory_ops.cpp): save, load, move, blank, erase and
    // the shared-memory source.
    void Connect_Memory_Ops();
    void ToolButtonSaveAllClick();
    void ToolButtonLoadAllClick();
    void ToolButtonMoveLeftClick();
    void ToolButtonMoveRightClick();
    void ToolButtonMoveUpClick();
    void ToolButtonMoveDownClick();
    void ToolButtonBlankOSDClick();  // also the main window's blank-all, once per channel
    void ToolButtonEraseClick();
    void ToolButtonShareMemClick(int source);  // 1..4: "Channel 0/1" .. "Channel 6/7"
    void ToolButtonShareMem01Click() { ToolButtonShareMemClick(1); }
    void ToolButtonShareMem23Click() { ToolButtonShareMemClick(2); }
    void ToolButtonShareMem45Click() { ToolButtonShareMemClick(3); }
    void ToolButtonShareMem67Click() { ToolButtonShareMemClick(4); }
    void ToolButtonShareMemOffClick();  // also the shared-range tool's upward drag

    // Channel register panel (ui/channel_register_panel.cpp). Change actions write at once
    // unless "Postpone automatic updates" (cbNoAutoUpdate) is checked.
    bool Updates_Postponed() const;
    // A change action writes: automatic updates on, and no Get setting the panel.
    bool Changes_Write() const;
    void EditQPHORIZChange() override;
    void EditQPLINEChange() override;
    void btnGetSTATUSClick();
    void btnSetSTATUSClick();
    void cbSTATUSClick();  // click action of cbVINC, cbHINC, cbASYNC, cbBLANK
    void btnCOMMANDwriteQPClick();
    void btnCOMMANDreadQPClick();
    void btnGetHOFFSETClick();
    void btnSetHOFFSETClick();
    void EditHOFFSETChange();
    void btnGetVOFFSETClick();
    void btnSetVOFFSETClick();
    void EditVOFFSETChange();
    void btnGetSHRSRCClick();
    void btnSetSHRSRCClick();
    void ListBoxSHRSRCClick();
    void btnGetSHRBEGClick();
    void btnSetSHRBEGClick();
    void btnGetSHRENDClick();
    void btnSetSHRENDClick();
    void EditSHRBEGChange();
    void EditSHRENDChange();
    // The shared-range action: PanelSHRSRC placed over lines SHRBEG..SHREND (red with a
    // warning when reversed), then both registers written unless postponed.
    void SharedRangeAction();
    // "SHARED SOURCE: %s" with the selected source's text.
    QString Shared_Source_Caption() const;
    void btnGetAllRegsClick();
    void PanelSHRSRCMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Connect_Register_Panel();
    // The STATUS boxes with their bits, in the order a read sets them (VINC .. LOS).
    std::array<std::pair<QCheckBox*, std::uint8_t>, 5> Status_Boxes() const;

    // Canvas tools (channel_canvas_tools.cpp): press, move and release on the picture, in
    // picture coordinates; Connect_Canvas_Tools wires Image1 to them.
    void Image1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void Image1MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    void Image1MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void Connect_Canvas_Tools();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Build_Commands_Tool_Bar();
    void Build_Drawing_Tool_Bar();
    void Build_Register_Panel();
    void Connect_View_Buttons();
    // One step of an offset register and its up-down (move buttons).
    void Step_Offset(QSpinBox* up_down, std::uint8_t offset, int step);
    void Show_Shared_Source(int source);
};
