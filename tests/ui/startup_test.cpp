// Start-up: the memory report first, the windows in order, the board check with its Abort /
// Retry / Ignore, and the channel windows created at the main window's first show.
#include <QCheckBox>
#include <cstdlib>

#include "chip/channel_pictures.h"
#include "port/window/port_window.h"
#include "shell/services.h"
#include "ui/crosspoint/crosspoint_window.h"
#include "ui/text_dialog/text_dialog.h"
#include "ui_fixture.h"
#include "vanlpt/vanlpt.h"

namespace {

bool Any_Window_Visible() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) return true;
    return false;
}

// Notes, for every message box, whether the main window existed and anything was visible.
class ObservingDialogs : public ScriptedDialogs {
public:
    MsgResult Message_Box(const MessageBoxRequest& request) override {
        main_window_existed.push_back(OsdexForm != nullptr);
        window_visible.push_back(Any_Window_Visible());
        return ScriptedDialogs::Message_Box(request);
    }
    std::vector<bool> main_window_existed;
    std::vector<bool> window_visible;
};

}  // namespace

TEST_F(UiTest, MemoryReportComesFirstBeforeAnyWindow) {
    ObservingDialogs observing;
    Program_Services().dialogs = &observing;
    Start_Program();

    ASSERT_GE(observing.messages.size(), 1u);
    EXPECT_EQ(observing.messages[0].caption, "Vantor Evaluation Kit");
    EXPECT_EQ(observing.messages[0].text.rfind("Memory load: ", 0), 0u);
    EXPECT_EQ(observing.messages[0].buttons, MsgButtons::Ok);
    EXPECT_FALSE(observing.main_window_existed[0]);
    EXPECT_FALSE(observing.window_visible[0]);
    // With the board present, nothing else asks the user anything.
    EXPECT_EQ(observing.messages.size(), 1u);

    ASSERT_NE(OsdexForm, nullptr);
    EXPECT_NE(XelorForm, nullptr);
    EXPECT_NE(LptConForm, nullptr);
    EXPECT_NE(CGForm, nullptr);
    EXPECT_FALSE(XelorForm->isVisible());
    EXPECT_FALSE(LptConForm->isVisible());
    EXPECT_FALSE(CGForm->isVisible());
    EXPECT_EQ(OsdexForm->windowTitle(), "Osdex On-Screen Display: Multi-Channel Write");
    EXPECT_TRUE(OsdexForm->Timer1->isActive());
}

TEST_F(UiTest, MainWindowCreationSetsPortDefaultsFindsBoardAndRaisesReadStrobe) {
    Create_Application_Windows();
    EXPECT_EQ(OsdexForm->RegisterBase, 128);
    EXPECT_EQ(OsdexForm->MwriteMask, 1);
    EXPECT_EQ(Port_State.Selected_Port, 1);
    EXPECT_EQ(Port_State.Loopback_Out_Pin, 9);
    EXPECT_EQ(Port_State.Loopback_In_Pin, 10);
    EXPECT_EQ(Port_State.SPI_Clock_Pin, 4);
    EXPECT_EQ(Port_State.SPI_MOSI_Pin, 5);
    EXPECT_EQ(Port_State.SPI_MISO_Pin, 13);
    EXPECT_EQ(Port_State.SPI_CS_Pin, 17);
    EXPECT_EQ(Port_State.SPI_CPOL, 1);
    EXPECT_EQ(Port_State.SPI_CPHA, 0);
    EXPECT_TRUE(Port_State.ECP_Byte_Mode);
    EXPECT_EQ(Port_State.Loopback_Settle_ms, 500);
    EXPECT_EQ(DirectReadPrinterPin(16), 1);
    // Every pixel of the picture starts at level 0.
    EXPECT_EQ(OsdexForm->Picture.Pixel(0, 0), 0x00FF0000u);
    EXPECT_EQ(OsdexForm->Picture.Pixel(711, 511), 0x00FF0000u);
}

TEST_F(UiTest, ChannelWindowsAreCreatedAtTheMainWindowsFirstShowOnly) {
    Create_Application_Windows();
    for (TOsdexFormCH0* channel : OsdexFormCH) EXPECT_EQ(channel, nullptr);

    OsdexForm->show();
    for (int n = 0; n < 8; ++n) {
        TOsdexFormCH0* channel = OsdexFormCH[n];
        ASSERT_NE(channel, nullptr) << n;
        EXPECT_EQ(channel->RegisterBase, 16 * n);
        EXPECT_EQ(channel->windowTitle(), QString("Osdex Channel %1").arg(n));
        EXPECT_EQ(channel->isVisible(), n == 0) << n;
        EXPECT_EQ(Channel_Picture(n), &channel->Picture);
    }
    EXPECT_EQ(OsdexFormCH0, OsdexFormCH[0]);
    EXPECT_EQ(OsdexFormCH7, OsdexFormCH[7]);

    // A later show keeps the windows as they are.
    TOsdexFormCH0* first = OsdexFormCH0;
    OsdexFormCH0->hide();
    OsdexForm->hide();
    OsdexForm->show();
    EXPECT_EQ(OsdexFormCH0, first);
    EXPECT_FALSE(OsdexFormCH0->isVisible());
    EXPECT_FALSE(OsdexFormCH3->isVisible());
}

TEST_F(UiTest, FirstShowLabelsThePortWindowsPinBoxesAndReadsLosall) {
    Board().Chip().Set_Loss_Of_Sync(2, true);
    Board().Chip().Set_Loss_Of_Sync(7, true);
    Start_Program();
    EXPECT_EQ(LptConForm->CheckBox(1)->text(), "1) Osdex ~WR");
    EXPECT_EQ(LptConForm->CheckBox(17)->text(), "17) Osdex CS / Xelor ~CE");
    for (int n = 0; n < 8; ++n) EXPECT_EQ(OsdexForm->cbLOS[n]->isChecked(), n == 2 || n == 7) << n;
    EXPECT_EQ(dialogs.messages.size(), 1u);  // no suspect-value warning
}

class UnpluggedTest : public UiTest {
protected:
    void SetUp() override { Start_With_Board("1=unplugged"); }

    static void Expect_Board_Box(const MessageBoxRequest& box) {
        EXPECT_EQ(box.caption, "RUDIRUVUVA");
        EXPECT_EQ(box.text, "cannot find RUDIRUVUVA parallel port connection");
        EXPECT_EQ(box.buttons, MsgButtons::AbortRetryIgnore);
    }
};

TEST_F(UnpluggedTest, RetryHuntsAgainAndIgnoreOpensTheWindows) {
    dialogs.message_answers = {MsgResult::Ok, MsgResult::Retry, MsgResult::Retry,
                               MsgResult::Ignore};
    Start_Program();
    ASSERT_EQ(dialogs.messages.size(), 4u);
    for (int i = 1; i <= 3; ++i) Expect_Board_Box(dialogs.messages[i]);

    ASSERT_NE(OsdexForm, nullptr);
    EXPECT_TRUE(OsdexForm->isVisible());
    for (int n = 0; n < 8; ++n) {
        ASSERT_NE(OsdexFormCH[n], nullptr);
        EXPECT_EQ(OsdexFormCH[n]->isVisible(), n == 0);
    }
}

TEST_F(UnpluggedTest, AbortEndsTheProcessWithCodeZeroAndNoWindow) {
    dialogs.message_answers = {MsgResult::Ok, MsgResult::Abort};
    Show_Memory_Report();
    try {
        Create_Application_Windows();
        FAIL() << "the program went on after Abort";
    } catch (const ProcessEnded& ended) {
        EXPECT_EQ(ended.code, 0);
    }
    EXPECT_EQ(OsdexForm, nullptr);
    EXPECT_EQ(XelorForm, nullptr);
    EXPECT_EQ(LptConForm, nullptr);
    EXPECT_EQ(CGForm, nullptr);
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible());
}

// A mapped port that cannot be opened is told in a box of its own, before the board check,
// so that nobody takes the search's result for a board.
TEST_F(UiTest, APortThatCannotBeOpenedIsShownBeforeTheBoardCheck) {
    Start_With_Board("1=/dev/parport9-absent");
    dialogs.message_answers = {MsgResult::Ok, MsgResult::Ok, MsgResult::Ignore};
    Start_Program();
    ASSERT_EQ(dialogs.messages.size(), 3u);
    const MessageBoxRequest& problem = dialogs.messages[1];
    EXPECT_EQ(problem.caption, "Osdex Evaluation Kit");
    EXPECT_EQ(problem.icon, MsgIcon::Warning);
    EXPECT_NE(problem.text.find("LPT1"), std::string::npos) << problem.text;
    EXPECT_NE(problem.text.find("/dev/parport9-absent"), std::string::npos) << problem.text;
    EXPECT_NE(problem.text.find("modprobe ppdev"), std::string::npos) << problem.text;
    EXPECT_EQ(dialogs.messages[2].caption, "RUDIRUVUVA");
}

// A bad VANLPT_PORTS is the library's to find; the program shows what it found in the start-up
// box, before the board check, with nothing stubbed.
TEST_F(UiTest, ABadPortMappingIsShownAtStartUp) {
    ::setenv("VANLPT_PORTS", "1=bogus-target", 1);
    vanlpt::testing::Reload_Mapping_From_Environment();
    ::unsetenv("VANLPT_PORTS");
    dialogs.message_answers = {MsgResult::Ok, MsgResult::Ok, MsgResult::Ignore};
    Start_Program();
    ASSERT_GE(dialogs.messages.size(), 2u);
    const MessageBoxRequest& problem = dialogs.messages[1];
    EXPECT_EQ(problem.caption, "Osdex Evaluation Kit");
    EXPECT_EQ(problem.icon, MsgIcon::Warning);
    EXPECT_NE(problem.text.find("VANLPT_PORTS"), std::string::npos) << problem.text;
    EXPECT_NE(problem.text.find("bogus-target"), std::string::npos) << problem.text;
}

using UnpluggedDeathTest = UnpluggedTest;

TEST_F(UnpluggedDeathTest, AbortExitsTheRealProcessWithCodeZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    dialogs.message_answers = {MsgResult::Abort};
    EXPECT_EXIT(
        {
            Program_Services().process_exit = nullptr;
            Create_Application_Windows();
            std::_Exit(3);  // not reached when Abort ends the process
        },
        ::testing::ExitedWithCode(0), "");
}
