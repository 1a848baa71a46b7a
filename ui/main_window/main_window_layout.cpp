// The main window's controls: tool bars, menus, the register panel and the diagnostics panel,
// as the form defines them. Behaviour lives with the handlers.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "chip/register_table.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/icons.h"
#include "ui/widgets/picture_zoom.h"
#include "ui/widgets/register_row.h"

void TOsdexForm::Build_Tool_Bars() {
    Build_View_Tool_Bar();

    ToolBarCommand = Add_Band("ToolBarCommand", "Commands", false);
    ToolButtonAdvancedFeatures =
        Add_Tool_Button(ToolBarCommand, "ToolButtonAdvancedFeatures", "Low-level register access",
                        Tool_Icon(IconId::AdvancedFeatures), true);
    ToolBarCommand->addSeparator();
    ToolButtonErase =
        Add_Tool_Button(ToolBarCommand, "ToolButtonErase",
                        "Erase display memory for all selected channels", Tool_Icon(IconId::Erase));

    ToolBarDrawing = Add_Band("ToolBarDrawing", "Drawing tools", true);
    for (int n = 0; n < 8; ++n) {
        ToolButtonWrite[n] = Add_Tool_Button(ToolBarDrawing, QString("ToolButtonWrite%1").arg(n),
                                             QString("Multiple Write Including Channel %1").arg(n),
                                             Write_Channel_Icon(n), true);
    }
    ToolButtonWrite[0]->setChecked(true);
    ToolBarDrawing->addSeparator();
    ToolButtonCrosshair =
        Add_Drawing_Tool("ToolButtonCrosshair", "Displays information about selected pixels",
                         Tool_Icon(IconId::Crosshair), 0);
    ToolButtonFreehandDrawing =
        Add_Drawing_Tool("ToolButtonFreehandDrawing", "Freehand drawing in the selected color",
                         Tool_Icon(IconId::Freehand), 1);
    ToolButtonFreehandDrawing->setEnabled(false);
    ToolButtonQuadPixel = Add_Drawing_Tool(
        "ToolButtonQuadPixel", "Freehand drawing in the selected color with Quad Pixels",
        Tool_Icon(IconId::QuadPixel), 2);
    ToolButtonOpenRect = Add_Drawing_Tool("ToolButtonOpenRect",
                                          "Drag from corner to corner to make an Open Rectangle",
                                          Tool_Icon(IconId::OpenRect), 3);
    ToolButtonSolidRect = Add_Drawing_Tool("ToolButtonSolidRect",
                                           "Drag from corner to corner to make a Solid Rectangle",
                                           Tool_Icon(IconId::SolidRect), 4);
    ToolButtonLumaHoriz = Add_Drawing_Tool(
        "ToolButtonLumaHoriz", "Drag from corner to corner to make Horizontal Luma Bars",
        Tool_Icon(IconId::LumaHoriz), 5);
    ToolButtonLumaVert = Add_Drawing_Tool("ToolButtonLumaVert",
                                          "Drag from corner to corner to make Vertical Luma Bars",
                                          Tool_Icon(IconId::LumaVert), 6);
    ToolBarDrawing->addSeparator();
    ToolButtonText =
        Add_Drawing_Tool("ToolButtonText", "Place text on screen", Tool_Icon(IconId::Text), 7);
    ToolButtonLoad =
        Add_Drawing_Tool("ToolButtonLoad", "Load bitmap from disk", Tool_Icon(IconId::Load), 8);

    Build_Luma_Tool_Bar();
}

namespace {

QAction* Add_Item(QMenu* menu, const QString& name, const QString& caption,
                  const QKeySequence& shortcut = {}, bool checkable = false) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setShortcut(shortcut);
    item->setCheckable(checkable);
    return item;
}

// A row of dashes: a plain item without action, as the form has it (not a separator).
void Add_Dashes(QMenu* menu, int count) {
    menu->addAction(QString(count, '-'));
}

}  // namespace

void TOsdexForm::Build_Menus() {
    Build_Image_Menu();
    Build_Diagnostic_Menu();
    Build_View_Menu();
    Build_Help_Menu();
}

void TOsdexForm::Build_Image_Menu() {
    menuImage = menuBar()->addMenu("&Image");
    menuImage->setObjectName("menuImage");
    menuImageErase = menuImage->addMenu("&Erase");
    menuImageErase->setObjectName("menuImageErase");
    menuImageEraseTransparent =
        Add_Item(menuImageErase, "menuImageEraseTransparent", "Erase to &Transparent");
    menuImageEraseWhite = Add_Item(menuImageErase, "menuImageEraseWhite", "Erase to &White");
    menuImageEraseGrey = Add_Item(menuImageErase, "menuImageEraseGrey", "Erase to &Grey");
    menuImageEraseBlack = Add_Item(menuImageErase, "menuImageEraseBlack", "Erase to &Black");
    menuImageLoad =
        Add_Item(menuImage, "menuImageLoad", "Load from file", QKeySequence(Qt::CTRL | Qt::Key_L));
    menuImageSavetoFile = Add_Item(menuImage, "menuImageSavetoFile", "Save to File");
}

void TOsdexForm::Build_Diagnostic_Menu() {
    QMenu* m = menuDiagnostic = menuBar()->addMenu("&Diagnostic");
    m->setObjectName("menuDiagnostic");
    menuDiagsAutoReadLOSALL =
        Add_Item(m, "menuDiagsAutoReadLOSALL", "Automatically read LOSALL", {}, true);
    menuDiagnosticLog = Add_Item(m, "menuDiagnosticLog", "Log parallel port activity", {}, true);
    menuDiagnosticRegBatch =
        Add_Item(m, "menuDiagnosticRegBatch", "Write register batch file", {}, true);
    Add_Dashes(m, 30);
    menuDiagShadowRegAddr =
        Add_Item(m, "menuDiagShadowRegAddr", "Eliminate redundant register addressing", {}, true);
    menuDiagShadowRegAddr->setChecked(Redundant_Addressing_Flag != 0);
    menuDiagnosticShadowRegs =
        Add_Item(m, "menuDiagnosticShadowRegs", "Cache register values", {}, true);
    menuDiagnosticShadowRegs->setChecked(Cache_Enabled != 0);
    menuDiagnosticInvalidateShadowRegs =
        Add_Item(m, "menuDiagnosticInvalidateShadowRegs", "Invalidate register cache now!");
    menuDiagnosticInvalidateShadowRegs100ms =
        Add_Item(m, "menuDiagnosticInvalidateShadowRegs100ms",
                 "Invalidate register cache every 100ms", {}, true);
    menuDiagnosticInvalidateShadowRegs100ms->setChecked(true);
    menuDiagnosticVerifyWrites =
        Add_Item(m, "menuDiagnosticVerifyWrites", "Verify when writing registers", {}, true);
    menuDiagnosticVerifyWrites->setChecked(Verify_Writes != 0);
    Add_Dashes(m, 18);
    menuTestRGBtoLuma = Add_Item(m, "menuTestRGBtoLuma", "Test RGB to Luma mapping");
    Add_Dashes(m, 30);
    menuDiagnosticTestPattern1 = Add_Item(
        m, "menuDiagnosticTestPattern1", "Test Pattern With Time Stamp", QKeySequence(Qt::Key_F10));
    menuDiagnosticBlankAll = Add_Item(m, "menuDiagnosticBlankAll",
                                      "Blank / Unblank all OSD channels", QKeySequence(Qt::Key_F5));
}

void TOsdexForm::Build_View_Menu() {
    menuView = menuBar()->addMenu("&View");
    menuView->setObjectName("menuView");
    menuOsdexMultiCh = Add_Item(menuView, "menuOsdexMultiCh", "Osdex Multi-Channel Write");
    for (int n = 0; n < 8; ++n) {
        menuViewCh[n] =
            Add_Item(menuView, QString("menuViewCh%1").arg(n), QString("Osdex Channel &%1").arg(n));
    }
    menuViewParallelPort = Add_Item(menuView, "menuViewParallelPort", "&Parallel Port");
    menuViewXelorCrosspoint = Add_Item(menuView, "menuViewXelorCrosspoint", "Xelor &Crosspoint");
    menuViewMonitor = Add_Item(menuView, "menuViewMonitor", "Video &Monitor");
}

void TOsdexForm::Add_Zoom_Items() {
    menuView->addSeparator();
    for (QAction* item :
         {Zoom->ZoomIn, Zoom->ZoomOut, Zoom->ActualSize, Zoom->FitToWindow, Zoom->QuadGrid})
        menuView->addAction(item);
}

void TOsdexForm::Build_Help_Menu() {
    menuHelp = menuBar()->addMenu("&Help");
    menuHelp->setObjectName("menuHelp");
    menuHelpIndex = Add_Item(menuHelp, "menuHelpIndex", "&Index", QKeySequence(Qt::Key_F1));
    menuHelpAbout = Add_Item(menuHelp, "menuHelpAbout", "&About");
    menuHelpCheckMemory = Add_Item(menuHelp, "menuHelpCheckMemory", "&Check Memory");
}

void TOsdexForm::Build_Register_Panel() {
    using namespace register_row;
    QWidget* panel = PanelRegs;
    Build_Quad_Rows(8, 32, 56);

    // LOSALL and MWRITE: two columns, CH7..CH4 and CH3..CH0 from the top.
    auto channel_column = [panel](int top, const char* prefix, std::array<QCheckBox*, 8>& boxes) {
        for (int n = 0; n < 8; ++n) {
            int column = n < 4 ? 1 : 0;
            int row = 3 - (n % 4);
            boxes[n] = Add_Check_Box(panel, Field_X + column * 56, top + row * 17,
                                     QString("%1%2").arg(prefix).arg(n), QString("CH%1").arg(n));
        }
    };
    btnGetLOSALL = Add_Get_Button(panel, 88, "btnGetLOSALL");
    Add_Label(panel, 88, Label(Register_Label(MReg::LOSALL)));
    channel_column(88, "cbLOS", cbLOS);
    for (QCheckBox* box : cbLOS) box->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (QCheckBox* box : cbLOS) box->setFocusPolicy(Qt::NoFocus);

    Add_Label(panel, 160, Label(Register_Label(MReg::MWRITE)));
    channel_column(160, "cbMWRITE", cbMWRITE);
    cbMWRITE[0]->setChecked(true);
    btnSetMWRITE = Add_Set_Button(panel, 160, "btnSetMWRITE");

    btnGetCONTROL = Add_Get_Button(panel, 232, "btnGetCONTROL");
    Add_Label(panel, 232, Label(Register_Label(MReg::CONTROL)));
    cbCONTROL_VINC = Add_Check_Box(panel, Field_X, 232, "cbCONTROL_VINC",
                                   Label(Field_Label(MReg::CONTROL, Status_VINC)));
    cbCONTROL_HINC = Add_Check_Box(panel, Field_X + 56, 232, "cbCONTROL_HINC",
                                   Label(Field_Label(MReg::CONTROL, Status_HINC)));
    btnSetCONTROL = Add_Set_Button(panel, 232, "btnSetCONTROL");
}

namespace {

QSpinBox* Number_Field(QWidget* parent, QVBoxLayout* column, const char* name, const char* label,
                       int minimum, int maximum, int value) {
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(label, parent));
    auto* field = new QSpinBox(parent);
    field->setObjectName(name);
    field->setRange(minimum, maximum);
    field->setWrapping(false);
    field->setValue(value);
    row->addWidget(field);
    column->addLayout(row);
    return field;
}

// The statistics with every figure at its widest: ten-digit counts, the rates at 100.00 % and
// the longest register name, formatted by the statistics' own text and put back after.
QString Widest_Statistics_Text() {
    std::int32_t* counts[] = {
        &num_reg_writes,         &num_reg_reads,           &num_write_verify_errors,
        &num_read_verify_errors, &num_busy_timeout_errors, &max_busy_timeout_count,
        &verify_error_address,   &verify_error_data,       &verify_error_readback};
    std::vector<std::int32_t> saved;
    for (std::int32_t* count : counts) saved.push_back(*count);
    const std::string saved_name = verify_error_name;
    for (std::int32_t* count : counts) *count = 2147483647;
    verify_error_address = verify_error_data = verify_error_readback = 0xFF;
    verify_error_name.clear();
    for (const char* name : Register_Names)
        if (std::string(name).size() > verify_error_name.size()) verify_error_name = name;
    const QString text = QString::fromStdString(TOsdexForm::Statistics_Text());
    for (std::size_t i = 0; i < saved.size(); ++i) *counts[i] = saved[i];
    verify_error_name = saved_name;
    return text;
}

// The statistics keep one line each: the memo is wide enough for each of them at its widest
// and high enough for all eleven below its horizontal scroll bar (which shows only for text
// wider still). The window grows where its start size cannot hold them.
void Fit_Statistics_Lines(QPlainTextEdit* memo, const QString& sample) {
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const QFontMetrics metrics = memo->fontMetrics();
    const QStringList lines = sample.split(QRegularExpression("\\r?\\n"));
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    const int margins =
        2 * (static_cast<int>(memo->document()->documentMargin()) + memo->frameWidth());
    const int scroll_bar = memo->horizontalScrollBar()->sizeHint().height();
    memo->setMinimumWidth(widest + margins);
    memo->setMinimumHeight(static_cast<int>(lines.size()) * metrics.lineSpacing() + margins +
                           scroll_bar);
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace

QWidget* TOsdexForm::Build_Diagnostics_Panel() {
    auto* panel = Named(new QWidget, "Panel1");
    auto* outer = new QVBoxLayout(panel);
    outer->setContentsMargins(4, 2, 4, 4);
    auto* title = new QLabel("Diagnostics", panel);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setAlignment(Qt::AlignCenter);
    outer->addWidget(title);

    auto* body = new QHBoxLayout;
    outer->addLayout(body, 1);
    MemoErrorStats = Named(new QPlainTextEdit("Memo1", panel), "MemoErrorStats");
    MemoErrorStats->setReadOnly(true);
    Fit_Statistics_Lines(MemoErrorStats, Widest_Statistics_Text());
    body->addWidget(MemoErrorStats, 1);

    auto* fields = new QVBoxLayout;
    body->addLayout(fields);
    UpDownDiagAddr = Number_Field(panel, fields, "UpDownDiagAddr", "Address", 0, 255, 1);
    UpDownDiagData = Number_Field(panel, fields, "UpDownDiagData", "Data", 0, 255, 0);
    UpDownRetries = Number_Field(panel, fields, "UpDownRetries", "Max retries", 0, 32767, 0);
    auto* timeout_row = new QHBoxLayout;
    timeout_row->addWidget(new QLabel("Timeout", panel));
    EditTimeout = Named(new QLineEdit("0", panel), "EditTimeout");
    timeout_row->addWidget(EditTimeout);
    btnGetTimeout = Named(new QPushButton("Get", panel), "btnGetTimeout");
    btnSetTimeout = Named(new QPushButton("Set", panel), "btnSetTimeout");
    timeout_row->addWidget(btnGetTimeout);
    timeout_row->addWidget(btnSetTimeout);
    fields->addLayout(timeout_row);
    fields->addStretch();

    auto* actions = new QVBoxLayout;
    body->addLayout(actions);
    btnGetLastWrite = Named(new QPushButton("<-- Last Write", panel), "btnGetLastWrite");
    btnClearDiags = Named(new QPushButton("Clear Statistics", panel), "btnClearDiags");
    btnWriteReg = Named(new QPushButton("Write Register", panel), "btnWriteReg");
    btnReadReg = Named(new QPushButton("Read Register", panel), "btnReadReg");
    cbDiagWrite = Named(new QCheckBox("Repeated Write", panel), "cbDiagWrite");
    cbHaltVerifyError = Named(new QCheckBox("Halt on verify err", panel), "cbHaltVerifyError");
    cbDiagRead = Named(new QCheckBox("Repeated Read", panel), "cbDiagRead");
    cbHaltReadErr = Named(new QCheckBox("Halt on misread", panel), "cbHaltReadErr");
    for (QWidget* w :
         std::initializer_list<QWidget*>{btnGetLastWrite, btnClearDiags, btnWriteReg, btnReadReg})
        actions->addWidget(w);
    auto* checks = new QVBoxLayout;
    body->addLayout(checks);
    for (QWidget* w :
         std::initializer_list<QWidget*>{cbDiagWrite, cbHaltVerifyError, cbDiagRead, cbHaltReadErr})
        checks->addWidget(w);
    actions->addStretch();
    checks->addStretch();

    panel->setMinimumHeight(193);
    panel->setVisible(false);
    return panel;
}
