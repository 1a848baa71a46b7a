// Port selection and the loopback hunt on the simulated board.
#include "port/loopback_hunt.h"
#include "shell/services.h"

#include "port_fixture.h"

namespace {

using HuntTest = PortTest;

TEST_F(HuntTest, FindsTheBoardOnLpt1) {
    Port_State.Loopback_Settle_ms = 500;
    EXPECT_TRUE(HuntForLoopback(9, 10));
    EXPECT_EQ(Port_State.Selected_Port, 1);
    EXPECT_TRUE(Port_State.Hunt_Called);
    EXPECT_EQ(Port_State.Loopback_Out_Pin, 9);
    EXPECT_EQ(Port_State.Loopback_In_Pin, 10);
    EXPECT_GE(clock.Peek(), 1000u);  // two settle waits
    // Control 4 leaves the chip deselected and the crosspoint disabled.
    EXPECT_TRUE(Board().Pin_Level(1));
    EXPECT_TRUE(Board().Pin_Level(16));
    EXPECT_TRUE(Board().Pin_Level(17));
    EXPECT_FALSE(Board().Pin_Level(9));  // back at the level it had
}

TEST_F(HuntTest, FailuresLeaveTheLastSelection) {
    Use_Ports("1=unplugged");  // LPT2 refused: LPT3 is never tried
    EXPECT_FALSE(HuntForLoopback(9, 10));
    EXPECT_EQ(Port_State.Selected_Port, 0);

    Use_Ports("1=sim");
    Board().Set_Loopback_Broken(true);
    EXPECT_FALSE(HuntForLoopback(9, 10));
    EXPECT_EQ(Port_State.Selected_Port, 0);

    Use_Ports("1=sim");
    Board().Set_Loopback_Broken(true);
    Program_Services().os_family = OsFamily::NT;  // only LPT1 is searched there
    EXPECT_FALSE(HuntForLoopback(9, 10));
    EXPECT_EQ(Port_State.Selected_Port, 1);
    Program_Services().os_family = std::nullopt;

    Use_Ports("1=unplugged,2=unplugged,3=unplugged");
    EXPECT_FALSE(HuntForLoopback(9, 10));
    EXPECT_EQ(Port_State.Selected_Port, 3);

    Use_Ports("1=unplugged,2=sim");
    EXPECT_TRUE(HuntForLoopback(9, 10));
    EXPECT_EQ(Port_State.Selected_Port, 2);
}

TEST_F(HuntTest, LoopbackTestNeedsAFollowingPinAndADrivingPin) {
    EXPECT_FALSE(Test_Loopback(9, 10));  // no port selected
    ASSERT_NE(Select_LPT_Port(1), 0);
    for (int level : {0, 1}) {
        DirectWritePrinterPin(9, level);
        EXPECT_TRUE(Test_Loopback(9, 10));
        EXPECT_FALSE(Test_Loopback(9, 11));  // a constant pin fails at either level
        EXPECT_EQ(Board().Pin_Level(9), level == 1);
    }
    EXPECT_FALSE(Test_Loopback(1, 10));  // pin 10 does not follow pin 1

    // Floating data pins: fails without storing the pins or touching them.
    Port_State.Loopback_Out_Pin = 0;
    Port_State.Loopback_In_Pin = 0;
    Set_Control(static_cast<unsigned char>(Get_Control() | Get_Data_Enable_Mask()));
    const std::uint8_t latch = Port().Data_Latch();
    EXPECT_FALSE(Test_Loopback(9, 10));
    EXPECT_EQ(Port_State.Loopback_Out_Pin, 0);
    EXPECT_EQ(Port_State.Loopback_In_Pin, 0);
    EXPECT_EQ(Port().Data_Latch(), latch);
}

TEST_F(HuntTest, SelectionRejectsPortsOutsideOneToThree) {
    ASSERT_NE(Select_LPT_Port(1), 0);
    for (int bad : {0, 4, -1}) {
        EXPECT_EQ(Select_LPT_Port(bad), 0);
        EXPECT_EQ(Port_State.Selected_Port, 0);
    }
    EXPECT_EQ(Select_LPT_Port(2), 0);  // absent
    EXPECT_EQ(Port_State.Selected_Port, 0);
}

TEST_F(HuntTest, UserDecidesAfterAFailedHunt) {
    Port_State.Loopback_Out_Pin = 9;
    Port_State.Loopback_In_Pin = 10;
    EXPECT_EQ(Interactive_Hunt(), HuntOutcome::Found);
    EXPECT_TRUE(dialogs.messages.empty());

    Board().Set_Loopback_Broken(true);
    dialogs.message_answers = {MsgResult::Retry, MsgResult::Retry, MsgResult::Ignore};
    EXPECT_EQ(Interactive_Hunt(), HuntOutcome::Ignored);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].text, "cannot find parallel port loopback connection");
    EXPECT_EQ(dialogs.messages[0].caption, "Osdex Evaluation Kit");
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::AbortRetryIgnore);

    dialogs.message_answers = {MsgResult::Abort};
    EXPECT_EQ(Hunt_Until_Found(9, 10,
                               {"RUDIRUVUVA", "x", MsgIcon::None, MsgButtons::AbortRetryIgnore,
                                MsgResult::Abort}),
              HuntOutcome::Aborted);
    EXPECT_EQ(dialogs.messages.back().caption, "RUDIRUVUVA");
}

}  // namespace
