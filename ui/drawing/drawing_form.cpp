// The shared frame of the drawing windows.
#include "ui/drawing/drawing_form.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>

#include "chip/luma.h"
#include "chip/register_map.h"
#include "chip/register_table.h"
#include "shell/text_format.h"
#include "ui/widgets/icons.h"
#include "ui/widgets/level_colour.h"
#include "ui/widgets/picture_view.h"
#include "ui/widgets/picture_zoom.h"
#include "ui/widgets/qp_level_picker.h"
#include "ui/widgets/register_row.h"

TDrawingForm::TDrawingForm(QWidget* parent) : QMainWindow(parent) {
    // The bands of the cool bar stay where the form puts them.
    setContextMenuPolicy(Qt::NoContextMenu);
}

// The view goes before the picture it shows: child widgets would otherwise outlive the
// members and reach a destroyed canvas.
TDrawingForm::~TDrawingForm() {
    delete Image1;
}

QToolBar* TDrawingForm::Add_Band(const QString& name, const QString& hint, bool new_row) {
    if (new_row) addToolBarBreak(Qt::TopToolBarArea);
    auto* bar = new QToolBar(this);
    bar->setObjectName(name);
    bar->setWindowTitle(hint);
    bar->setToolTip(hint);
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    bar->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

QToolButton* TDrawingForm::Add_Drawing_Tool(const QString& name, const QString& hint,
                                            const QIcon& icon, int tool) {
    QToolButton* button = Add_Tool_Button(ToolBarDrawing, name, hint, icon, true);
    tool_buttons_.emplace_back(button, tool);
    // The toolkit toggles a check button on its own; SelectTool decides what shows pressed.
    connect(button, &QToolButton::clicked, this, [this, tool] { SelectTool(tool); });
    return button;
}

void TDrawingForm::Build_View_Tool_Bar() {
    ToolBarView = Add_Band("ToolBarView", "Other Windows", false);
    const ViewButtons view = Add_View_Buttons(ToolBarView, "View Parallel Port Diagnostic");
    ToolButtonView = view.channel;
    ToolButtonViewCrosspoint = view.crosspoint;
    ToolButtonViewMwrite = view.mwrite;
    ToolButtonParallelPort = view.parallel_port;
}

void TDrawingForm::Build_Luma_Tool_Bar() {
    ToolBarLuma = Add_Band("ToolBarLuma", "Luminance level selection", true);
    // Left to right from 15 down to 0, in groups of four.
    for (int level = 15; level >= 0; --level) {
        QToolButton* button = Add_Tool_Button(
            ToolBarLuma, "ToolButtonFILL" + QString::fromStdString(Two_Digits(level)),
            Level_Names[level], Luma_Icon(level, Level_QColor(level)), true);
        ToolButtonFILL[level] = button;
        connect(button, &QToolButton::clicked, this, [this, level] { SelectLevel(level); });
        if (level % 4 == 0 && level > 0) ToolBarLuma->addSeparator();
    }
    ToolButtonFILL[0]->setChecked(true);
}

QWidget* TDrawingForm::Build_Panes(int regs_width, const QSize& panel_size) {
    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setHandleWidth(5);
    Splitter1->setChildrenCollapsible(false);

    ScrollBoxRegs = new QScrollArea;
    ScrollBoxRegs->setObjectName("ScrollBoxRegs");
    PanelRegs = new QWidget;
    PanelRegs->setObjectName("PanelRegs");
    PanelRegs->setFixedSize(panel_size);
    // The rows are placed at fixed positions; a small font keeps their captions inside.
    PanelRegs->setStyleSheet("* { font-size: 10px; } QPushButton { padding: 0px 2px; }");
    ScrollBoxRegs->setWidget(PanelRegs);
    ScrollBoxRegs->setMinimumWidth(40);
    ScrollBoxRegs->resize(regs_width, ScrollBoxRegs->height());
    ScrollBoxRegs->setVisible(false);

    ScrollBoxImage = new QScrollArea;
    ScrollBoxImage->setObjectName("ScrollBoxImage");
    ScrollBoxImage->setBackgroundRole(QPalette::Button);
    Image1 = new PictureView(&Picture);
    Image1->setObjectName("Image1");
    ScrollBoxImage->setWidget(Image1);
    ScrollBoxImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Zoom = new PictureZoom(Image1, ScrollBoxImage, this);
    Zoom->Add_To_Tool_Bar(ToolBarLuma);
    Widen_For_Tool_Bars(*this);

    Splitter1->addWidget(ScrollBoxRegs);
    Splitter1->addWidget(ScrollBoxImage);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({regs_width, 1000});
    return Splitter1;
}

void TDrawingForm::Build_Quad_Rows(int qp_top, int horiz_top, int line_top) {
    using namespace register_row;
    btnGetQP = Add_Get_Button(PanelRegs, qp_top, "btnGetQP");
    Add_Label(PanelRegs, qp_top, "QP");
    const char* names[4] = {"ListBoxQP3", "ListBoxQP2", "ListBoxQP1", "ListBoxQP0"};
    QpLevelPicker** pickers[4] = {&ListBoxQP3, &ListBoxQP2, &ListBoxQP1, &ListBoxQP0};
    for (int i = 0; i < 4; ++i) {
        auto* picker = new QpLevelPicker(Level_QColor, PanelRegs);
        picker->setObjectName(names[i]);
        picker->setGeometry(Label_X + 24 + i * 38, qp_top, 36, QpLevelPicker::Box_Height);
        *pickers[i] = picker;
    }
    btnSetQP = Add_Set_Button(PanelRegs, qp_top, "btnSetQP");

    btnGetQPHORIZ = Add_Get_Button(PanelRegs, horiz_top, "btnGetQPHORIZ");
    Add_Label(PanelRegs, horiz_top, Label(Register_Label(Reg::QPHORIZ)));
    UpDownQPHORIZ = Add_Up_Down(PanelRegs, horiz_top, "UpDownQPHORIZ", 0, 177, 0);
    btnSetQPHORIZ = Add_Set_Button(PanelRegs, horiz_top, "btnSetQPHORIZ");

    btnGetQPLINE = Add_Get_Button(PanelRegs, line_top, "btnGetQPLINE");
    Add_Label(PanelRegs, line_top, Label(Line_Label(Reg::QPLINEH)));
    UpDownQPLINE = Add_Up_Down(PanelRegs, line_top, "UpDownQPLINE", 0, 511, 0);
    btnSetQPLINE = Add_Set_Button(PanelRegs, line_top, "btnSetQPLINE");
}

void TDrawingForm::Clear_Picture() {
    Picture.Fill(Transparent_Color);
}

void TDrawingForm::SelectTool(int t) {
    Tool = static_cast<std::uint8_t>(t);
    for (auto& [button, number] : tool_buttons_) button->setChecked(number == t);
}

void TDrawingForm::SelectLevel(int l) {
    Level = l;
    for (int level = 0; level < 16; ++level) ToolButtonFILL[level]->setChecked(level == l);
    for (QpLevelPicker* picker : Quad_Pickers()) {
        if (!picker) continue;
        picker->Set_Selected_Row(l);
        picker->Set_Shown_Row(picker->Selected_Row());
    }
}
