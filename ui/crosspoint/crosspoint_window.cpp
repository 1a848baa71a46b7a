// The crosspoint window: its lists, menus and tool bars, the per-output and bulk actions,
// expert mode, and the reset with the default routing at creation.
#include "ui/crosspoint/crosspoint_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "shell/text_format.h"
#include "ui/channel_window/channel_windows.h"
#include "ui/monitor/monitor_window.h"
#include "ui/widgets/icons.h"
#include "ui/widgets/tool_buttons.h"
#include "ui/widgets/window_navigation.h"

namespace {

constexpr int Normal_Mode_Inputs = 4;  // outside expert mode outputs 00..03 reach IN00..IN03
constexpr int All_Inputs = 32;
constexpr int Disabled_Entry = 0;

// Object names of the output labels, as the form names them.
constexpr std::array<const char*, Xelor_Outputs> Output_Label_Names = {
    "LabelOut00", "LabelOut01", "LabelOut02", "LabelOut03", "Label1", "Label2",
    "Label3",     "Label4",     "LabelOut08", "Label8",     "Label9", "Label10",
    "Label11",    "Label12",    "Label13",    "Label14"};

QStringList Input_Entries(int inputs) {
    QStringList entries{"Disabled"};
    for (int i = 0; i < inputs; ++i) entries << "Input " + QString::fromStdString(Two_Digits(i));
    return entries;
}

// A 16 x 16 tool-bar picture with a short caption, for the routing actions.
QIcon Caption_Icon(const QString& caption, QColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font = painter.font();
    font.setPixelSize(caption.size() > 2 ? 7 : 9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawRect(0, 0, 15, 15);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, caption);
    return QIcon(pixmap);
}

}  // namespace

TXelorForm* XelorForm = nullptr;

TXelorForm::TXelorForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("XelorForm");
    setWindowTitle("Xelor Crosspoint Switch [used with Osdex EV Kit]");
    setGeometry(344, 120, 503, 261);

    Build_Menus();
    Build_Tool_Bars();
    Widen_For_Tool_Bars(*this);
    start_size_ = size();
    setCentralWidget(Build_Central());
    Connect_Handlers();
    FormCreate();
}

void TXelorForm::Build_Menus() {
    menuSetup = menuBar()->addMenu("&Setup");
    auto add = [this](const char* name, const char* caption, QKeySequence key = {}) {
        QAction* action = menuSetup->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(key);
        return action;
    };
    menuSetupDisabled = add("menuSetupDisabled", "all outputs disabled");
    menuSetup0015 = add("menuSetup0015", "outputs 00-15 = inputs 00-15");
    menuSetup1631 = add("menuSetup1631", "outputs 00-15 = inputs 16-31");
    menuSetup00 = add("menuSetup00", "outputs 00-15 = input 00", Qt::Key_F8);
    menuSetup1VV = add("menuSetup1VV", "outputs 00-15 = 1V/V", Qt::Key_F3);
    menuSetup2VV = add("menuSetup2VV", "outputs 00-15 = 2V/V", Qt::Key_F4);

    menuUpdates = menuBar()->addMenu("&Updates");
    menucbShowUpdates = menuUpdates->addAction("Show alert on updates");
    menucbShowUpdates->setObjectName("menucbShowUpdates");
    menucbShowUpdates->setCheckable(true);
    menucbShowUpdates->setChecked(false);
}

void TXelorForm::Build_Tool_Bars() {
    ToolBarSetup = addToolBar("Setup");
    ToolBarSetup->setObjectName("ToolBarSetup");
    ToolButtonDisable = Add_Tool_Button(ToolBarSetup, "ToolButtonDisable", "Disable all outputs",
                                        Caption_Icon("--", Qt::darkRed));
    ToolButtonInxOutx =
        Add_Tool_Button(ToolBarSetup, "ToolButtonInxOutx", "Connect inputs 0-15 to outputs 0-15",
                        Caption_Icon("n=n", Qt::darkBlue));
    ToolButton1vv = Add_Tool_Button(ToolBarSetup, "ToolButton1vv", "Set all outputs to unity gain",
                                    Caption_Icon("x1", Qt::darkGreen));
    ToolButton2vv = Add_Tool_Button(ToolBarSetup, "ToolButton2vv", "Set all outputs to 2V/V gain",
                                    Caption_Icon("x2", Qt::darkGreen));
    ToolBarSetup->addSeparator();
    ToolButtonAdvancedFeatures =
        Add_Tool_Button(ToolBarSetup, "ToolButtonAdvancedFeatures", "Expert mode",
                        Tool_Icon(IconId::AdvancedFeatures), true);

    ToolBarView = addToolBar("Other Windows");
    ToolBarView->setObjectName("ToolBarView");
    // The port button's hint is this window's own text.
    const ViewButtons view = Add_View_Buttons(ToolBarView, "View Parallel Port Diagnositc");
    ToolButtonView = view.channel;
    ToolButtonViewCrosspoint = view.crosspoint;
    ToolButtonViewMwrite = view.mwrite;
    ToolButtonParallelPort = view.parallel_port;
    ToolButtonViewMonitor = Add_Tool_Button(ToolBarView, "ToolButtonViewMonitor",
                                            "View Video Monitor", Caption_Icon("TV", Qt::black));
}

QWidget* TXelorForm::Build_Outputs_Panel(const char* name, int first, int count) {
    auto* panel = new QWidget;
    panel->setObjectName(name);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(2, 2, 2, 2);
    for (int k = 0; k < count; ++k) {
        const int n = first + k;
        OutputLabels[n] = new QLabel("Ouput " + QString::fromStdString(Two_Digits(n)), panel);
        OutputLabels[n]->setObjectName(Output_Label_Names[n]);
        ComboOut[n] = new QComboBox(panel);
        ComboOut[n]->setObjectName("ComboOut" + QString::fromStdString(Two_Digits(n)));
        ComboOut[n]->addItems(
            Input_Entries(n < Normal_Mode_Inputs ? Normal_Mode_Inputs : All_Inputs));
        ComboOut[n]->setCurrentIndex(-1);
        ComboAv2[n] = new QComboBox(panel);
        ComboAv2[n]->setObjectName("ComboAv2" + QString::fromStdString(Two_Digits(n)));
        ComboAv2[n]->addItems({"1 V/V", "2 V/V"});
        ComboAv2[n]->setCurrentIndex(-1);
        grid->addWidget(OutputLabels[n], k, 0);
        grid->addWidget(ComboOut[n], k, 1);
        grid->addWidget(ComboAv2[n], k, 2);
    }
    return panel;
}

QWidget* TXelorForm::Build_Address_Panel() {
    PanelAddressPins = new QWidget;
    PanelAddressPins->setObjectName("PanelAddressPins");
    auto* row = new QHBoxLayout(PanelAddressPins);
    row->setContentsMargins(2, 2, 2, 2);
    row->addWidget(new QLabel("IC Address Pins:", PanelAddressPins));
    auto add = [this, row](const char* name) {
        auto* box = new QCheckBox(name, PanelAddressPins);
        box->setObjectName(QString("cb") + name);
        row->addWidget(box);
        return box;
    };
    cbA3 = add("A3");
    cbA2 = add("A2");
    cbA1 = add("A1");
    cbA0 = add("A0");
    row->addStretch();
    PanelAddressPins->hide();
    return PanelAddressPins;
}

QWidget* TXelorForm::Build_Central() {
    auto* central = new QWidget;
    auto* column = new QVBoxLayout(central);

    PanelOut0003 = Build_Outputs_Panel("PanelOut0003", 0, 4);
    PanelOut0407 = Build_Outputs_Panel("PanelOut0407", 4, 4);
    PanelOut0815 = Build_Outputs_Panel("PanelOut0815", 8, 8);
    PanelOut0407->hide();
    PanelOut0815->hide();
    auto* outputs = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(PanelOut0003);
    left->addWidget(PanelOut0407);
    left->addStretch();
    outputs->addLayout(left);
    outputs->addWidget(PanelOut0815, 0, Qt::AlignTop);
    column->addLayout(outputs);
    column->addWidget(Build_Address_Panel());

    btnSend112bits = new QPushButton("Send 112-bit Full Initialization command", central);
    btnSend112bits->setObjectName("btnSend112bits");
    column->addWidget(btnSend112bits);

    auto* pending = new QHBoxLayout;
    labelSentOrPending = new QLabel("Pending update:", central);
    labelSentOrPending->setObjectName("labelSentOrPending");
    labelSentOrPending->setEnabled(false);
    labelSentOrPending->hide();
    labelPendingUpdate = new QLabel("none", central);
    labelPendingUpdate->setObjectName("labelPendingUpdate");
    QFont bold = labelPendingUpdate->font();
    bold.setBold(true);
    labelPendingUpdate->setFont(bold);
    pending->addWidget(labelSentOrPending);
    pending->addWidget(labelPendingUpdate, 1);
    column->addLayout(pending);

    Label6 = new QLabel("DERUDEZODU connects IN00-03 and OUT00-03 only", central);
    Label6->setObjectName("Label6");
    Label6->setFont(bold);
    column->addWidget(Label6);
    return central;
}

void TXelorForm::Connect_Handlers() {
    // Only a user's choice sends: `activated` is not emitted when code sets a list.
    for (int n = 0; n < Xelor_Outputs; ++n) {
        connect(ComboOut[n], &QComboBox::activated, this, [this, n] { OutChange(n); });
        connect(ComboAv2[n], &QComboBox::activated, this, [this, n] { OutChange(n); });
    }
    connect(menuSetupDisabled, &QAction::triggered, this, &TXelorForm::menuSetupDisabledClick);
    connect(menuSetup0015, &QAction::triggered, this, &TXelorForm::menuSetup0015Click);
    connect(menuSetup1631, &QAction::triggered, this, &TXelorForm::menuSetup1631Click);
    connect(menuSetup00, &QAction::triggered, this, &TXelorForm::menuSetup00Click);
    connect(menuSetup1VV, &QAction::triggered, this, &TXelorForm::menuSetup1VVClick);
    connect(menuSetup2VV, &QAction::triggered, this, &TXelorForm::menuSetup2VVClick);
    connect(ToolButtonDisable, &QToolButton::clicked, this, &TXelorForm::ToolButtonDisableClick);
    connect(ToolButtonInxOutx, &QToolButton::clicked, this, &TXelorForm::ToolButtonInxOutxClick);
    connect(ToolButton1vv, &QToolButton::clicked, this, &TXelorForm::ToolButton1vvClick);
    connect(ToolButton2vv, &QToolButton::clicked, this, &TXelorForm::ToolButton2vvClick);
    connect(btnSend112bits, &QPushButton::clicked, this, &TXelorForm::btnSend112bitsClick);
    connect(ToolButtonAdvancedFeatures, &QToolButton::clicked, this,
            &TXelorForm::ToolButtonAdvancedFeaturesClick);

    for (int n = 0; n < 8; ++n)
        connect(ToolButtonView[n], &QToolButton::clicked, this, [n] { Show_Channel_Window(n); });
    connect(ToolButtonViewCrosspoint, &QToolButton::clicked, this, Show_Crosspoint_Window);
    connect(ToolButtonViewMwrite, &QToolButton::clicked, this, Show_Main_Window);
    connect(ToolButtonParallelPort, &QToolButton::clicked, this, Show_Port_Window);
    connect(ToolButtonViewMonitor, &QToolButton::clicked, this, Show_Monitor_Window);
}

void TXelorForm::FormCreate() {
    Xelor_Reset();
    ToolButtonInxOutxClick();
    ToolButton2vvClick();
}

XelorOutput TXelorForm::Output_Setting(int n) const {
    const int s = ComboOut[n]->currentIndex();
    const int g = ComboAv2[n]->currentIndex() + 1;
    return {s > 0, s - 1, g};
}

unsigned TXelorForm::Address_Bits() const {
    return (cbA3->isChecked() ? 8u : 0u) | (cbA2->isChecked() ? 4u : 0u) |
           (cbA1->isChecked() ? 2u : 0u) | (cbA0->isChecked() ? 1u : 0u);
}

void TXelorForm::SendUpdate(int o, bool enabled, int i, int g) {
    labelPendingUpdate->setText(
        QString::fromStdString(Xelor_Pending_Update_Text(o, {enabled, i, g})));
    labelSentOrPending->setText("Pending Update:");
    DoSendUpdate(o, enabled, i, g);
}

void TXelorForm::DoSendUpdate(int o, bool enabled, int i, int g) {
    Xelor_Do_Send_Update(o, {enabled, i, g}, Address_Bits(), menucbShowUpdates->isChecked());
    labelSentOrPending->setText("Re-Send Update:");
}

void TXelorForm::Send112Bits() {
    std::array<XelorOutput, Xelor_Outputs> outputs;
    for (int n = 0; n < Xelor_Outputs; ++n) outputs[n] = Output_Setting(n);
    Xelor_Send_112_Bits(outputs, menucbShowUpdates->isChecked());
    labelSentOrPending->setText("Re-Send Update:");
}

void TXelorForm::OutChange(int n) {
    const XelorOutput setting = Output_Setting(n);
    SendUpdate(n, setting.enabled, setting.input, setting.gain);
}

void TXelorForm::Select_Input_Entry(int n, int entry) {
    const QSignalBlocker quiet(ComboOut[n]);
    // A list asked for an entry it does not hold ends with nothing selected.
    ComboOut[n]->setCurrentIndex(entry >= 0 && entry < ComboOut[n]->count() ? entry : -1);
}

void TXelorForm::Select_Gain_Entry(int n, int entry) {
    const QSignalBlocker quiet(ComboAv2[n]);
    ComboAv2[n]->setCurrentIndex(entry >= 0 && entry < ComboAv2[n]->count() ? entry : -1);
}

void TXelorForm::menuSetupDisabledClick() {
    for (int n = 0; n < Xelor_Outputs; ++n) Select_Input_Entry(n, Disabled_Entry);
    Send112Bits();
}

void TXelorForm::menuSetup0015Click() {
    for (int n = 0; n < Xelor_Outputs; ++n) Select_Input_Entry(n, n + 1);
    Send112Bits();
}

void TXelorForm::menuSetup1631Click() {
    for (int n = 0; n < Xelor_Outputs; ++n) Select_Input_Entry(n, n + 17);
    Send112Bits();
}

void TXelorForm::menuSetup00Click() {
    for (int n = 0; n < Xelor_Outputs; ++n) Select_Input_Entry(n, 1);
    Send112Bits();
}

void TXelorForm::menuSetup1VVClick() {
    for (int n = 0; n < Xelor_Outputs; ++n) Select_Gain_Entry(n, 0);
    Send112Bits();
}

void TXelorForm::menuSetup2VVClick() {
    for (int n = 0; n < Xelor_Outputs; ++n) Select_Gain_Entry(n, 1);
    Send112Bits();
}

void TXelorForm::ToolButtonAdvancedFeaturesClick() {
    const bool expert = ToolButtonAdvancedFeatures->isChecked();
    const QStringList entries = Input_Entries(expert ? All_Inputs : Normal_Mode_Inputs);
    // Rebuilding sends nothing, even where a selection falls back to "Disabled".
    for (int n = 0; n < Normal_Mode_Inputs; ++n) {
        QComboBox* list = ComboOut[n];
        const QSignalBlocker quiet(list);
        const QString kept = list->currentText();
        list->clear();
        list->addItems(entries);
        const int found = list->findText(kept);
        list->setCurrentIndex(found >= 0 ? found : Disabled_Entry);
    }
    PanelOut0407->setVisible(expert);
    PanelOut0815->setVisible(expert);
    PanelAddressPins->setVisible(expert);
    // The panels widen the window as they appear; without them it goes back to its size, once
    // the layouts, from the inner one out, have dropped the minimum the panels set.
    if (!expert) {
        centralWidget()->layout()->activate();
        layout()->activate();
        resize(start_size_);
    }
}
