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
#include <cstdint>

#include "chip/luma.h"
#include "chip/register_bus.h"
#include "chip/register_diagnostics.h"
#include "port/port_state.h"
#include "port/window/port_window.h"
#include "ui/main_window/main_window.h"
#include "vanlpt/vanlpt.h"

namespace {

// Indexes of the port window's log level list.
constexpr int Log_Level_Off = 0;
constexpr int Log_Level_High_Med = 5;

std::uint8_t Position_Byte(const QSpinBox* up_down) {
    return static_cast<std::uint8_t>(up_down->value() & 0xFF);
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
    return Register_Statistics_Text();
}

void TOsdexForm::Timer1Timer() {
    // 1. Repeated write.
    if (cbDiagWrite->isChecked()) {
        const bool first_error = Repeated_Write_Raised_First_Error(Position_Byte(UpDownDiagAddr),
                                                                   Position_Byte(UpDownDiagData));
        if (first_error && cbHaltVerifyError->isChecked()) Stop_Repeats();
    }
    // 2. Repeated read against the data position.
    if (cbDiagRead->isChecked()) {
        Repeated_Read(Position_Byte(UpDownDiagAddr), Position_Byte(UpDownDiagData));
        if (num_read_verify_errors == 1 && cbHaltReadErr->isChecked()) Stop_Repeats();
    }
    // 3 and 4. Rates and the statistics text.
    MemoErrorStats->setPlainText(QString::fromStdString(Statistics_Text()));
    // 5. LOSALL polling.
    if (menuDiagsAutoReadLOSALL->isChecked()) btnGetLOSALLClick();
    // 6. Periodic invalidation: later writes are sent even when the cache knows their value.
    if (menuDiagnosticInvalidateShadowRegs100ms->isChecked()) Init_DUT_Bus();
}

void TOsdexForm::Stop_Repeats() {
    cbDiagWrite->setChecked(false);
    cbDiagRead->setChecked(false);
}

void TOsdexForm::menuDiagnosticClick() {
    menuDiagnosticVerifyWrites->setChecked(Verify_Writes != 0);
    menuDiagShadowRegAddr->setChecked(Redundant_Addressing_Flag != 0);
    menuDiagnosticShadowRegs->setChecked(Cache_Enabled != 0);
    // Recording and logging switch themselves off when their file cannot be written.
    menuDiagnosticRegBatch->setChecked(Batch_Enabled != 0);
    if (Port_State.Log_Mask == 0) menuDiagnosticLog->setChecked(false);
}

void TOsdexForm::menuDiagsAutoReadLOSALLClick() {
    Invert_Check(menuDiagsAutoReadLOSALL);
}

void TOsdexForm::menuDiagnosticLogClick() {
    const bool switch_on = !menuDiagnosticLog->isChecked();
    menuDiagnosticLog->setChecked(switch_on);
    if (!LptConForm) return;
    LptConForm->cbxLog->setCurrentIndex(switch_on ? Log_Level_High_Med : Log_Level_Off);
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
    if (cbHaltVerifyError->isChecked()) Clear_Transaction_Counts();
}

void TOsdexForm::cbDiagReadClick() {
    if (!cbDiagRead->isChecked()) return;
    menuDiagsAutoReadLOSALL->setChecked(false);
    if (cbHaltReadErr->isChecked()) Clear_Transaction_Counts();
}

void TOsdexForm::btnGetTimeoutClick() {
    EditTimeout->setText(QString::number(Get_DUT_BUSY_Timeout()));
}

void TOsdexForm::btnSetTimeoutClick() {
    Set_DUT_BUSY_Timeout(Busy_Timeout_From_Text(EditTimeout->text().toStdString()));
}
