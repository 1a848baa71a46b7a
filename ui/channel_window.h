// TOsdexFormCH0 (module Unitch): the window of one OSD channel. All eight channel windows are
// instances of this class; the creator sets RegisterBase to 16 n. The window shows a picture
// of the channel's display memory, the channel's register pane, the canvas tools, the time
// stamp and the whole-memory commands, and buttons that bring up the other windows. Closing
// it only hides it; the application destroys it at the end of the run.
#pragma once

#include <QRect>
#include <array>

#include "ui/drawing_form.h"
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

    QToolButton* ToolButtonCrosshair = nullptr;
    QToolButton* ToolButtonFreehandDrawing = nullptr;
    QToolButton* ToolButtonQuadPixel = nullptr;
    QToolButton* ToolButtonOpenRect = nullptr;
    QToolButton* ToolButtonSolidRect = nullptr;
    QToolButton* ToolButtonLumaHoriz = nullptr;
    QToolButton* ToolButtonLumaVert = nullptr;
    QToolButton* ToolButtonText = nullptr;
    QToolButton* ToolButtonLoad = nullptr;
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

    // Event handlers.
    void FormShow();
    void ToolButtonAdvancedFeaturesClick();
    void ToolButtonHelpClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Build_Commands_Tool_Bar();
    void Build_Drawing_Tool_Bar();
    void Build_Register_Panel();
    void Connect_View_Buttons();
};
