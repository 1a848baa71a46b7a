// The channel window's frame: layout, tool bars, creation, showing, view buttons, the
// register-pane switch and help.
#include "ui/channel_window/channel_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "chip/channel_pictures.h"
#include "chip/luma.h"
#include "chip/register_map.h"
#include "chip/register_table.h"
#include "ui/channel_window/channel_windows.h"
#include "ui/help/help.h"
#include "ui/text_dialog/text_dialog.h"
#include "ui/widgets/icons.h"
#include "ui/widgets/level_colour.h"
#include "ui/widgets/picture_view.h"
#include "ui/widgets/register_row.h"
#include "ui/widgets/tool_buttons.h"
#include "ui/widgets/window_navigation.h"
#include "ui/widgets/window_places.h"

namespace {
constexpr int Regs_Width = 273;
}  // namespace

TOsdexFormCH0::TOsdexFormCH0(QWidget* parent) : TDrawingForm(parent) {
    setObjectName("OsdexFormCH0");
    resize(640, 447);  // the client area of the form's 648 x 474 outer size

    Build_View_Tool_Bar();
    Build_Commands_Tool_Bar();
    Build_Drawing_Tool_Bar();
    Build_Luma_Tool_Bar();
    // Channel keys bring up the channel windows, as ToolButtonView0..7 do.
    Add_Drawing_Keys(ToolButtonView);
    setCentralWidget(Build_Panes(Regs_Width, QSize(245, 368)));
    Splitter1->setStyleSheet("QSplitter::handle { background: palette(highlight); }");
    Build_Register_Panel();

    PanelSHRSRC = new QLabel(Image1);
    PanelSHRSRC->setObjectName("PanelSHRSRC");
    PanelSHRSRC->setToolTip("Shared Buffer");
    PanelSHRSRC->setAlignment(Qt::AlignCenter);
    PanelSHRSRC->setAutoFillBackground(true);
    // Its own Window colour, not the Button role it would inherit from the picture's scroll box.
    PanelSHRSRC->setBackgroundRole(QPalette::Window);
    PanelSHRSRC->setFrameShape(QFrame::Panel);
    QFont band_font = PanelSHRSRC->font();
    band_font.setBold(true);
    band_font.setPixelSize(24);
    PanelSHRSRC->setFont(band_font);
    Image1->Place_Over(PanelSHRSRC, QRect(0, 0, 708, 41));
    PanelSHRSRC->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
    // Closed and shown again, the window comes back where the user left it.
    Keep_Place_Between_Shows(*this);

    Connect_View_Buttons();
    Connect_Memory_Ops();
    Connect_Register_Panel();
    Connect_Time_Stamp();
    Connect_Canvas_Tools();
    connect(ToolButtonAdvancedFeatures, &QToolButton::clicked, this,
            &TOsdexFormCH0::ToolButtonAdvancedFeaturesClick);
    connect(ToolButtonHelp, &QToolButton::clicked, this, &TOsdexFormCH0::ToolButtonHelpClick);

    // Construction state, in order; it writes no register.
    PressShift = {};
    Transparent_Color = Default_Transparent_Color;
    Level = 0;
    Dragging = false;
    SelectTool(Tool_Crosshair);
    Clear_Picture();
    ListBoxSHRSRC->setCurrentRow(0);
    // A window that was never shown still places a readable time stamp (the test pattern
    // starts one in channel 1, which may stay hidden).
    Reset_Time_Stamp_On_Show();
    TimeStampRunning = false;
    TimeStampDrawn = false;
}

TOsdexFormCH0::~TOsdexFormCH0() {
    if (Channel_Picture(Channel()) == &Picture) Set_Channel_Picture(Channel(), nullptr);
}

void TOsdexFormCH0::Build_Commands_Tool_Bar() {
    ToolBarCommands = Add_Band("ToolBarCommands", "Commands", false);
    auto add = [this](const char* name, const char* hint, IconId icon, bool checkable = false) {
        return Add_Tool_Button(ToolBarCommands, name, hint, Tool_Icon(icon), checkable);
    };
    ToolButtonLoadAll = add("ToolButtonLoadAll",
                            "Load bitmap from disk, place in upper-left corner", IconId::LoadAll);
    ToolButtonSaveAll = add("ToolButtonSaveAll", "Save bitmap to disk", IconId::SaveAll);
    ToolBarCommands->addSeparator();
    ToolButtonMoveUp = add("ToolButtonMoveUp", "Vertical Offset Up", IconId::MoveUp);
    ToolButtonMoveDown = add("ToolButtonMoveDown", "Vertical Offset Down", IconId::MoveDown);
    ToolButtonMoveLeft =
        add("ToolButtonMoveLeft", "Horizontal Offset to the Left", IconId::MoveLeft);
    ToolButtonMoveRight =
        add("ToolButtonMoveRight", "Horizontal Offset to the Right", IconId::MoveRight);
    ToolBarCommands->addSeparator();
    ToolButtonBlankOSD =
        add("ToolButtonBlankOSD", "Blank the on-screen display", IconId::BlankOsd, true);
    ToolBarCommands->addSeparator();
    ToolButtonAdvancedFeatures = add("ToolButtonAdvancedFeatures", "Low-level register access",
                                     IconId::AdvancedFeatures, true);
    ToolBarCommands->addSeparator();
    ToolButtonErase = add("ToolButtonErase", "Erase display memory", IconId::Erase);
    ToolBarCommands->addSeparator();
    ToolButtonHelp = add("ToolButtonHelp", "Help index", IconId::Help);
}

void TOsdexFormCH0::Build_Drawing_Tool_Bar() {
    ToolBarDrawing = Add_Band("ToolBarDrawing", "Drawing tools", true);
    QToolBar* bar = ToolBarDrawing;
    auto tool = [this](const char* name, const char* hint, IconId icon, int number) {
        return Add_Drawing_Tool(name, hint, Tool_Icon(icon), number);
    };
    ToolButtonCrosshair = tool("ToolButtonCrosshair", "Displays information about selected pixels",
                               IconId::Crosshair, 0);
    ToolButtonFreehandDrawing = tool("ToolButtonFreehandDrawing",
                                     "Freehand drawing in the selected color", IconId::Freehand, 1);
    ToolButtonQuadPixel =
        tool("ToolButtonQuadPixel", "Freehand drawing in the selected color with Quad Pixels",
             IconId::QuadPixel, 2);
    bar->addSeparator();
    ToolButtonOpenRect =
        tool("ToolButtonOpenRect", "Drag from corner to corner to make an Open Rectangle",
             IconId::OpenRect, 3);
    ToolButtonSolidRect =
        tool("ToolButtonSolidRect", "Drag from corner to corner to make a Solid Rectangle",
             IconId::SolidRect, 4);
    ToolButtonLumaHoriz =
        tool("ToolButtonLumaHoriz", "Drag from corner to corner to make Horizontal Luma Bars",
             IconId::LumaHoriz, 5);
    ToolButtonLumaVert =
        tool("ToolButtonLumaVert", "Drag from corner to corner to make Vertical Luma Bars",
             IconId::LumaVert, 6);
    bar->addSeparator();
    ToolButtonText = tool("ToolButtonText", "Place text on screen", IconId::Text, 7);
    ToolButtonLoad = tool("ToolButtonLoad", "Load bitmap from disk", IconId::Load, 8);
    ToolButtonSaveRect = tool("ToolButtonSaveRect", "Save bitmap to disk", IconId::SaveRect, 9);
    ToolButtonSaveRect->setEnabled(false);
    ToolButtonReadOSD = tool("ToolButtonReadOSD", "Drag from corner to corner to read Osdex memory",
                             IconId::ReadOsd, 12);
    bar->addSeparator();
    ToolButtonShareMem =
        tool("ToolButtonShareMem", "Drag from corner to corner to define shared memory area",
             IconId::ShareMem, 10);
    auto share = [this, bar](const char* name, int first_channel) {
        return Add_Tool_Button(
            bar, name,
            QString("Shared Source = channel %1 or %2").arg(first_channel).arg(first_channel + 1),
            Share_Pair_Icon(first_channel));
    };
    ToolButtonShareMem01 = share("ToolButtonShareMem01", 0);
    ToolButtonShareMem23 = share("ToolButtonShareMem23", 2);
    ToolButtonShareMem45 = share("ToolButtonShareMem45", 4);
    ToolButtonShareMem67 = share("ToolButtonShareMem67", 6);
    ToolButtonShareMemOff = Add_Tool_Button(
        bar, "ToolButtonShareMemOff", "Shared Source is disabled", Tool_Icon(IconId::ShareMemOff));
    bar->addSeparator();
    ToolButtonTimeStampXY =
        tool("ToolButtonTimeStampXY", "Place time stamp on screen", IconId::TimeStampXY, 11);
    ToolButtonTimeStampFont =
        Add_Tool_Button(bar, "ToolButtonTimeStampFont", "Select font for time stamp",
                        Tool_Icon(IconId::TimeStampFont));
    ToolButtonTimeStampRun =
        Add_Tool_Button(bar, "ToolButtonTimeStampRun", "Enable or disable time stamp",
                        Tool_Icon(IconId::TimeStampRun), true);
    ToolButtonDate = Add_Tool_Button(bar, "ToolButtonDate", "Enable or disable date stamp",
                                     Tool_Icon(IconId::Date), true);
}

void TOsdexFormCH0::Build_Register_Panel() {
    using namespace register_row;
    QWidget* panel = PanelRegs;
    Build_Quad_Rows(8, 32, 56);

    btnGetSTATUS = Add_Get_Button(panel, 80, "btnGetSTATUS");
    Add_Label(panel, 80, Label(Register_Label(Reg::STATUS)));
    cbVINC = Add_Check_Box(panel, Field_X, 80, "cbVINC",
                           Label(Field_Label(Reg::STATUS, Status_VINC)), 50);
    cbHINC = Add_Check_Box(panel, Field_X, 98, "cbHINC",
                           Label(Field_Label(Reg::STATUS, Status_HINC)), 50);
    cbASYNC = Add_Check_Box(panel, Field_X + 50, 80, "cbASYNC",
                            Label(Field_Label(Reg::STATUS, Status_ASYNC)), 58);
    cbBLANK = Add_Check_Box(panel, Field_X + 50, 98, "cbBLANK",
                            Label(Field_Label(Reg::STATUS, Status_BLANK)), 58);
    cbLOS = Add_Check_Box(panel, Field_X + 50, 116, "cbLOS",
                          Label(Field_Label(Reg::STATUS, Status_LOS)), 58);
    btnSetSTATUS = Add_Set_Button(panel, 80, "btnSetSTATUS");

    Add_Label(panel, 140, Label(Register_Label(Reg::COMMAND)));
    btnCOMMANDwriteQP = Add_Button(panel, Field_X, 140, 50, "btnCOMMANDwriteQP", "Write QP");
    btnCOMMANDreadQP = Add_Button(panel, Field_X + 52, 140, 50, "btnCOMMANDreadQP", "Read QP");

    btnGetHOFFSET = Add_Get_Button(panel, 168, "btnGetHOFFSET");
    Add_Label(panel, 168, Label(Register_Label(Reg::HOFFSET)));
    UpDownHOFFSET = Add_Up_Down(panel, 168, "UpDownHOFFSET", 0, 255, 128);
    btnSetHOFFSET = Add_Set_Button(panel, 168, "btnSetHOFFSET");

    btnGetVOFFSET = Add_Get_Button(panel, 192, "btnGetVOFFSET");
    Add_Label(panel, 192, Label(Register_Label(Reg::VOFFSET)));
    UpDownVOFFSET = Add_Up_Down(panel, 192, "UpDownVOFFSET", 0, 255, 128);
    btnSetVOFFSET = Add_Set_Button(panel, 192, "btnSetVOFFSET");

    btnGetSHRSRC = Add_Get_Button(panel, 216, "btnGetSHRSRC");
    Add_Label(panel, 216, Label(Register_Label(Reg::SHRSRC)));
    ListBoxSHRSRC = new QListWidget(panel);
    ListBoxSHRSRC->setObjectName("ListBoxSHRSRC");
    for (const char* source : Shrsrc_Source_Names) ListBoxSHRSRC->addItem(source);
    ListBoxSHRSRC->setGeometry(Field_X, 216, Set_X - Field_X - 6, 44);
    btnSetSHRSRC = Add_Set_Button(panel, 216, "btnSetSHRSRC");

    btnGetSHRBEG = Add_Get_Button(panel, 268, "btnGetSHRBEG");
    Add_Label(panel, 268, Label(Line_Label(Reg::SHRBEGH)));
    UpDownSHRBEG = Add_Up_Down(panel, 268, "UpDownSHRBEG", 0, 511, 0);
    btnSetSHRBEG = Add_Set_Button(panel, 268, "btnSetSHRBEG");

    btnGetSHREND = Add_Get_Button(panel, 292, "btnGetSHREND");
    Add_Label(panel, 292, Label(Line_Label(Reg::SHRENDH)));
    UpDownSHREND = Add_Up_Down(panel, 292, "UpDownSHREND", 0, 511, 0);
    btnSetSHREND = Add_Set_Button(panel, 292, "btnSetSHREND");

    btnGetAllRegs = Add_Button(panel, Get_X, 320, Set_X + Button_Width - Get_X, "btnGetAllRegs",
                               "Read All Registers");
    cbNoAutoUpdate =
        Add_Check_Box(panel, Get_X, 346, "cbNoAutoUpdate", "Postpone automatic updates");
    cbNoAutoUpdate->setFixedWidth(Set_X + Button_Width - Get_X);
}

void TOsdexFormCH0::Connect_View_Buttons() {
    for (int n = 0; n < 8; ++n)
        connect(ToolButtonView[n], &QToolButton::clicked, this, [n] { Show_Channel_Window(n); });
    connect(ToolButtonViewCrosspoint, &QToolButton::clicked, this, Show_Crosspoint_Window);
    connect(ToolButtonViewMwrite, &QToolButton::clicked, this, Show_Main_Window);
    connect(ToolButtonParallelPort, &QToolButton::clicked, this, Show_Port_Window);
}

void TOsdexFormCH0::showEvent(QShowEvent* event) {
    TDrawingForm::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TOsdexFormCH0::FormShow() {
    setWindowTitle(QString("Osdex Channel %1").arg(Channel()));

    Reset_Time_Stamp_On_Show();
}

void TOsdexFormCH0::ToolButtonAdvancedFeaturesClick() {
    ScrollBoxRegs->setVisible(ToolButtonAdvancedFeatures->isChecked());
}

void TOsdexFormCH0::ToolButtonHelpClick() {
    Help_From_Channel_Window();
}
