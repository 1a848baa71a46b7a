// Delay, the exported data-output operations and the developer warning.
#include "port/port_ops.h"
#include "shell/services.h"

#include "port/loopback_hunt.h"
#include "port_fixture.h"

namespace {

using PortOpsTest = PortTest;

TEST_F(PortOpsTest, DelayCountsOnTheInstalledClock) {
    clock.Set(1000);
    Delay_ms(0);
    EXPECT_EQ(clock.Peek(), 1001u);  // one reading, no wait

    clock.Set(0xFFFFFFF0u);  // wraps during the wait
    Delay_ms(100);
    EXPECT_EQ(clock.Peek(), 0xFFFFFFF0u + 101u);  // start reading + 100 polls, no longer

    clock.Set_Step(7);
    clock.Set(0);
    Delay_ms(20);
    EXPECT_EQ(clock.Peek(), 7u * 4u);  // readings at 0, 7, 14, 21
}

TEST_F(PortOpsTest, DeveloperWarningOnceBeforeTheHunt) {
    ASSERT_NE(Select_LPT_Port(1), 0);
    DirectWritePrinterData(0x5A);
    DirectWritePrinterControl(0x04);
    EXPECT_EQ(DirectReadPrinterData(), 0x5A);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Osdex Evaluation Kit");
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Stop);
    EXPECT_EQ(dialogs.messages[0].text, Developer_Warning_Text);
    EXPECT_TRUE(Port_State.Hunt_Called);

    Port_State = TPort_State{};
    Port_State.Hunt_Called = true;  // the hunt has started: never a warning
    DirectReadPrinterData();
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(PortOpsTest, DataAndControlReachThePins) {
    Port_State.Hunt_Called = true;
    ASSERT_NE(Select_LPT_Port(1), 0);
    Disable_LPT_Data_Output();
    DirectWritePrinterData(0x81);  // enables the drivers first
    EXPECT_TRUE(Board().Pin_Level(2));
    EXPECT_TRUE(Board().Pin_Level(9));
    EXPECT_FALSE(Board().Pin_Level(3));
    DirectWritePrinterControl(0x08);  // control bit 3: pin 17 low
    EXPECT_FALSE(Board().Pin_Level(17));
    EXPECT_TRUE(Board().Pin_Level(1));

    // No port selected: reads give 0 and leave the library alone.
    Port_State.Selected_Port = 0;
    const std::uint64_t before = Port().Io_Operations();
    EXPECT_EQ(DirectReadPrinterData(), 0);
    EXPECT_EQ(Port().Io_Operations(), before);
}

TEST_F(PortOpsTest, LowCategoryLogsWritesDecimalThenHex) {
    FakeLogView view;
    Program_Services().activity_log_view = &view;
    Port_State.Hunt_Called = true;
    ASSERT_NE(Select_LPT_Port(1), 0);
    DirectWritePrinterData(200);
    EXPECT_TRUE(view.memo.empty());  // logging off
    Port_State.Log_Mask = Log_Low;
    DirectWritePrinterData(200);
    DirectWritePrinterControl(4);
    ASSERT_EQ(view.memo.size(), 2u);
    EXPECT_EQ(view.memo[0].substr(30), "DirectWritePrinterData(200=0xC8)");
    EXPECT_EQ(view.memo[1].substr(30), "DirectWritePrinterControl(4=0x04)");
    Port_State.Log_Mask = Log_Med | Log_High;
    DirectWritePrinterData(1);
    EXPECT_EQ(view.memo.size(), 2u);
}

TEST_F(PortOpsTest, EcpByteModeOnlyOnLpt1AndLpt2) {
    Use_Ports("1=sim,2=sim,3=sim");
    ASSERT_NE(Select_LPT_Port(3), 0);
    Port_State.Loopback_Settle_ms = 7;
    EXPECT_TRUE(Can_Disable_LPT_Data_Output());
    EXPECT_EQ(Port(3).Ecr(), board::kEcrPowerUp);
    EXPECT_EQ(Port_State.Loopback_Settle_ms, 500);
    EXPECT_TRUE(Port_State.ECP_Byte_Mode);

    Port_State.Selected_Port = 0;
    EXPECT_TRUE(Can_Disable_LPT_Data_Output());

    ASSERT_NE(Select_LPT_Port(2), 0);  // byte mode is now on: selection sets the ECR
    EXPECT_EQ(Port(2).Ecr(), 0x30);
    ASSERT_NE(Select_LPT_Port(1), 0);
    EXPECT_TRUE(Can_Disable_LPT_Data_Output());
    EXPECT_EQ(Port(1).Ecr(), 0x30);
}

}  // namespace
