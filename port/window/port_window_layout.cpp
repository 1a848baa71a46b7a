// The diagnostic window's controls, page by page.
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "port/activity_log.h"
#include "port/pin_map.h"
#include "port/window/pin_list.h"
#include "port/window/port_window.h"

namespace {

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QCheckBox* Named_Check_Box(const char* name, const char* caption, QWidget* parent) {
    return Named(new QCheckBox(caption, parent), name);
}

template <std::size_t N>
QComboBox* Pin_List(const char* name, const std::array<int, N>& table, QWidget* parent) {
    auto* list = Named(new QComboBox(parent), name);
    Fill_Pin_List(list, table);
    return list;
}

QPlainTextEdit* Fixed_Memo(const char* name, QWidget* parent) {
    auto* memo = Named(new QPlainTextEdit(parent), name);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return memo;
}

}  // namespace

void TLptConForm::Build_Port_Page() {
    TabSheetPort = Named(new QWidget, "TabSheetPort");
    auto* page = new QVBoxLayout(TabSheetPort);

    GroupBoxBaseAddr = Named(new QGroupBox("Select port by I/O base address"), "GroupBoxBaseAddr");
    auto* base = new QHBoxLayout(GroupBoxBaseAddr);
    base->addWidget(new QLabel("Base address:"));
    LPT1radiobutton = Named(new QRadioButton("0x378"), "LPT1radiobutton");
    LPT2radiobutton = Named(new QRadioButton("0x278"), "LPT2radiobutton");
    LPT3radiobutton = Named(new QRadioButton("0x3BC"), "LPT3radiobutton");
    LPT1radiobutton->setChecked(true);
    base->addWidget(LPT1radiobutton);
    base->addWidget(LPT2radiobutton);
    base->addWidget(LPT3radiobutton);
    page->addWidget(GroupBoxBaseAddr);

    GroupBoxLoopback = Named(new QGroupBox("Select port by searching for a loopback connection"),
                             "GroupBoxLoopback");
    auto* loopback = new QGridLayout(GroupBoxLoopback);
    cbxLoopbackOut = Pin_List("cbxLoopbackOut", Output_Pin_Table, GroupBoxLoopback);
    cbxLoopbackIn = Pin_List("cbxLoopbackIn", Input_Pin_Table, GroupBoxLoopback);
    btnLoopback = Named(new QPushButton("Search for port by loopback connection"), "btnLoopback");
    loopback->addWidget(new QLabel("Driving pin:"), 0, 0);
    loopback->addWidget(cbxLoopbackOut, 0, 1);
    loopback->addWidget(new QLabel("Receiving pin:"), 0, 2);
    loopback->addWidget(cbxLoopbackIn, 0, 3);
    loopback->addWidget(btnLoopback, 1, 0, 1, 4);
    page->addWidget(GroupBoxLoopback);

    GroupBoxDriver = Named(new QGroupBox("I/O Driver Method"), "GroupBoxDriver");
    auto* driver = new QVBoxLayout(GroupBoxDriver);
    MemoDriver = Named(new QPlainTextEdit, "MemoDriver");
    MemoDriver->setReadOnly(true);
    QFont bold = MemoDriver->font();
    bold.setBold(true);
    MemoDriver->setFont(bold);
    MemoDriver->setPlainText(
        "Unable to find a suitable device driver; \n\ncannot control hardware.");
    LabelFormVersion = Named(new QLabel, "LabelFormVersion");
    driver->addWidget(MemoDriver);
    driver->addWidget(LabelFormVersion);
    page->addWidget(GroupBoxDriver, 1);

    GroupBox1 = Named(new QGroupBox("Bidirectional Control Bits"), "GroupBox1");
    auto* bits = new QGridLayout(GroupBox1);
    cbBiCtrl80 = Named_Check_Box("cbBiCtrl80", "0x80", GroupBox1);
    cbBiCtrl40 = Named_Check_Box("cbBiCtrl40", "0x40", GroupBox1);
    cbBiCtrl20 = Named_Check_Box("cbBiCtrl20", "0x20", GroupBox1);
    cbECPByteMode = Named_Check_Box("cbECPByteMode", "ECP: set SPP Byte mode 001", GroupBox1);
    cbECR00A = Named_Check_Box("cbECR00A", "ECR=base+0x0A", GroupBox1);
    cbECR402 = Named_Check_Box("cbECR402", "ECR=base+0x402", GroupBox1);
    bits->addWidget(cbBiCtrl80, 0, 0);
    bits->addWidget(cbBiCtrl40, 1, 0);
    bits->addWidget(cbBiCtrl20, 2, 0);
    bits->addWidget(cbECPByteMode, 0, 1);
    bits->addWidget(cbECR00A, 1, 1);
    bits->addWidget(cbECR402, 2, 1);
    page->addWidget(GroupBox1);

    PageControl1->addTab(TabSheetPort, "Port");
}

void TLptConForm::Build_Pins_Page() {
    TabSheetPins = Named(new QWidget, "TabSheetPins");
    auto* page = new QVBoxLayout(TabSheetPins);
    auto* group = new QGroupBox("Logic State of Each Pin (checked = logic high)");
    auto* grid = new QGridLayout(group);
    constexpr int Rows = 13;
    for (int pin = 1; pin <= 25; ++pin) {
        auto* box = new QCheckBox(QString::fromStdString(Initial_Pin_Caption(pin)), group);
        box->setObjectName(QString("CheckBox%1").arg(pin));
        // Inputs and ground pins only show their level.
        box->setEnabled(Is_Output_Pin(pin));
        pin_boxes_[pin] = box;
        grid->addWidget(box, (pin - 1) % Rows, (pin - 1) / Rows);
    }
    page->addWidget(group, 1);
    cbDisablePins2to9 =
        Named_Check_Box("cbDisablePins2to9", "Disable pin 2..9 Output Drivers", TabSheetPins);
    page->addWidget(cbDisablePins2to9);
    PageControl1->addTab(TabSheetPins, "Pins");
}

void TLptConForm::Build_SPI_Page() {
    TabSheetSPI = Named(new QWidget, "TabSheetSPI");
    auto* page = new QVBoxLayout(TabSheetSPI);

    auto* connection = new QGroupBox("Connection");
    auto* pins = new QFormLayout(connection);
    cbxSPIclock = Pin_List("cbxSPIclock", Output_Pin_Table, connection);
    cbxSPIcs = Pin_List("cbxSPIcs", Output_Pin_Table, connection);
    cbxSPImosi = Pin_List("cbxSPImosi", Output_Pin_Table, connection);
    cbxSPImiso = Pin_List("cbxSPImiso", Input_Pin_Table, connection);
    pins->addRow("SCK clock output pin:", cbxSPIclock);
    pins->addRow("CS output pin:", cbxSPIcs);
    pins->addRow("MOSI data output pin:", cbxSPImosi);
    pins->addRow("MISO data input pin:", cbxSPImiso);
    page->addWidget(connection);

    auto* configuration = new QGroupBox("Configuration");
    auto* config = new QGridLayout(configuration);
    cbCPOL = Named_Check_Box("cbCPOL", "CPOL=1 (clock idles high)", configuration);
    cbCPHA = Named_Check_Box("cbCPHA", "CPHA=1 (samp 2nd edge)", configuration);
    cbCSactiveHigh = Named_Check_Box("cbCSactiveHigh", "CS active high, idle low", configuration);
    cbInvertMOSI = Named_Check_Box("cbInvertMOSI", "Data Output Inverted Logic", configuration);
    cbInvertMISO = Named_Check_Box("cbInvertMISO", "Data Input Inverted Logic", configuration);
    // "&&" shows one ampersand on the caption.
    cbMSBfirst = Named_Check_Box("cbMSBfirst", "Send && receive MSB first", configuration);
    cbMSBfirst->setChecked(true);
    cbxSCKkhz = Named(new QComboBox(configuration), "cbxSCKkhz");
    cbxSCKkhz->setEditable(true);
    cbxSCKkhz->setInsertPolicy(QComboBox::NoInsert);
    cbxSCKkhz->addItems({"4.000", "0.500", "0.400", "0.300", "0.200", "0.100", "0.050", "0.020",
                         "0.010", "0.005", "0.002", "0.001"});
    cbxSCKkhz->setToolTip("approximate SCK frequency; timing not guaranteed under windows");
    UpDownNumBits = Named(new QSpinBox(configuration), "UpDownNumBits");
    UpDownNumBits->setRange(1, 8);
    UpDownNumBits->setValue(8);
    config->addWidget(cbCPOL, 0, 0, 1, 2);
    config->addWidget(cbCPHA, 1, 0, 1, 2);
    config->addWidget(cbCSactiveHigh, 2, 0, 1, 2);
    config->addWidget(cbInvertMOSI, 3, 0, 1, 2);
    config->addWidget(cbInvertMISO, 4, 0, 1, 2);
    config->addWidget(cbxSCKkhz, 5, 0);
    config->addWidget(new QLabel("kHz clock rate"), 5, 1);
    config->addWidget(UpDownNumBits, 6, 0);
    config->addWidget(new QLabel("bits per byte"), 6, 1);
    config->addWidget(cbMSBfirst, 7, 0, 1, 2);
    page->addWidget(configuration);

    auto* data = new QGroupBox("Send and Receive Data");
    auto* io = new QGridLayout(data);
    DataWriteEdit = Named(new QLineEdit("0x12,0x34,0x56"), "DataWriteEdit");
    DataWriteEdit->setToolTip(
        "Comma-separated byte values, 0x prefix for hex, single quote for Pascal strings, "
        "double quotes for C strings.");
    btnSPISendNow = Named(new QPushButton("Send Now"), "btnSPISendNow");
    UpDownSPIrepeat = Named(new QSpinBox, "UpDownSPIrepeat");
    UpDownSPIrepeat->setRange(1, 9999);
    UpDownSPIrepeat->setValue(1);
    EditHexDataIn = Named(new QLineEdit, "EditHexDataIn");
    EditHexDataIn->setReadOnly(true);
    io->addWidget(new QLabel("Data bytes to be written:"), 0, 0, 1, 3);
    io->addWidget(DataWriteEdit, 1, 0, 1, 3);
    io->addWidget(btnSPISendNow, 2, 0);
    io->addWidget(new QLabel("repeat"), 2, 1, Qt::AlignRight);
    io->addWidget(UpDownSPIrepeat, 2, 2);
    io->addWidget(new QLabel("Data bytes received:"), 3, 0, 1, 3);
    io->addWidget(EditHexDataIn, 4, 0, 1, 3);
    page->addWidget(data);
    page->addStretch(1);

    PageControl1->addTab(TabSheetSPI, "Bit-Banging Serial Interface");
}

void TLptConForm::Build_Log_Page() {
    TabSheetLog = Named(new QWidget, "TabSheetLog");
    auto* page = new QVBoxLayout(TabSheetLog);
    auto* top = new QHBoxLayout;
    cbxLog = Named(new QComboBox, "cbxLog");
    for (const char* item : Log_Level_Items) cbxLog->addItem(item);
    LabelLogFileName = Named(new QLabel("no log file"), "LabelLogFileName");
    top->addWidget(new QLabel("Log:"));
    top->addWidget(cbxLog);
    top->addWidget(LabelLogFileName, 1);
    page->addLayout(top);

    MemoHistoryTitle = Fixed_Memo("MemoHistoryTitle", TabSheetLog);
    MemoHistoryTitle->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int line = QFontMetrics(MemoHistoryTitle->font()).lineSpacing();
    MemoHistoryTitle->setFixedHeight(2 * line + 12);
    MemoHistory = Fixed_Memo("MemoHistory", TabSheetLog);
    page->addWidget(MemoHistoryTitle);
    page->addWidget(MemoHistory, 1);

    PageControl1->addTab(TabSheetLog, "Logging");
}
