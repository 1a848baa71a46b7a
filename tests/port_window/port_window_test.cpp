#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <vector>

#include "port/pin_map.h"
#include "port/port_ops.h"
#include "port/spi.h"
#include "port_window_fixture.h"
#include "shell/services.h"
#include "tests/support/user_locale.h"

namespace {

TEST_F(PortWindowTest, CreationAndShowingFillTheControlsWithoutWritingThePort) {
    EXPECT_EQ(form->pos(), QPoint(54, 31));
    EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheetPort);
    EXPECT_EQ(form->LabelFormVersion->text(), "LptConFm 04/18/2002 VANLPTDLL");
    EXPECT_EQ(form->MemoHistoryTitle->toPlainText(),
              "     1110  00000000  11111   \nPins:7641  98765432  10235   ");
    EXPECT_EQ(form->Pin_Caption(1), "1) unused output");
    EXPECT_EQ(form->Pin_Caption(10), "10) unused input");
    EXPECT_FALSE(form->CheckBox(10)->isEnabled());
    EXPECT_FALSE(form->CheckBox(18)->isEnabled());
    EXPECT_TRUE(form->CheckBox(17)->isEnabled());

    Port_State.SPI_Clock_Pin = 4;
    Port_State.SPI_MOSI_Pin = 5;
    Port_State.SPI_MISO_Pin = 13;
    Port_State.SPI_CS_Pin = 10;  // not an output: its list stays at "none"
    Port_State.SPI_CPOL = 1;
    Port_State.SPI_Clock_kHz = 4.0f;
    Port_State.Loopback_Out_Pin = 9;
    Port_State.Loopback_In_Pin = 10;
    Set_Data_Enable_Mask(0x40);
    counting->writes = 0;
    Show_Page(form->TabSheetPort);

    EXPECT_EQ(counting->writes, 0);
    EXPECT_EQ(form->windowTitle(), "Parallel Port Diagnostic [vanlpt.dll]");
    const QString driver = form->MemoDriver->toPlainText();
    EXPECT_TRUE(driver.startsWith("Using VANLPT.DLL to perform I/O.\n"));
    // Under the version line: what stands behind each port.
    const QStringList lines = driver.split('\n');
    ASSERT_EQ(lines.size(), 5) << driver.toStdString();
    EXPECT_EQ(lines[1], QString::fromUtf8(Get_VANLPT_DLL_Version()));
    EXPECT_TRUE(lines[2].startsWith("LPT1: ")) << driver.toStdString();
    EXPECT_EQ(lines[3], "LPT2: none");
    EXPECT_TRUE(lines[4].startsWith("LPT3: ")) << driver.toStdString();
    EXPECT_TRUE(form->LPT1radiobutton->isChecked());
    EXPECT_EQ(form->cbxSPIclock->currentText(), "4");
    EXPECT_EQ(form->cbxSPImosi->currentText(), "5");
    EXPECT_EQ(form->cbxSPImiso->currentText(), "13");
    EXPECT_EQ(form->cbxSPIcs->currentText(), "none");
    EXPECT_EQ(form->cbxLoopbackOut->currentText(), "9");
    EXPECT_EQ(form->cbxLoopbackIn->currentText(), "10");
    EXPECT_TRUE(form->cbCPOL->isChecked());
    EXPECT_FALSE(form->cbCPHA->isChecked());
    EXPECT_TRUE(form->cbMSBfirst->isChecked());
    EXPECT_EQ(form->cbxSCKkhz->currentText(), "4.000");
    EXPECT_FALSE(form->cbBiCtrl80->isChecked());
    EXPECT_TRUE(form->cbBiCtrl40->isChecked());
    EXPECT_FALSE(form->cbBiCtrl20->isChecked());
    EXPECT_TRUE(form->cbECR00A->isChecked());
    EXPECT_FALSE(form->cbECPByteMode->isChecked());

    // No port: no radio button stays checked.
    form->hide();
    Port_State.Selected_Port = 0;
    form->show();
    EXPECT_FALSE(form->LPT1radiobutton->isChecked());
    EXPECT_FALSE(form->LPT2radiobutton->isChecked());
    EXPECT_FALSE(form->LPT3radiobutton->isChecked());
}

TEST_F(PortWindowTest, PinsRefreshShowsLevelsAndNeverDrivesAPin) {
    form->Label_Pin_Check_Boxes();
    EXPECT_EQ(form->Pin_Caption(3), "3) Osdex D1 / Xelor ~Update");
    Show_Page(form->TabSheetPins);
    Set_Data(0xA5);
    Set_Control(0x04);  // pins 1, 14, 16, 17 high
    // A box the user left unchecked although its pin is high must not drive it low when the
    // refresh sets it.
    form->CheckBox(16)->setChecked(false);
    counting->reads = 0;
    counting->writes = 0;

    form->Timer1Timer();
    EXPECT_EQ(counting->writes, 0);
    EXPECT_GT(counting->reads, 0);
    for (int pin = 2; pin <= 9; ++pin) {
        EXPECT_EQ(form->CheckBox(pin)->isChecked(), ((0xA5 >> (pin - 2)) & 1) != 0) << pin;
        EXPECT_TRUE(form->CheckBox(pin)->isEnabled()) << pin;
    }
    for (int pin : {1, 14, 16, 17}) EXPECT_TRUE(form->CheckBox(pin)->isChecked()) << pin;
    EXPECT_TRUE(form->CheckBox(10)->isChecked());  // loopback follows pin 9
    EXPECT_EQ(Get_Data(), 0xA5);

    // Floating the data pins greys out their boxes; the refresh still writes nothing.
    QTest::mouseClick(form->cbDisablePins2to9, Qt::LeftButton);
    counting->writes = 0;
    form->Timer1Timer();
    EXPECT_EQ(counting->writes, 0);
    for (int pin = 2; pin <= 9; ++pin) EXPECT_FALSE(form->CheckBox(pin)->isEnabled()) << pin;
    QTest::mouseClick(form->cbDisablePins2to9, Qt::LeftButton);
    form->Timer1Timer();
    for (int pin = 2; pin <= 9; ++pin) EXPECT_TRUE(form->CheckBox(pin)->isEnabled()) << pin;

    // A bidirectional bit that the enable mask tests floats them as well.
    Set_Control(0x04 | Get_Data_Enable_Mask());
    form->Timer1Timer();
    EXPECT_FALSE(form->CheckBox(5)->isEnabled());
}

// Traffic on the bus (a register access, the time stamps F10 starts) drives the data pins
// again: the box says so at the next refresh instead of staying ticked.
TEST_F(PortWindowTest, DisableBoxShowsWhetherTheDataPinsDriveAtEachRefresh) {
    Show_Page(form->TabSheetPins);
    QTest::mouseClick(form->cbDisablePins2to9, Qt::LeftButton);
    form->Timer1Timer();
    EXPECT_TRUE(form->cbDisablePins2to9->isChecked());

    DirectWritePrinterData(0x5A);  // as a register cycle does: the pins drive
    counting->writes = 0;
    form->Timer1Timer();
    EXPECT_EQ(counting->writes, 0);
    EXPECT_FALSE(form->cbDisablePins2to9->isChecked());
    for (int pin = 2; pin <= 9; ++pin) EXPECT_TRUE(form->CheckBox(pin)->isEnabled()) << pin;

    // Floated some other way, the box shows that too, and unticking it drives them again.
    Disable_LPT_Data_Output();
    form->Timer1Timer();
    EXPECT_TRUE(form->cbDisablePins2to9->isChecked());
    QTest::mouseClick(form->cbDisablePins2to9, Qt::LeftButton);
    form->Timer1Timer();
    EXPECT_FALSE(form->cbDisablePins2to9->isChecked());
    EXPECT_TRUE(form->CheckBox(2)->isEnabled());
}

TEST_F(PortWindowTest, PinsRefreshWithNoPortSelectedLeavesTheLibraryAlone) {
    Show_Page(form->TabSheetPins);
    Port_State.Selected_Port = 0;
    Port_State.Log_Mask = Log_Med;
    counting->reads = 0;
    counting->writes = 0;
    form->Timer1Timer();
    EXPECT_EQ(counting->reads + counting->writes, 0);
    EXPECT_EQ(form->Memo_Line_Count(), 0);

    Port_State.Selected_Port = 1;
    form->Timer1Timer();
    ASSERT_EQ(form->Memo_Line_Count(), 1);
    EXPECT_TRUE(form->MemoHistory->toPlainText().endsWith(" Diagnostic Display Update"));
}

TEST_F(PortWindowTest, UserClickDrivesItsPin) {
    Show_Page(form->TabSheetPins);
    form->Timer1Timer();
    for (int pin : {16, 3, 9}) {
        const bool before = DirectReadPrinterPin(pin) != 0;
        ASSERT_EQ(form->CheckBox(pin)->isChecked(), before);
        QTest::mouseClick(form->CheckBox(pin), Qt::LeftButton);
        EXPECT_EQ(Board().Pin_Level(pin), !before) << pin;
        form->Timer1Timer();
        EXPECT_EQ(form->CheckBox(pin)->isChecked(), !before) << pin;
    }
    EXPECT_EQ(DirectReadPrinterPin(10), DirectReadPrinterPin(9));
}

TEST_F(PortWindowTest, RefreshOfSpiAndPortPagesFollowsPortState) {
    Show_Page(form->TabSheetSPI);
    Port_State.SPI_Clock_Pin = 6;
    Port_State.SPI_MISO_Pin = 15;
    Port_State.SPI_CPHA = 1;
    Port_State.SPI_Invert_MISO = true;
    form->Timer1Timer();
    EXPECT_EQ(form->cbxSPIclock->currentText(), "6");
    EXPECT_EQ(form->cbxSPImiso->currentText(), "15");
    EXPECT_TRUE(form->cbCPHA->isChecked());
    EXPECT_TRUE(form->cbInvertMISO->isChecked());

    Port_State.SPI_Clock_Pin = 12;  // not offered: the list stays
    form->Timer1Timer();
    EXPECT_EQ(form->cbxSPIclock->currentText(), "6");
    EXPECT_EQ(Port_State.SPI_Clock_Pin, 12);

    form->PageControl1->setCurrentWidget(form->TabSheetPort);
    Port_State.Loopback_Out_Pin = 17;
    form->Timer1Timer();
    EXPECT_EQ(form->cbxLoopbackOut->currentText(), "17");
}

TEST_F(PortWindowTest, SpiControlsSetPortState) {
    Show_Page(form->TabSheetSPI);
    form->cbxSPImosi->setFocus();
    form->cbxSPImosi->setCurrentIndex(0);
    QTest::keyClick(form->cbxSPImosi, Qt::Key_Down);  // "1"
    EXPECT_EQ(Port_State.SPI_MOSI_Pin, 1);

    QTest::mouseClick(form->cbCSactiveHigh, Qt::LeftButton);
    EXPECT_TRUE(Port_State.SPI_CS_Active_High);
    QTest::mouseClick(form->cbCPOL, Qt::LeftButton);
    EXPECT_EQ(Port_State.SPI_CPOL, 1);
    QTest::mouseClick(form->cbMSBfirst, Qt::LeftButton);
    EXPECT_FALSE(Port_State.SPI_MSB_First);

    // The rate takes the leading number; text without a positive number keeps the last rate.
    form->cbxSCKkhz->lineEdit()->clear();
    QTest::keyClicks(form->cbxSCKkhz->lineEdit(), "0.2 kHz");
    EXPECT_FLOAT_EQ(Port_State.SPI_Clock_kHz, 0.2f);
    form->cbxSCKkhz->lineEdit()->clear();
    QTest::keyClicks(form->cbxSCKkhz->lineEdit(), "abc");
    EXPECT_FLOAT_EQ(Port_State.SPI_Clock_kHz, 0.2f);
    form->cbxSCKkhz->lineEdit()->clear();
    QTest::keyClicks(form->cbxSCKkhz->lineEdit(), "0");
    EXPECT_FLOAT_EQ(Port_State.SPI_Clock_kHz, 0.2f);
}

TEST_F(PortWindowTest, RatesBelowOneKilohertzWorkInACommaLocale) {
    const GermanUserLocale german;
    ASSERT_TRUE(german.Active()) << "de_DE.UTF-8 is missing: run scripts/install-deps.sh";
    Show_Page(form->TabSheetSPI);
    const int slow = form->cbxSCKkhz->findText("0.100", Qt::MatchStartsWith);
    ASSERT_GE(slow, 0);
    form->cbxSCKkhz->setFocus();
    form->cbxSCKkhz->setCurrentIndex(slow + 1);
    QTest::keyClick(form->cbxSCKkhz, Qt::Key_Up);  // the user picks the 0.1 kHz entry
    QTest::keyClick(form->cbxSCKkhz, Qt::Key_Return);
    EXPECT_FLOAT_EQ(Port_State.SPI_Clock_kHz, 0.1f);
}

class SendNowTest : public PortWindowTest {
protected:
    void SetUp() override {
        PortWindowTest::SetUp();
        // The crosspoint's wiring, as the main window sets it at start-up.
        Port_State.SPI_Clock_Pin = 4;
        Port_State.SPI_MOSI_Pin = 5;
        Port_State.SPI_MISO_Pin = 13;
        Port_State.SPI_CS_Pin = 17;
        Port_State.SPI_CPOL = 1;
        Port_State.SPI_Clock_kHz = 4.0f;
        Set_Control(0x04);
        Show_Page(form->TabSheetSPI);
        Board().Reset_Counters();
    }

    const board::XelorCrosspoint& Crosspoint() { return Board().Crosspoint(); }
};

TEST_F(SendNowTest, TypedListReachesTheCrosspointShiftRegister) {
    form->DataWriteEdit->setText("0x12,0x34");
    QTest::mouseClick(form->btnSPISendNow, Qt::LeftButton);
    EXPECT_EQ(Crosspoint().Counters().bits_shifted, 16u);
    EXPECT_EQ(Crosspoint().Last_16_Bits(), 0x1234);
    EXPECT_TRUE(form->EditHexDataIn->text().startsWith("{2 bytes:0x"));
    EXPECT_TRUE(form->btnSPISendNow->isEnabled());
    EXPECT_EQ(DirectReadPrinterPin(17), 1);  // chip select released
}

TEST_F(SendNowTest, RepeatCountsDownAndIsPutBack) {
    std::vector<int> shown;
    Program_Services().process_events = [&] { shown.push_back(form->UpDownSPIrepeat->value()); };
    form->DataWriteEdit->setText("0x12,0x34");
    form->UpDownSPIrepeat->setValue(3);
    QTest::mouseClick(form->btnSPISendNow, Qt::LeftButton);
    EXPECT_EQ(Crosspoint().Counters().bits_shifted, 3u * 16u);
    EXPECT_EQ(shown, (std::vector<int>{3, 2}));  // the windows run between repetitions
    EXPECT_EQ(form->UpDownSPIrepeat->value(), 3);
}

TEST_F(SendNowTest, QuitRequestStopsTheRepetitions) {
    Program_Services().process_events = [] { Request_Quit(); };
    form->UpDownSPIrepeat->setValue(5);
    QTest::mouseClick(form->btnSPISendNow, Qt::LeftButton);
    EXPECT_EQ(Crosspoint().Counters().bits_shifted, 3u * 8u);  // one pass of 0x12,0x34,0x56
    EXPECT_EQ(form->UpDownSPIrepeat->value(), 5);
    EXPECT_TRUE(form->btnSPISendNow->isEnabled());
}

TEST_F(SendNowTest, AtMostTwentyBytesGoOutAndBitsPerByteApply) {
    form->DataWriteEdit->setText("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,1A,1B,1C");
    QTest::mouseClick(form->btnSPISendNow, Qt::LeftButton);
    EXPECT_EQ(Crosspoint().Counters().bits_shifted, 20u * 8u);
    EXPECT_TRUE(form->EditHexDataIn->text().startsWith("{20 bytes:"));

    Board().Reset_Counters();
    form->UpDownNumBits->setValue(7);
    form->DataWriteEdit->setText("0x7F");
    QTest::mouseClick(form->btnSPISendNow, Qt::LeftButton);
    EXPECT_EQ(Crosspoint().Counters().bits_shifted, 7u);

    Board().Reset_Counters();
    form->DataWriteEdit->setText(" , ");
    QTest::mouseClick(form->btnSPISendNow, Qt::LeftButton);
    EXPECT_EQ(Crosspoint().Counters().bits_shifted, 0u);
    EXPECT_EQ(form->EditHexDataIn->text(), "{0 bytes:}");
}

TEST_F(PortWindowTest, PortSelectionAndLoopbackSearch) {
    Show_Page(form->TabSheetPort);
    // LPT2 is absent: the refusal is reported and no port is shown as selected.
    QTest::mouseClick(form->LPT2radiobutton, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Cannot select port LPT2 at base address 0x278.");
    EXPECT_EQ(Port_State.Selected_Port, 0);
    EXPECT_FALSE(form->LPT1radiobutton->isChecked());
    EXPECT_FALSE(form->LPT2radiobutton->isChecked());

    // The search takes its pins from the lists and finds the board on LPT1.
    form->cbxLoopbackOut->setCurrentText("9");
    form->cbxLoopbackIn->setCurrentText("10");
    QTest::mouseClick(form->btnLoopback, Qt::LeftButton);
    EXPECT_EQ(Port_State.Selected_Port, 1);
    EXPECT_EQ(Port_State.Loopback_Out_Pin, 9);
    EXPECT_EQ(Port_State.Loopback_In_Pin, 10);
    EXPECT_TRUE(form->LPT1radiobutton->isChecked());
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // No loopback: Ignore leaves the program running, Abort asks it to end.
    Board().Set_Loopback_Broken(true);
    dialogs.message_answers = {MsgResult::Ignore, MsgResult::Abort};
    QTest::mouseClick(form->btnLoopback, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, "cannot find parallel port loopback connection");
    EXPECT_FALSE(Quit_Requested());
    QTest::mouseClick(form->btnLoopback, Qt::LeftButton);
    EXPECT_TRUE(Quit_Requested());
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
