// The connector pin map.
#include "port/pin_map.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(PinMap, LabelsAndInitialCaptions) {
    EXPECT_EQ(Pin_Label(1), "1) Osdex ~WR");
    EXPECT_EQ(Pin_Label(3), "3) Osdex D1 / Xelor ~Update");
    EXPECT_EQ(Pin_Label(9), "9) Osdex D7 / loopback");
    EXPECT_EQ(Pin_Label(17), "17) Osdex CS / Xelor ~CE");
    EXPECT_EQ(Pin_Label(25), "25) ground");
    EXPECT_EQ(Initial_Pin_Caption(1), "1) unused output");
    EXPECT_EQ(Initial_Pin_Caption(10), "10) unused input");
    EXPECT_EQ(Initial_Pin_Caption(15), "15) unused input");
    EXPECT_EQ(Initial_Pin_Caption(16), "16) unused output");
    EXPECT_EQ(Initial_Pin_Caption(18), "18) ground");
    for (int bad : {0, -1, 26}) {
        EXPECT_THROW(Pin_Label(bad), std::out_of_range);
        EXPECT_THROW(Initial_Pin_Caption(bad), std::out_of_range);
        EXPECT_THROW(Pin_Level(bad, 0, 0, 0), std::out_of_range);
    }
    EXPECT_THROW(Pin_Level(18, 0, 0, 0), std::out_of_range);  // ground has no level
}

TEST(PinMap, TablesAndListTexts) {
    EXPECT_EQ(Pin_Table_Index(Output_Pin_Table, 14), 10);
    EXPECT_EQ(Pin_Table_Index(Output_Pin_Table, 15), -1);
    EXPECT_EQ(Pin_From_List_Text("none"), 0);
    EXPECT_EQ(Pin_From_List_Text("14"), 14);
    EXPECT_EQ(Pin_From_List_Text("9) Osdex D7"), 9);
    EXPECT_GT(Pin_From_List_Text("99999999999999999999"), 0);  // no overflow
}

}  // namespace
