// Module Lptconfm, window side: creation, the steps of each showing, the periodic refresh of
// the page on view, and the history memo behind the port activity log.
#include "port/window/port_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include "port/activity_log.h"
#include "port/pin_map.h"
#include "port/port_state.h"
#include "port/window/pin_list.h"
#include "shell/services.h"
#include "vanlpt/vanlpt.h"

TLptConForm* LptConForm = nullptr;

namespace {

constexpr int Refresh_Interval_ms = 333;

void Set_Silently(QCheckBox* box, bool checked) {
    const QSignalBlocker quiet(box);
    box->setChecked(checked);
}

// A radio button set from code, including "none of them" when no port is selected.
void Set_Radio_Silently(QRadioButton* radio, bool checked) {
    const QSignalBlocker quiet(radio);
    radio->setAutoExclusive(false);
    radio->setChecked(checked);
    radio->setAutoExclusive(true);
}

}  // namespace

TLptConForm::TLptConForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("LptConForm");
    setWindowTitle("Parallel Port Diagnostic");
    resize(362, 410);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    layout->addWidget(PageControl1);

    Build_Port_Page();
    Build_Pins_Page();
    Build_SPI_Page();
    Build_Log_Page();
    Connect_Port_Page();
    Connect_Pins_Page();
    Connect_SPI_Page();
    Connect_Log_Page();

    // FormCreate
    move(54, 31);
    PageControl1->setCurrentWidget(TabSheetPort);
    LabelFormVersion->setText("LptConFm 04/18/2002 VANLPTDLL");
    MemoHistoryTitle->setPlainText(QString(Log_Pin_Tens_Line) + '\n' + Log_Pin_Units_Line);

    // The refresh runs for the whole run, shown or hidden, for the page last on view.
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(Refresh_Interval_ms);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();

    Program_Services().activity_log_view = this;
}

TLptConForm::~TLptConForm() {
    Program_Services().activity_log_view = nullptr;
}

QCheckBox* TLptConForm::CheckBox(int pin) const {
    return pin >= 1 && pin <= Connector_Pins ? pin_boxes_[pin] : nullptr;
}

void TLptConForm::Label_Pin_Check_Boxes() {
    for (int pin = 1; pin <= Port_Pins; ++pin) Set_Pin_Caption(pin, Pin_Label(pin));
}

void TLptConForm::Set_Pin_Caption(int pin, const std::string& caption) {
    if (QCheckBox* box = CheckBox(pin)) box->setText(QString::fromStdString(caption));
}

void TLptConForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TLptConForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Timer1Timer();
}

// Everything a showing sets comes from Port_State and the library, so it is set silently:
// running the controls' actions would only write the same values back to the port.
void TLptConForm::FormShow() {
    setWindowTitle("Parallel Port Diagnostic [vanlpt.dll]");
    QString driver =
        QString("Using VANLPT.DLL to perform I/O.\n") + QString::fromUtf8(Get_VANLPT_DLL_Version());
    for (int n = 1; n <= 3; ++n) driver += '\n' + QString::fromUtf8(Vanlpt_Port_Description(n));
    MemoDriver->setPlainText(driver);
    Show_Selected_Port();

    for (QComboBox* list : {cbxSPIclock, cbxSPIcs, cbxSPImosi, cbxSPImiso}) {
        const QSignalBlocker quiet(list);
        list->setCurrentIndex(0);
    }
    Select_Pin_Entry(cbxSPIclock, Output_Pin_Table, Port_State.SPI_Clock_Pin);
    Select_Pin_Entry(cbxSPIcs, Output_Pin_Table, Port_State.SPI_CS_Pin);
    Select_Pin_Entry(cbxSPImosi, Output_Pin_Table, Port_State.SPI_MOSI_Pin);
    Select_Pin_Entry(cbxSPImiso, Input_Pin_Table, Port_State.SPI_MISO_Pin);
    Select_Pin_Entry(cbxLoopbackOut, Output_Pin_Table, Port_State.Loopback_Out_Pin);
    Select_Pin_Entry(cbxLoopbackIn, Input_Pin_Table, Port_State.Loopback_In_Pin);

    Show_SPI_Flags();
    {
        const QSignalBlocker quiet(cbxSCKkhz);
        cbxSCKkhz->setEditText(QString::asprintf("%1.3f", Port_State.SPI_Clock_kHz));
    }

    const unsigned mask = Get_Data_Enable_Mask();
    Set_Silently(cbBiCtrl80, mask & 0x80);
    Set_Silently(cbBiCtrl40, mask & 0x40);
    Set_Silently(cbBiCtrl20, mask & 0x20);
    Set_Silently(cbECPByteMode, Port_State.ECP_Byte_Mode);
    Set_Silently(cbECR00A, Port_State.ECR_At_0A);
    Set_Silently(cbECR402, Port_State.ECR_At_402);
}

void TLptConForm::Show_Selected_Port() {
    Set_Radio_Silently(LPT1radiobutton, Port_State.Selected_Port == 1);
    Set_Radio_Silently(LPT2radiobutton, Port_State.Selected_Port == 2);
    Set_Radio_Silently(LPT3radiobutton, Port_State.Selected_Port == 3);
}

void TLptConForm::Show_SPI_Flags() {
    Set_Silently(cbCPOL, Port_State.SPI_CPOL != 0);
    Set_Silently(cbCPHA, Port_State.SPI_CPHA != 0);
    Set_Silently(cbCSactiveHigh, Port_State.SPI_CS_Active_High);
    Set_Silently(cbMSBfirst, Port_State.SPI_MSB_First);
    Set_Silently(cbInvertMOSI, Port_State.SPI_Invert_MOSI);
    Set_Silently(cbInvertMISO, Port_State.SPI_Invert_MISO);
}

void TLptConForm::Timer1Timer() {
    const QWidget* page = PageControl1->currentWidget();
    if (page == TabSheetPins) {
        Refresh_Pins();
    } else if (page == TabSheetSPI) {
        Refresh_SPI();
    } else if (page == TabSheetPort) {
        Refresh_Port();
    }
}

// Shows the pin levels. The boxes are set silently: a refresh must never drive a pin, and
// least of all drive data pins that the user has floated.
void TLptConForm::Refresh_Pins() {
    if (Port_State.Selected_Port == 0) return;
    const std::uint8_t data = Get_Data();
    const std::uint8_t status = Get_Status();
    const std::uint8_t control = Get_Control();
    if (Port_State.Log_Mask & Log_Med) Log_Port_Activity("Diagnostic Display Update");
    for (int pin = 1; pin <= Port_Pins; ++pin) {
        Set_Silently(pin_boxes_[pin], Pin_Level(pin, data, status, control) != 0);
    }
    const bool drive = !Data_Pins_Float(control, Get_Data_Enable_Mask());
    for (int pin = 2; pin <= 9; ++pin) pin_boxes_[pin]->setEnabled(drive);
    // Register traffic drives the data pins again; the box shows what they do now.
    Set_Silently(cbDisablePins2to9, !drive);
}

void TLptConForm::Refresh_SPI() {
    Show_SPI_Flags();
    const auto follow = [](QComboBox* list, const auto& table, int pin) {
        if (Pin_Of_List(list) != pin) Select_Pin_Entry(list, table, pin);
    };
    follow(cbxSPIclock, Output_Pin_Table, Port_State.SPI_Clock_Pin);
    follow(cbxSPIcs, Output_Pin_Table, Port_State.SPI_CS_Pin);
    follow(cbxSPImosi, Output_Pin_Table, Port_State.SPI_MOSI_Pin);
    follow(cbxSPImiso, Input_Pin_Table, Port_State.SPI_MISO_Pin);
}

void TLptConForm::Refresh_Port() {
    if (Pin_Of_List(cbxLoopbackOut) != Port_State.Loopback_Out_Pin) {
        Select_Pin_Entry(cbxLoopbackOut, Output_Pin_Table, Port_State.Loopback_Out_Pin);
    }
    if (Pin_Of_List(cbxLoopbackIn) != Port_State.Loopback_In_Pin) {
        Select_Pin_Entry(cbxLoopbackIn, Input_Pin_Table, Port_State.Loopback_In_Pin);
    }
}

int TLptConForm::Memo_Line_Count() const {
    return MemoHistory->document()->isEmpty() ? 0 : MemoHistory->document()->blockCount();
}

void TLptConForm::Memo_Delete_First_Lines(int count) {
    if (count <= 0) return;
    QTextCursor cursor(MemoHistory->document());
    cursor.movePosition(QTextCursor::Start);
    if (!cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, count)) {
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
}

void TLptConForm::Memo_Add_Line(const std::string& line) {
    MemoHistory->appendPlainText(QString::fromStdString(line));
}

std::string TLptConForm::Pin_Caption(int pin) const {
    const QCheckBox* box = CheckBox(pin);
    return box ? box->text().toStdString() : std::string();
}

std::string TLptConForm::Level_Text() const {
    return cbxLog->currentText().toStdString();
}

void TLptConForm::Log_Switched_Off(const std::string& label) {
    cbxLog->setCurrentIndex(0);  // set from code: runs no level change
    LabelLogFileName->setText(QString::fromStdString(label));
}
