// The main window's lifecycle and navigation: construction, the board check at creation, the
// channel windows at show time, the close question, the View commands and the register-pane
// switch.
#include "ui/main_window/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "chip/luma.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "port/loopback_hunt.h"
#include "port/pin_map.h"
#include "port/port_ops.h"
#include "port/port_state.h"
#include "port/window/port_window.h"
#include "shell/dialogs.h"
#include "shell/event_pump.h"
#include "shell/memory_status.h"
#include "shell/services.h"
#include "ui/channel_window/channel_window.h"
#include "ui/channel_window/channel_windows.h"
#include "ui/help/help.h"
#include "ui/monitor/monitor_window.h"
#include "ui/widgets/tool_buttons.h"
#include "ui/widgets/window_navigation.h"
#include "ui/widgets/window_places.h"
#include "vanlpt/vanlpt.h"

namespace {

constexpr const char* kBoardCaption = "RUDIRUVUVA";
constexpr int Read_Strobe_Pin = 16;

}  // namespace

TOsdexForm* OsdexForm = nullptr;

TOsdexForm::TOsdexForm(QWidget* parent) : TDrawingForm(parent) {
    setObjectName("OsdexForm");
    setWindowTitle("Osdex On-Screen Display: Multi-Channel Write");
    Build_Menus();
    Build_Tool_Bars();
    // Channel keys choose the channels to write, as ToolButtonWrite0..7 do.
    Add_Drawing_Keys(ToolButtonWrite);
    // The form's client area of 574 x 453 lies below the menu bar.
    move(194, 108);
    resize(574, 453 + menuBar()->sizeHint().height());

    GroupBoxMWRITE = new QGroupBox("Write Multiple Channels");
    GroupBoxMWRITE->setObjectName("GroupBoxMWRITE");
    auto* group_layout = new QVBoxLayout(GroupBoxMWRITE);
    group_layout->setContentsMargins(2, 2, 2, 2);
    group_layout->addWidget(Build_Panes(279, QSize(249, 265)));
    Build_Register_Panel();
    Add_Zoom_Items();

    Splitter2 = new QSplitter(Qt::Vertical);
    Splitter2->setObjectName("Splitter2");
    Splitter2->setHandleWidth(6);
    Splitter2->setChildrenCollapsible(false);
    Splitter2->addWidget(GroupBoxMWRITE);
    Panel1 = Build_Diagnostics_Panel();
    Splitter2->addWidget(Panel1);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 0);
    setCentralWidget(Splitter2);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(100);
    Timer1->start();

    Connect_Navigation();
    Connect_Diagnostics();
    Connect_Image_Menu();
    Connect_Register_Panel();
    Connect_Canvas_Tools();
    Connect_Test_Pattern();

    // Construction state; the picture starts with every pixel at level 0.
    PressShift = {};
    RegisterBase = Multi_Bank;
    MwriteMask = 1;
    Clear_Picture();
    Init_DUT_Bus();
    UpDownRetries->setValue(Write_Retries);

    FormCreate();
}

void TOsdexForm::Connect_Navigation() {
    for (int n = 0; n < 8; ++n) {
        connect(menuViewCh[n], &QAction::triggered, this, [this, n] { menuViewChClick(n); });
        connect(ToolButtonView[n], &QToolButton::clicked, this,
                [this, n] { ToolButtonViewClick(n); });
    }
    connect(menuViewXelorCrosspoint, &QAction::triggered, this,
            &TOsdexForm::menuViewXelorCrosspointClick);
    connect(menuViewMonitor, &QAction::triggered, this, Show_Monitor_Window);
    connect(ToolButtonViewCrosspoint, &QToolButton::clicked, this,
            &TOsdexForm::ToolButtonViewCrosspointClick);
    connect(menuViewParallelPort, &QAction::triggered, this,
            &TOsdexForm::menuViewParallelPortClick);
    connect(ToolButtonParallelPort, &QToolButton::clicked, this,
            &TOsdexForm::ToolButtonParallelPortClick);
    connect(ToolButtonAdvancedFeatures, &QToolButton::clicked, this,
            &TOsdexForm::ToolButtonAdvancedFeaturesClick);
    connect(btnGetLOSALL, &QPushButton::clicked, this, &TOsdexForm::btnGetLOSALLClick);
    connect(menuHelpIndex, &QAction::triggered, this, &TOsdexForm::menuHelpIndexClick);
    connect(menuHelpAbout, &QAction::triggered, this, &TOsdexForm::menuHelpAboutClick);
    connect(menuHelpCheckMemory, &QAction::triggered, this, &TOsdexForm::menuHelpCheckMemoryClick);
}

void TOsdexForm::FormCreate() {
    Set_Board_Wiring_Defaults();

    Can_Disable_LPT_Data_Output();

    Report_Port_Problems();
    MessageBoxRequest not_found;
    not_found.caption = kBoardCaption;
    not_found.text = "cannot find RUDIRUVUVA parallel port connection";
    not_found.buttons = MsgButtons::AbortRetryIgnore;
    not_found.default_button = MsgResult::Abort;
    if (Hunt_Until_Found(Board_Loopback_Out_Pin, Board_Loopback_In_Pin, not_found) ==
        HuntOutcome::Aborted) {
        End_Process(0);
        return;
    }
    // The chip's read strobe is active low: leave it inactive.
    DirectWritePrinterPin(Read_Strobe_Pin, 1);
}

void TOsdexForm::Create_Channel_Windows() {
    for (int n = 0; n < 8; ++n) {
        if (OsdexFormCH[n]) continue;
        TOsdexFormCH0* window = Create_Channel_Window(n);
        // Beside this window rather than over it, where the screen has room.
        if (n == 0) Place_Beside(*window, *this);
        window->setVisible(n == 0);
    }
}

void TOsdexForm::FormShow() {
    if (LptConForm) {
        for (int pin = 1; pin <= Port_Pins; ++pin) LptConForm->Set_Pin_Caption(pin, Pin_Label(pin));
    }
    Create_Channel_Windows();
    btnGetLOSALLClick();
}

void TOsdexForm::showEvent(QShowEvent* event) {
    TDrawingForm::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TOsdexForm::FormCloseQuery(bool& CanClose) {
    const bool timer_was_enabled = Timer1->isActive();
    Timer1->stop();
    MsgResult answer = Show_Message(kBoardCaption, "Do you want to close the Osdex Evaluation Kit?",
                                    MsgIcon::None, MsgButtons::YesNo, MsgResult::No);
    CanClose = answer == MsgResult::Yes;
    if (!CanClose && timer_was_enabled) Timer1->start();
}

void TOsdexForm::closeEvent(QCloseEvent* event) {
    bool can_close = true;
    FormCloseQuery(can_close);
    if (!can_close) {
        event->ignore();
        return;
    }
    event->accept();
    // Closing the main window ends the program; long loops see the quit request too.
    Request_Quit();
    QCoreApplication::quit();
}

void TOsdexForm::menuViewChClick(int n) {
    Show_Channel_Window(n);
}

void TOsdexForm::menuViewXelorCrosspointClick() {
    Show_Crosspoint_Window();
}

void TOsdexForm::menuViewParallelPortClick() {
    Show_Port_Window();
}

void TOsdexForm::ToolButtonAdvancedFeaturesClick() {
    const bool down = ToolButtonAdvancedFeatures->isChecked();
    const int picture_height = ScrollBoxImage->height();
    ScrollBoxRegs->setVisible(down);
    Panel1->setVisible(down);
    if (down && isVisible()) Grow_For_Low_Level_Panels(picture_height);
}

void TOsdexForm::Grow_For_Low_Level_Panels(int picture_height) {
    // Measured with the panels laid out.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const int picture_short = picture_height - ScrollBoxImage->height();
    const int registers_short =
        PanelRegs->height() + 2 * ScrollBoxRegs->frameWidth() - ScrollBoxRegs->height();
    Grow_Within_Screen(*this, std::max(picture_short, registers_short));
}

void TOsdexForm::btnGetLOSALLClick() {
    const std::uint8_t value = Read_Register(MReg::LOSALL);
    for (int n = 7; n >= 0; --n) cbLOS[n]->setChecked((value >> n) & 1);
    if (value == LOSALL_Echo) {
        Show_Message(Application_Title,
                     "LOSALL register value is suspect. \nIs this really an ECP port? \nPlease "
                     "check computer BIOS settings.",
                     MsgIcon::Information);
    }
}

void TOsdexForm::menuHelpIndexClick() {
    Help_Index_From_Main_Window();
}

void TOsdexForm::menuHelpAboutClick() {
    Show_About();
}

void TOsdexForm::menuHelpCheckMemoryClick() {
    Show_Message(Application_Title,
                 Memory_Check_Text(Query_Memory_Status(), Start_Memory_Snapshot()));
}
