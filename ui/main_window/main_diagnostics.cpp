// Register diagnostics of the main window (module Unit3): single and repeated register
// accesses with error statistics, the Diagnostic menu's switches of the register
// transactions, and the 100 ms tick that drives the repeats, the statistics, the LOSALL
// polling and the periodic cache invalidation.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include "shell/text_format.h"

#include "chip/luma.h"
#include "chip/register_bus.h"
#include "port/port_state.h"
#include "port/window/port_window.h"
#include "ui/channel_window/channel_windows.h"
#include "ui/crosspoint/crosspoint_window.h"
#include "ui/main_window/main_window.h"
#include "ui/text_dialog/text_dialog.h"
#include "ui/widgets/window_navigation.h"
#include "vanlpt/vanlpt.h"

namespace {

// Indexes of the port window's log level list.
constexpr int kLogLevelOff = 0;
constexpr int kLogLevelHighMed = 5;

std::uint8_t Position_Byte(const QSpinBox* up_down) {
    return static_cast<std::uint8_t>(up_down->value() & 0xFF);
}

double Failure_Rate(std::int32_t errors, std::int32_t attempts) {
    return attempts == 0 ? 0.0 : errors * 100.0 / attempts;
}

// A decimal number as a lab user types it: leading blanks, an optional sign, the digits up
// to the first non-digit; no digits give 0. Values beyond the int range stop at its ends.
long long Leading_Integer(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) value = INT_MAX + 1LL;  // stays past the end without overflowing
    }
    value = negative ? -value : value;
    return std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, value));
}

// A checkable menu item toggles itself before its handler runs; the handlers decide the new
// state from the old one, so the toolkit's toggle is undone first.
template <typename Handler>
void Connect_Toggle_Item(TOsdexForm* form, QAction* item, Handler handler) {
    QObject::connect(item, &QAction::triggered, form, [form, item, handler] {
        item->setChecked(!item->isChecked());
        (form->*handler)();
    });
}

void Invert_Check(QAction* item) {
    item->setChecked(!item->isChecked());
}

}  // namespace

void TOsdexForm::Connect_Diagnostics() {
    connect(Timer1, &QTimer::timeout, this, &TOsdexForm::Timer1Timer);
    connect(menuDiagnostic, &QMenu::aboutToShow, this, &TOsdexForm::menuDiagnosticClick);
    Connect_Toggle_Item(this, menuDiagsAutoReadLOSALL, &TOsdexForm::menuDiagsAutoReadLOSALLClick);
    Connect_Toggle_Item(this, menuDiagnosticLog, &TOsdexForm::menuDiagnosticLogClick);
    Connect_Toggle_Item(this, menuDiagnosticRegBatch, &TOsdexForm::menuDiagnosticRegBatchClick);
    Connect_Toggle_Item(this, menuDiagShadowRegAddr, &TOsdexForm::menuDiagShadowRegAddrClick);
    Connect_Toggle_Item(this, menuDiagnosticShadowRegs, &TOsdexForm::menuDiagnosticShadowRegsClick);
    Connect_Toggle_Item(this, menuDiagnosticInvalidateShadowRegs100ms,
                        &TOsdexForm::menuDiagnosticInvalidateShadowRegs100msClick);
    Connect_Toggle_Item(this, menuDiagnosticVerifyWrites,
                        &TOsdexForm::menuDiagnosticVerifyWritesClick);
    connect(menuDiagnosticInvalidateShadowRegs, &QAction::triggered, this,
            &TOsdexForm::menuDiagnosticInvalidateShadowRegsClick);
    connect(menuTestRGBtoLuma, &QAction::triggered, this, &TOsdexForm::menuTestRGBtoLumaClick);

    connect(UpDownRetries, &QSpinBox::valueChanged, this, &TOsdexForm::EditRetriesChange);
    connect(btnWriteReg, &QPushButton::clicked, this, &TOsdexForm::btnWriteRegClick);
    connect(btnReadReg, &QPushButton::clicked, this, &TOsdexForm::btnReadRegClick);
    connect(btnGetLastWrite, &QPushButton::clicked, this, &TOsdexForm::btnGetLastWriteClick);
    connect(btnClearDiags, &QPushButton::clicked, this, &TOsdexForm::btnClearDiagsClick);
    connect(cbDiagWrite, &QCheckBox::toggled, this, &TOsdexForm::cbDiagWriteClick);
    connect(cbDiagRead, &QCheckBox::toggled, this, &TOsdexForm::cbDiagReadClick);
    connect(btnGetTimeout, &QPushButton::clicked, this, &TOsdexForm::btnGetTimeoutClick);
    connect(btnSetTimeout, &QPushButton::clicked, this, &TOsdexForm::btnSetTimeoutClick);
}

std::string TOsdexForm::Statistics_Text() {
    static constexpr const char* format =
        "num_reg_writes: %d\r\nnum_reg_reads: %d\r\n num_write_verify_errors: %d\r\n write "
        "verify failure rate %.2f %%\r\n num_read_verify_errors: %d\r\n read verify failure "
        "rate %.2f %%\r\n verify_error_address: 0x%X %s\r\n verify_error_data: 0x%X\r\n "
        "verify_error_readback: 0x%X\r\nnum_busy_timeout_errors: %d\r\n "
        "max_busy_timeout_count: %d";
    return Format_Text(format, num_reg_writes, num_reg_reads, num_write_verify_errors,
                       Failure_Rate(num_write_verify_errors, num_reg_writes),
                       num_read_verify_errors, Failure_Rate(num_read_verify_errors, num_reg_reads),
                       static_cast<unsigned>(verify_error_address), verify_error_name.c_str(),
                       static_cast<unsigned>(verify_error_data),
                       static_cast<unsigned>(verify_error_readback), num_busy_timeout_errors,
                       max_busy_timeout_count);
}

void TOsdexForm::Timer1Timer() {
    // 1. Repeated write. One persistent mismatch counts Write_Retries + 1 errors in one tick,
    // so the halt looks at whether this tick's write raised the counter from 0, not at
    // whether it is exactly 1.
    if (cbDiagWrite->isChecked()) {
        const std::int32_t errors_before = num_write_verify_errors;
        Write_Register(Position_Byte(UpDownDiagAddr), Position_Byte(UpDownDiagData));
        if (errors_before == 0 && num_write_verify_errors >= 1 && cbHaltVerifyError->isChecked()) {
            cbDiagWrite->setChecked(false);
            cbDiagRead->setChecked(false);
        }
    }
    // 2. Repeated read against the data position.
    if (cbDiagRead->isChecked()) {
        const std::uint8_t address = Position_Byte(UpDownDiagAddr);
        const std::uint8_t read = Read_Register(address);
        if (read != UpDownDiagData->value()) {
            ++num_read_verify_errors;
            verify_error_address = address;
            verify_error_name = Register_Names[address & 15];
            verify_error_data = UpDownDiagData->value();
            verify_error_readback = read;
        }
        if (num_read_verify_errors == 1 && cbHaltReadErr->isChecked()) {
            cbDiagWrite->setChecked(false);
            cbDiagRead->setChecked(false);
        }
    }
    // 3 and 4. Rates and the statistics text.
    MemoErrorStats->setPlainText(QString::fromStdString(Statistics_Text()));
    // 5. LOSALL polling.
    if (menuDiagsAutoReadLOSALL->isChecked()) btnGetLOSALLClick();
    // 6. Periodic invalidation: later writes are sent even when the cache knows their value.
    if (menuDiagnosticInvalidateShadowRegs100ms->isChecked()) Init_DUT_Bus();
}

void TOsdexForm::menuDiagnosticClick() {
    menuDiagnosticVerifyWrites->setChecked(Verify_Writes != 0);
    menuDiagShadowRegAddr->setChecked(Redundant_Addressing_Flag != 0);
    menuDiagnosticShadowRegs->setChecked(Cache_Enabled != 0);
}

void TOsdexForm::menuDiagsAutoReadLOSALLClick() {
    Invert_Check(menuDiagsAutoReadLOSALL);
}

void TOsdexForm::menuDiagnosticLogClick() {
    const bool switch_on = !menuDiagnosticLog->isChecked();
    menuDiagnosticLog->setChecked(switch_on);
    if (!LptConForm) return;
    LptConForm->cbxLog->setCurrentIndex(switch_on ? kLogLevelHighMed : kLogLevelOff);
    LptConForm->cbxLogChange();
    // A log file that could not be created leaves tracing off: the check says so.
    if (switch_on && Port_State.Log_Mask == 0) menuDiagnosticLog->setChecked(false);
}

void TOsdexForm::menuDiagnosticRegBatchClick() {
    Invert_Check(menuDiagnosticRegBatch);
    if (menuDiagnosticRegBatch->isChecked()) {
        // The batch module has said why when the file cannot be opened.
        if (!Open_Register_Batch_File()) menuDiagnosticRegBatch->setChecked(false);
    } else {
        Close_Register_Batch_File();
    }
}

void TOsdexForm::menuDiagShadowRegAddrClick() {
    Invert_Check(menuDiagShadowRegAddr);
    Redundant_Addressing_Flag = menuDiagShadowRegAddr->isChecked() ? 1 : 0;
}

void TOsdexForm::menuDiagnosticShadowRegsClick() {
    Invert_Check(menuDiagnosticShadowRegs);
    Cache_Enabled = menuDiagnosticShadowRegs->isChecked() ? 1 : 0;
}

void TOsdexForm::menuDiagnosticInvalidateShadowRegsClick() {
    Init_DUT_Bus();
}

void TOsdexForm::menuDiagnosticInvalidateShadowRegs100msClick() {
    Invert_Check(menuDiagnosticInvalidateShadowRegs100ms);
}

void TOsdexForm::menuDiagnosticVerifyWritesClick() {
    Invert_Check(menuDiagnosticVerifyWrites);
    Verify_Writes = menuDiagnosticVerifyWrites->isChecked() ? 1 : 0;
}

void TOsdexForm::menuTestRGBtoLumaClick() {
    Test_RGB_To_Luma();
}

void TOsdexForm::EditRetriesChange() {
    Write_Retries = UpDownRetries->value();
}

void TOsdexForm::btnWriteRegClick() {
    Write_Register(Position_Byte(UpDownDiagAddr), Position_Byte(UpDownDiagData));
}

void TOsdexForm::btnReadRegClick() {
    UpDownDiagData->setValue(Read_Register(Position_Byte(UpDownDiagAddr)));
}

void TOsdexForm::btnGetLastWriteClick() {
    UpDownDiagAddr->setValue(Last_Reg_Address);
    UpDownDiagData->setValue(Last_Reg_Data);
}

void TOsdexForm::btnClearDiagsClick() {
    Clear_Register_Statistics();
}

// A repeat started with its halt box checked begins from zero counters, so that the first
// error is the one that halts it.
void TOsdexForm::cbDiagWriteClick() {
    if (!cbDiagWrite->isChecked()) return;
    menuDiagsAutoReadLOSALL->setChecked(false);
    if (cbHaltVerifyError->isChecked()) {
        num_reg_writes = num_reg_reads = num_write_verify_errors = num_read_verify_errors = 0;
    }
}

void TOsdexForm::cbDiagReadClick() {
    if (!cbDiagRead->isChecked()) return;
    menuDiagsAutoReadLOSALL->setChecked(false);
    if (cbHaltReadErr->isChecked()) {
        num_reg_writes = num_reg_reads = num_write_verify_errors = num_read_verify_errors = 0;
    }
}

void TOsdexForm::btnGetTimeoutClick() {
    EditTimeout->setText(QString::number(Get_DUT_BUSY_Timeout()));
}

void TOsdexForm::btnSetTimeoutClick() {
    // The library's poll count is a 32-bit unsigned number: a negative entry wraps there, as
    // it always has, and never becomes a 64-bit wait that would not end.
    const long long value = Leading_Integer(EditTimeout->text().toStdString());
    Set_DUT_BUSY_Timeout(static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
}
