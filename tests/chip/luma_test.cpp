// Level <-> colour mapping and the self test's reporting.
#include <gtest/gtest.h>

#include <string>

#include "board/osd_levels.h"
#include "chip/luma.h"
#include "chip/program_state.h"
#include "shell/dialogs.h"
#include "shell/services.h"

namespace {

class LumaTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reset_Program_State();
        Program_Services().dialogs = &dialogs_;
    }
    void TearDown() override { Reset_Program_State(); }
    ScopedServices services_;
    ScriptedDialogs dialogs_;
};

TEST_F(LumaTest, LevelsUseTheirLowFourBits) {
    EXPECT_EQ(OSD_To_Color(7), Make_Color(128, 128, 128));
    EXPECT_EQ(OSD_To_Color(15), Make_Color(255, 255, 255));
    EXPECT_EQ(OSD_To_Color(16), OSD_To_Color(0));
    EXPECT_EQ(OSD_To_Color(31), OSD_To_Color(15));
}

TEST_F(LumaTest, ColoursMapByLuma) {
    EXPECT_EQ(Color_To_OSD(Make_Color(0, 0, 255)), 0);
    EXPECT_EQ(Color_To_OSD(Make_Color(0, 0, 254)), 1);
    EXPECT_EQ(Color_To_OSD(Make_Color(255, 0, 0)), 4);
    EXPECT_EQ(Color_To_OSD(0x01FF0000u), 1);  // not transparent: the top byte differs
    EXPECT_EQ(Color_To_OSD(Invalid_Color), 15);
    EXPECT_EQ(Color_To_OSD(0), 1);
}

// The level names the program shows and the IRE the simulated chip puts on its video.
TEST_F(LumaTest, LevelNamesGiveTheIreOfTheBoardsVideo) {
    EXPECT_STREQ(Level_Names[0], "OSDFILL=0 (Transparent)");
    for (int level = 1; level < 16; ++level) {
        const std::string expected = "OSDFILL=" + std::to_string(level) + " (" +
                                     std::to_string(board::kLevelIre[level]) + " IRE)";
        EXPECT_EQ(Level_Names[level], expected);
    }
}

TEST_F(LumaTest, SelfTestShowsOnlyPass) {
    EXPECT_TRUE(Test_RGB_To_Luma());
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, "PASS");
    EXPECT_EQ(dialogs_.messages[0].caption, "Osdex RGB to Luma test");
    EXPECT_EQ(dialogs_.messages[0].buttons, MsgButtons::Ok);
}

TEST_F(LumaTest, SelfTestReportsEachFailureThenFail) {
    // With level 1's grey as the transparent colour, level 1 no longer survives the trip.
    Transparent_Color = Make_Color(32, 32, 32);
    EXPECT_FALSE(Test_RGB_To_Luma());
    ASSERT_GE(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[0].text, "FAIL: OSD 1 to (32 red, 32 green, 32 blue) to OSD 0");
    EXPECT_EQ(dialogs_.messages.back().text, "FAIL");
}

}  // namespace
