// The main window's register diagnostics: the repeated tests with their halts and statistics
// text, the Diagnostic menu's switches, and the busy time-out field.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <fstream>
#include <sstream>

#include "memops_fixture.h"
#include "port/window/port_window.h"
#include "tests/support/full_disk.h"
#include "tests/support/user_locale.h"
#include "vanlpt/vanlpt.h"

namespace {

std::string File_Text(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

TEST_F(MemopsTest, HaltedRepeatedReadShowsTheStatisticsTextExactly) {
    Chip().Set_Register(1, 5);  // QPL of channel 0 reads back 5, the panel expects 0
    OsdexForm->UpDownDiagAddr->setValue(1);
    OsdexForm->UpDownDiagData->setValue(0);
    Click(OsdexForm->btnClearDiags);
    Click(OsdexForm->cbHaltReadErr);
    Click(OsdexForm->cbDiagRead);
    ASSERT_TRUE(OsdexForm->cbDiagRead->isChecked());

    OsdexForm->Timer1Timer();
    EXPECT_FALSE(OsdexForm->cbDiagRead->isChecked());
    EXPECT_FALSE(OsdexForm->cbDiagWrite->isChecked());
    const std::string expected =
        "num_reg_writes: 0\r\nnum_reg_reads: 1\r\n num_write_verify_errors: 0\r\n write verify "
        "failure rate 0.00 %\r\n num_read_verify_errors: 1\r\n read verify failure rate 100.00 "
        "%\r\n verify_error_address: 0x1 QPL\r\n verify_error_data: 0x0\r\n "
        "verify_error_readback: 0x5\r\nnum_busy_timeout_errors: 0\r\n max_busy_timeout_count: 0";
    EXPECT_EQ(TOsdexForm::Statistics_Text(), expected);
    EXPECT_EQ(OsdexForm->MemoErrorStats->toPlainText().toStdString(),
              QString::fromStdString(expected).remove('\r').toStdString());

    // Halted: the next tick reads nothing more.
    OsdexForm->Timer1Timer();
    EXPECT_EQ(num_reg_reads, 1);
}

TEST_F(MemopsTest, StatisticsShowUpperCaseHexAndTwoDecimals) {
    const GermanUserLocale german;  // the decimal point stays a point
    ASSERT_TRUE(german.Active()) << "de_DE.UTF-8 is missing: run scripts/install-deps.sh";
    verify_error_address = 0xAB;
    verify_error_name = "QPLINEH";
    verify_error_data = 0xC;
    verify_error_readback = 0xFE;
    num_reg_writes = 3;
    num_write_verify_errors = 1;
    const std::string text = TOsdexForm::Statistics_Text();
    EXPECT_NE(text.find("write verify failure rate 33.33 %\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("read verify failure rate 0.00 %"), std::string::npos) << text;
    EXPECT_NE(text.find("verify_error_address: 0xAB QPLINEH\r\n verify_error_data: 0xC\r\n "
                        "verify_error_readback: 0xFE\r\n"),
              std::string::npos)
        << text;
}

TEST_F(MemopsTest, HaltOnVerifyErrorStopsOnTheFirstMismatchDespiteRetries) {
    OsdexForm->menuDiagnosticVerifyWrites->trigger();
    ASSERT_EQ(Verify_Writes, 1);
    ASSERT_EQ(Write_Retries, 3);
    Board().Set_Read_Flip_Mask(0x01);  // every read-back differs in bit 0
    OsdexForm->UpDownDiagAddr->setValue(1);
    OsdexForm->UpDownDiagData->setValue(0x40);
    Click(OsdexForm->cbDiagRead);
    Click(OsdexForm->cbHaltVerifyError);
    Click(OsdexForm->cbDiagWrite);

    OsdexForm->Timer1Timer();
    EXPECT_EQ(num_write_verify_errors, 4);  // the write and its three retries
    EXPECT_FALSE(OsdexForm->cbDiagWrite->isChecked());
    EXPECT_FALSE(OsdexForm->cbDiagRead->isChecked());
    EXPECT_NE(TOsdexForm::Statistics_Text().find("verify_error_readback: 0x41"), std::string::npos);
}

TEST_F(MemopsTest, RepeatedWriteWithoutVerificationNeverHalts) {
    Board().Set_Read_Flip_Mask(0x01);
    OsdexForm->UpDownDiagAddr->setValue(2);
    OsdexForm->UpDownDiagData->setValue(9);
    Click(OsdexForm->cbHaltVerifyError);
    Click(OsdexForm->cbDiagWrite);
    for (int tick = 0; tick < 3; ++tick) OsdexForm->Timer1Timer();
    EXPECT_TRUE(OsdexForm->cbDiagWrite->isChecked());
    EXPECT_EQ(Chip().Register(2), 9);
    // The periodic invalidation lets every tick's write through.
    EXPECT_EQ(num_reg_writes, 3);
}

TEST_F(MemopsTest, StartingARepeatUnchecksLosallPollingAndClearsCountersOnlyWithItsHaltBox) {
    OsdexForm->menuDiagsAutoReadLOSALL->trigger();
    ASSERT_TRUE(OsdexForm->menuDiagsAutoReadLOSALL->isChecked());
    num_reg_reads = 9;
    Click(OsdexForm->cbDiagRead);
    EXPECT_FALSE(OsdexForm->menuDiagsAutoReadLOSALL->isChecked());
    EXPECT_EQ(num_reg_reads, 9);
    Click(OsdexForm->cbDiagRead);  // off again
    Click(OsdexForm->cbHaltReadErr);
    Click(OsdexForm->cbDiagRead);
    EXPECT_EQ(num_reg_reads, 0);
}

TEST_F(MemopsTest, SingleAccessesAndTheLastAccessRecord) {
    OsdexForm->UpDownDiagAddr->setValue(0x27);  // HOFFSET of channel 2
    OsdexForm->UpDownDiagData->setValue(77);
    Click(OsdexForm->btnWriteReg);
    EXPECT_EQ(Chip().Register(0x27), 77);

    Chip().Set_Register(0x28, 140);
    OsdexForm->UpDownDiagAddr->setValue(0x28);
    Click(OsdexForm->btnReadReg);
    EXPECT_EQ(OsdexForm->UpDownDiagData->value(), 140);

    // The record covers reads too.
    OsdexForm->UpDownDiagAddr->setValue(0);
    OsdexForm->UpDownDiagData->setValue(0);
    Click(OsdexForm->btnGetLastWrite);
    EXPECT_EQ(OsdexForm->UpDownDiagAddr->value(), 0x28);
    EXPECT_EQ(OsdexForm->UpDownDiagData->value(), 140);

    OsdexForm->UpDownRetries->setValue(7);
    EXPECT_EQ(Write_Retries, 7);
}

TEST_F(MemopsTest, MenuTogglesFollowAndSetTheirFlags) {
    OsdexForm->menuDiagnosticShadowRegs->trigger();
    EXPECT_EQ(Cache_Enabled, 0);
    EXPECT_FALSE(OsdexForm->menuDiagnosticShadowRegs->isChecked());
    OsdexForm->menuDiagShadowRegAddr->trigger();
    EXPECT_EQ(Redundant_Addressing_Flag, 0);

    // Opening the menu shows the flags as they are now.
    Cache_Enabled = 1;
    Verify_Writes = 1;
    emit OsdexForm->menuDiagnostic->aboutToShow();
    EXPECT_TRUE(OsdexForm->menuDiagnosticShadowRegs->isChecked());
    EXPECT_TRUE(OsdexForm->menuDiagnosticVerifyWrites->isChecked());
    EXPECT_FALSE(OsdexForm->menuDiagShadowRegAddr->isChecked());
}

TEST_F(MemopsTest, CacheInvalidationNowAndEveryTick) {
    Write_Register(34, 5);
    ASSERT_TRUE(Register_Cache_Holds(34, 5));
    OsdexForm->menuDiagnosticInvalidateShadowRegs->trigger();
    EXPECT_FALSE(Register_Cache_Holds(34, 5));

    OsdexForm->menuDiagnosticInvalidateShadowRegs100ms->trigger();  // off
    EXPECT_FALSE(OsdexForm->menuDiagnosticInvalidateShadowRegs100ms->isChecked());
    Write_Register(34, 6);
    OsdexForm->Timer1Timer();
    EXPECT_TRUE(Register_Cache_Holds(34, 6));
    Set_DUT_BUSY_Timeout(555);
    OsdexForm->Timer1Timer();
    EXPECT_EQ(Get_DUT_BUSY_Timeout(), 555u);

    OsdexForm->menuDiagnosticInvalidateShadowRegs100ms->trigger();  // on again
    OsdexForm->Timer1Timer();
    EXPECT_FALSE(Register_Cache_Holds(34, 6));
    EXPECT_EQ(Get_DUT_BUSY_Timeout(), 10000u);
}

TEST_F(MemopsTest, BusyTimeoutFieldReadsNumbersAsTyped) {
    OsdexForm->menuDiagnosticInvalidateShadowRegs100ms->trigger();  // keep the chosen value
    struct Case {
        const char* text;
        unsigned long timeout;
    } cases[] = {{"  250xyz", 250}, {"+17", 17}, {"abc", 0}, {"", 0}, {"-1", 4294967295ul}};
    for (const Case& c : cases) {
        OsdexForm->EditTimeout->setText(c.text);
        Click(OsdexForm->btnSetTimeout);
        EXPECT_EQ(Get_DUT_BUSY_Timeout(), c.timeout) << c.text;
    }
    Set_DUT_BUSY_Timeout(1234);
    Click(OsdexForm->btnGetTimeout);
    EXPECT_EQ(OsdexForm->EditTimeout->text(), "1234");
}

TEST_F(MemopsTest, BatchFileAppendsEveryAccessWhileChecked) {
    const std::string old_dir = QDir::currentPath().toStdString();
    ASSERT_TRUE(QDir::setCurrent(scratch.path()));
    { std::ofstream(Path("regtest.bat"), std::ios::binary) << "earlier\r\n"; }

    OsdexForm->menuDiagnosticRegBatch->trigger();
    EXPECT_TRUE(OsdexForm->menuDiagnosticRegBatch->isChecked());
    OsdexForm->UpDownDiagAddr->setValue(34);
    OsdexForm->UpDownDiagData->setValue(5);
    Click(OsdexForm->btnWriteReg);
    Click(OsdexForm->btnWriteReg);  // dropped by the cache, recorded all the same
    Click(OsdexForm->btnReadReg);
    OsdexForm->menuDiagnosticRegBatch->trigger();
    EXPECT_FALSE(OsdexForm->menuDiagnosticRegBatch->isChecked());
    Click(OsdexForm->btnWriteReg);
    EXPECT_EQ(File_Text(Path("regtest.bat")),
              "earlier\r\nwrreg 34 5\r\nwrreg 34 5\r\nrdreg 34\r\n");

    // A batch file that cannot be opened: told, and the option stays off.
    QFile::remove(scratch.filePath("regtest.bat"));
    QDir(scratch.path()).mkdir("regtest.bat");
    dialogs.messages.clear();
    OsdexForm->menuDiagnosticRegBatch->trigger();
    EXPECT_FALSE(OsdexForm->menuDiagnosticRegBatch->isChecked());
    EXPECT_EQ(Batch_Enabled, 0);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    QDir::setCurrent(QString::fromStdString(old_dir));
}

TEST_F(MemopsTest, LogItemSwitchesThePortWindowsLevelList) {
    dialogs.save_answers = {Path("activity.log")};
    OsdexForm->menuDiagnosticLog->trigger();
    EXPECT_TRUE(OsdexForm->menuDiagnosticLog->isChecked());
    EXPECT_EQ(LptConForm->cbxLog->currentIndex(), 5);
    EXPECT_NE(Port_State.Log_Mask, 0);

    OsdexForm->menuDiagnosticLog->trigger();
    EXPECT_FALSE(OsdexForm->menuDiagnosticLog->isChecked());
    EXPECT_EQ(LptConForm->cbxLog->currentIndex(), 0);
    EXPECT_EQ(Port_State.Log_Mask, 0);

    // A log file that cannot be created leaves tracing off, and the item says so.
    dialogs.save_answers = {Path("no-such-folder/activity.log")};
    OsdexForm->menuDiagnosticLog->trigger();
    EXPECT_FALSE(OsdexForm->menuDiagnosticLog->isChecked());
}

// A full disk switches the batch file and the log off by themselves: the menu shows it the
// next time it opens, the port window's level list and label at once.
TEST_F(MemopsTest, FilesThatFillTheDiskAreUntickedAndTheirWindowsSaySo) {
    const std::string old_dir = QDir::currentPath().toStdString();
    ASSERT_TRUE(QDir::setCurrent(scratch.path()));
    OsdexForm->menuDiagnosticRegBatch->trigger();
    ASSERT_TRUE(OsdexForm->menuDiagnosticRegBatch->isChecked());
    dialogs.save_answers = {Path("activity.log")};
    OsdexForm->menuDiagnosticLog->trigger();
    ASSERT_TRUE(OsdexForm->menuDiagnosticLog->isChecked());
    {
        FullDiskAfter full(0);
        Click(OsdexForm->btnReadReg);  // a batch line and a trace record
    }
    EXPECT_EQ(dialogs.messages.size(), 2u);
    emit OsdexForm->menuDiagnostic->aboutToShow();
    EXPECT_FALSE(OsdexForm->menuDiagnosticRegBatch->isChecked());
    EXPECT_FALSE(OsdexForm->menuDiagnosticLog->isChecked());
    EXPECT_EQ(LptConForm->cbxLog->currentIndex(), 0);
    EXPECT_EQ(LptConForm->LabelLogFileName->text(), "no log file");
    QDir::setCurrent(QString::fromStdString(old_dir));
}
