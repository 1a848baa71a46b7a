// TOsdexForm (module Unit3): the main "Multi-Channel Write" window. It is created first and
// closing it ends the program. It checks for the evaluation board at creation, creates the
// eight channel windows when it is first shown, and owns the navigation to every other
// window. Its picture writes several channels at once through the multi-channel registers.
#pragma once

#include <array>
#include <string>

#include "ui/drawing/drawing_form.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QTimer;

class TOsdexForm : public TDrawingForm {
    Q_OBJECT
public:
    explicit TOsdexForm(QWidget* parent = nullptr);

    int MwriteMask = 1;  // bit n = channel n; the one selection of channels to write

    // Layout.
    QGroupBox* GroupBoxMWRITE = nullptr;
    QSplitter* Splitter2 = nullptr;
    QWidget* Panel1 = nullptr;  // diagnostics panel, hidden at start
    QTimer* Timer1 = nullptr;   // 100 ms diagnostics tick, enabled from the start

    // Tool bars.
    QToolBar* ToolBarCommand = nullptr;
    QToolButton* ToolButtonErase = nullptr;
    std::array<QToolButton*, 8> ToolButtonWrite{};  // ToolButtonWrite0 .. ToolButtonWrite7

    // Register panel rows besides the quad rows.
    QPushButton* btnGetLOSALL = nullptr;
    std::array<QCheckBox*, 8> cbLOS{};     // cbLOS0 .. cbLOS7, display only
    std::array<QCheckBox*, 8> cbMWRITE{};  // cbMWRITE0 .. cbMWRITE7
    QPushButton* btnSetMWRITE = nullptr;
    QPushButton* btnGetCONTROL = nullptr;
    QCheckBox* cbCONTROL_VINC = nullptr;
    QCheckBox* cbCONTROL_HINC = nullptr;
    QPushButton* btnSetCONTROL = nullptr;

    // Diagnostics panel.
    QPlainTextEdit* MemoErrorStats = nullptr;
    QSpinBox* UpDownDiagAddr = nullptr;
    QSpinBox* UpDownDiagData = nullptr;
    QSpinBox* UpDownRetries = nullptr;
    QPushButton* btnGetLastWrite = nullptr;
    QPushButton* btnClearDiags = nullptr;
    QPushButton* btnWriteReg = nullptr;
    QPushButton* btnReadReg = nullptr;
    QCheckBox* cbDiagWrite = nullptr;
    QCheckBox* cbHaltVerifyError = nullptr;
    QCheckBox* cbDiagRead = nullptr;
    QCheckBox* cbHaltReadErr = nullptr;
    QLineEdit* EditTimeout = nullptr;
    QPushButton* btnGetTimeout = nullptr;
    QPushButton* btnSetTimeout = nullptr;

    // Menus.
    QMenu* menuImage = nullptr;
    QMenu* menuImageErase = nullptr;
    QAction* menuImageEraseTransparent = nullptr;
    QAction* menuImageEraseWhite = nullptr;
    QAction* menuImageEraseGrey = nullptr;
    QAction* menuImageEraseBlack = nullptr;
    QAction* menuImageLoad = nullptr;
    QAction* menuImageSavetoFile = nullptr;
    QMenu* menuDiagnostic = nullptr;
    QAction* menuDiagsAutoReadLOSALL = nullptr;
    QAction* menuDiagnosticLog = nullptr;
    QAction* menuDiagnosticRegBatch = nullptr;
    QAction* menuDiagShadowRegAddr = nullptr;
    QAction* menuDiagnosticShadowRegs = nullptr;
    QAction* menuDiagnosticInvalidateShadowRegs = nullptr;
    QAction* menuDiagnosticInvalidateShadowRegs100ms = nullptr;
    QAction* menuDiagnosticVerifyWrites = nullptr;
    QAction* menuTestRGBtoLuma = nullptr;
    QAction* menuDiagnosticTestPattern1 = nullptr;
    QAction* menuDiagnosticBlankAll = nullptr;
    QMenu* menuView = nullptr;
    QAction* menuOsdexMultiCh = nullptr;
    std::array<QAction*, 8> menuViewCh{};  // "Osdex Channel &0" .. "&7"
    QAction* menuViewParallelPort = nullptr;
    QAction* menuViewXelorCrosspoint = nullptr;
    QAction* menuViewMonitor = nullptr;  // the simulated board's video outputs
    QMenu* menuHelp = nullptr;
    QAction* menuHelpIndex = nullptr;
    QAction* menuHelpAbout = nullptr;
    QAction* menuHelpCheckMemory = nullptr;

    // Lifecycle.
    void FormCreate();
    void FormShow();
    void FormCloseQuery(bool& CanClose);

    // Navigation.
    void menuViewChClick(int n);  // menuViewCh0Click .. menuViewCh7Click
    void ToolButtonViewClick(int n) { menuViewChClick(n); }
    void menuViewXelorCrosspointClick();
    void ToolButtonViewCrosspointClick() { menuViewXelorCrosspointClick(); }
    void menuViewParallelPortClick();
    void ToolButtonParallelPortClick() { menuViewParallelPortClick(); }
    void ToolButtonAdvancedFeaturesClick();
    // The window grows so that the picture keeps its rows and every register row shows.
    void Grow_For_Low_Level_Panels(int picture_height);

    // Register panel and Help menu actions of the frame.
    void btnGetLOSALLClick();
    void menuHelpIndexClick();
    void menuHelpAboutClick();
    void menuHelpCheckMemoryClick();

    // Multi-channel register panel (ui/main_register_panel.cpp). MwriteMask is the one stored
    // selection; cbMWRITE0..7 and ToolButtonWrite0..7 mirror it.
    void SetMwriteMask(int m);
    void cbMWRITEClick(int n);         // cbMWRITE0Click .. cbMWRITE7Click
    void ToolButtonWriteClick(int n);  // ToolButtonWrite0Click .. ToolButtonWrite7Click
    // The multi-write step: MWRITE := MwriteMask, the quad painted on this picture and the
    // selected channels' pictures, the fields following CONTROL's boxes.
    void btnSetMWRITEClick();
    void btnGetCONTROLClick();
    void btnSetCONTROLClick();
    void EditQPHORIZChange() override;  // no action: writes wait for Set
    void EditQPLINEChange() override;   // no action: writes wait for Set
    void Connect_Register_Panel();

    // Register diagnostics (main_diagnostics.cpp): the Diagnostics panel, the Diagnostic
    // menu's options and the 100 ms tick.
    void Connect_Diagnostics();
    void Timer1Timer();
    void Stop_Repeats();         // both repeat boxes off
    void menuDiagnosticClick();  // the menu opens: checks follow the option flags
    void menuDiagsAutoReadLOSALLClick();
    void menuDiagnosticLogClick();
    void menuDiagnosticRegBatchClick();
    void menuDiagShadowRegAddrClick();
    void menuDiagnosticShadowRegsClick();
    void menuDiagnosticInvalidateShadowRegsClick();
    void menuDiagnosticInvalidateShadowRegs100msClick();
    void menuDiagnosticVerifyWritesClick();
    void menuTestRGBtoLumaClick();
    void EditRetriesChange();
    void btnWriteRegClick();
    void btnReadRegClick();
    void btnGetLastWriteClick();
    void btnClearDiagsClick();
    void cbDiagWriteClick();
    void cbDiagReadClick();
    void btnGetTimeoutClick();
    void btnSetTimeoutClick();
    // The statistics text of the tick, from the counters of the register transactions.
    static std::string Statistics_Text();

    // Image menu (main_image_menu.cpp): erase, load and save of the selected channels.
    void Connect_Image_Menu();
    void Erase_To_Level(int level);  // all of display memory of the MwriteMask channels
    void menuImageEraseTransparentClick() { Erase_To_Level(0); }
    void menuImageEraseWhiteClick() { Erase_To_Level(15); }
    void menuImageEraseGreyClick() { Erase_To_Level(8); }
    void menuImageEraseBlackClick() { Erase_To_Level(1); }
    void ToolButtonEraseClick();
    void menuImageLoadClick();
    void menuImageSavetoFileClick();

    // Canvas tools (main_canvas_tools.cpp): press, move and release on the picture, in
    // picture coordinates; Connect_Canvas_Tools wires Image1 to them.
    void Image1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void Image1MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    void Image1MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void Connect_Canvas_Tools();

    // Test pattern and blank-all (ui/test_pattern.cpp): the Diagnostic menu's commands that
    // act on every channel window at once.
    void menuDiagnosticTestPattern1Click();
    void menuDiagnosticBlankAllClick();
    void Connect_Test_Pattern();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Build_Tool_Bars();
    void Build_Menus();
    void Build_Image_Menu();
    void Build_Diagnostic_Menu();
    void Build_View_Menu();
    void Add_Zoom_Items();  // the picture's zoom at the end of the View menu
    void Build_Help_Menu();
    void Build_Register_Panel();
    QWidget* Build_Diagnostics_Panel();
    void Connect_Navigation();
    void Create_Channel_Windows();
};

// The main window of the run; empty until created.
extern TOsdexForm* OsdexForm;
