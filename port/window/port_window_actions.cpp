// The diagnostic window's user actions: each control's click or change runs one port-layer
// operation. Pin check boxes, radio buttons and lists act on user-only signals so that
// setting them from code (the refresh, the showing) never drives the port.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <array>
#include <cmath>
#include <vector>

#include "port/activity_log.h"
#include "port/loopback_hunt.h"
#include "port/port_ops.h"
#include "port/port_state.h"
#include "port/spi.h"
#include "port/window/pin_list.h"
#include "port/window/port_window.h"
#include "shell/dialogs.h"
#include "shell/event_pump.h"
#include "shell/hex_text.h"
#include "vanlpt/vanlpt.h"

namespace {

// At most this many bytes go out per Send Now repetition.
constexpr std::uint8_t SPI_Max_Bytes = 20;

void Set_Enable_Mask_Bit(unsigned char bit, bool set) {
    const unsigned char mask = Get_Data_Enable_Mask();
    Set_Data_Enable_Mask(set ? (mask | bit) : (mask & ~bit));
}

const char* Base_Address_Text(int port) {
    static constexpr std::array<const char*, 4> texts = {"", "0x378", "0x278", "0x3BC"};
    return texts[port];
}

}  // namespace

void TLptConForm::Connect_Port_Page() {
    const std::array<QRadioButton*, 3> radios = {LPT1radiobutton, LPT2radiobutton, LPT3radiobutton};
    for (int n = 1; n <= 3; ++n) {
        connect(radios[n - 1], &QRadioButton::clicked, this, [this, n] {
            // A refused port must not stay shown as selected.
            if (Select_LPT_Port(n) == 0) {
                Show_Message(Application_Title,
                             QString::asprintf("Cannot select port LPT%d at base address %s.", n,
                                               Base_Address_Text(n))
                                 .toStdString(),
                             MsgIcon::Warning);
            }
            Show_Selected_Port();
        });
    }
    connect(cbxLoopbackOut, &QComboBox::activated, this,
            [this] { Port_State.Loopback_Out_Pin = Pin_Of_List(cbxLoopbackOut); });
    connect(cbxLoopbackIn, &QComboBox::activated, this,
            [this] { Port_State.Loopback_In_Pin = Pin_Of_List(cbxLoopbackIn); });
    connect(btnLoopback, &QPushButton::clicked, this, [this] { btnLoopbackClick(); });

    connect(cbBiCtrl80, &QCheckBox::toggled, this, [](bool on) { Set_Enable_Mask_Bit(0x80, on); });
    connect(cbBiCtrl40, &QCheckBox::toggled, this, [](bool on) { Set_Enable_Mask_Bit(0x40, on); });
    connect(cbBiCtrl20, &QCheckBox::toggled, this, [](bool on) { Set_Enable_Mask_Bit(0x20, on); });
    connect(cbECPByteMode, &QCheckBox::toggled, this,
            [](bool on) { Port_State.ECP_Byte_Mode = on; });
    connect(cbECR00A, &QCheckBox::toggled, this, [](bool on) { Port_State.ECR_At_0A = on; });
    connect(cbECR402, &QCheckBox::toggled, this, [](bool on) { Port_State.ECR_At_402 = on; });
}

void TLptConForm::Connect_Pins_Page() {
    for (int pin = 1; pin <= Port_Pins; ++pin) {
        if (!Is_Output_Pin(pin)) continue;
        connect(pin_boxes_[pin], &QCheckBox::clicked, this,
                [pin](bool checked) { DirectWritePrinterPin(pin, checked ? 1 : 0); });
    }
    connect(cbDisablePins2to9, &QCheckBox::toggled, this, [](bool on) {
        if (on) {
            Disable_LPT_Data_Output();
        } else {
            Enable_LPT_Data_Output();
        }
    });
}

void TLptConForm::Connect_SPI_Page() {
    const auto pin_list = [this](QComboBox* list, int* field) {
        connect(list, &QComboBox::activated, this, [list, field] { *field = Pin_Of_List(list); });
    };
    pin_list(cbxSPIclock, &Port_State.SPI_Clock_Pin);
    pin_list(cbxSPImosi, &Port_State.SPI_MOSI_Pin);
    pin_list(cbxSPIcs, &Port_State.SPI_CS_Pin);
    pin_list(cbxSPImiso, &Port_State.SPI_MISO_Pin);

    connect(cbCPOL, &QCheckBox::toggled, this, [](bool on) { Port_State.SPI_CPOL = on ? 1 : 0; });
    connect(cbCPHA, &QCheckBox::toggled, this, [](bool on) { Port_State.SPI_CPHA = on ? 1 : 0; });
    const auto flag = [this](QCheckBox* box, bool* field) {
        connect(box, &QCheckBox::toggled, this, [field](bool on) { *field = on; });
    };
    flag(cbCSactiveHigh, &Port_State.SPI_CS_Active_High);
    flag(cbMSBfirst, &Port_State.SPI_MSB_First);
    flag(cbInvertMOSI, &Port_State.SPI_Invert_MOSI);
    flag(cbInvertMISO, &Port_State.SPI_Invert_MISO);

    // A rate takes effect only when it is a positive number: half-typed or wrong text
    // ("", "0.", "abc") keeps the last good rate instead of stalling the clock.
    const auto rate = [](const QString& text) {
        const float khz = SPI_Rate_From_Text(text.toStdString());
        if (std::isfinite(khz) && khz > 0.0f) Port_State.SPI_Clock_kHz = khz;
    };
    connect(cbxSCKkhz, &QComboBox::textActivated, this, rate);
    connect(cbxSCKkhz->lineEdit(), &QLineEdit::textEdited, this, rate);

    connect(btnSPISendNow, &QPushButton::clicked, this, [this] { btnSPISendNowClick(); });
}

void TLptConForm::Connect_Log_Page() {
    connect(cbxLog, &QComboBox::activated, this, [this] { cbxLogChange(); });
}

void TLptConForm::btnLoopbackClick() {
    Port_State.Loopback_Out_Pin = Pin_Of_List(cbxLoopbackOut);
    Port_State.Loopback_In_Pin = Pin_Of_List(cbxLoopbackIn);
    if (Interactive_Hunt() == HuntOutcome::Aborted) {
        Request_Quit();
        QCoreApplication::quit();
    }
    Show_Selected_Port();
}

void TLptConForm::btnSPISendNowClick() {
    btnSPISendNow->setEnabled(false);
    btnSPISendNow->repaint();
    const int nbits = UpDownNumBits->value();
    const int repeat = UpDownSPIrepeat->value();
    for (int r = repeat; r >= 1; --r) {
        UpDownSPIrepeat->setValue(r);
        UpDownSPIrepeat->repaint();

        const QByteArray typed = DataWriteEdit->text().toLatin1();
        std::vector<char> text(typed.begin(), typed.end());
        text.push_back('\0');
        std::array<std::uint8_t, SPI_Max_Bytes> bytes{};
        std::uint8_t count = 0;
        ArraytoHexList(text.data(), &count, bytes.data(), SPI_Max_Bytes);

        SPI_CS_Assert();
        Generic_SPI_Transfer_Bytes(count, bytes.data(), nbits);
        SPI_CS_Release();
        EditHexDataIn->setText(QString::fromStdString(ArrayToHexText(count, bytes.data())));
        EditHexDataIn->repaint();

        // Between repetitions the windows stay alive; a quit request ends the run.
        if (r > 1 && Process_Pending_Events()) break;
    }
    UpDownSPIrepeat->setValue(repeat);
    btnSPISendNow->setEnabled(true);
}

void TLptConForm::cbxLogChange() {
    if (const std::optional<std::string> label = Change_Log_Level(cbxLog->currentIndex())) {
        LabelLogFileName->setText(QString::fromStdString(*label));
    }
}
