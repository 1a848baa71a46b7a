// The port target sim:FILE: a simulated board that starts as its file left it, goes back to
// the file at the library's normal end, is locked to one process, and is never mixed with a
// damaged file.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "board/simulated_board.h"
#include "vanlpt/board_state_file.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

class StateFilePort : public ::testing::Test {
protected:
    void TearDown() override { vanlpt::testing::Reset_Library(); }

    std::string Mapping() const { return "1=sim:" + path; }
    std::string Bytes() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    QTemporaryDir folder;
    std::string path = folder.filePath("bench.osdex").toStdString();
};

TEST_F(StateFilePort, TheBoardComesBackAsTheLastRunLeftIt) {
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    ASSERT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
    board::SimulatedBoard* b = vanlpt::testing::Simulated_Board(1);
    EXPECT_EQ(b->Chip().Register(7), 128);  // no file yet: powered up
    b->Chip().Set_Register(7, 140);
    b->Chip().Set_Pixel(3, 200, 100, 9);
    b->Crosspoint().Set_Route(4, {true, 17, 2});
    Vanlpt_Shutdown();
    Vanlpt_Shutdown();  // twice is harmless

    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    ASSERT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
    b = vanlpt::testing::Simulated_Board(1);
    EXPECT_EQ(b->Chip().Register(7), 140);
    EXPECT_EQ(b->Chip().Pixel(3, 200, 100), 9u);
    EXPECT_EQ(b->Crosspoint().Route(4), (board::CrosspointRoute{true, 17, 2}));
    EXPECT_EQ(std::string(Vanlpt_Port_Description(1)), "LPT1: simulated board in " + path);
}

TEST_F(StateFilePort, ASecondProcessOnTheSameFileIsRefused) {
    std::string error;
    const auto other_process = vanlpt::BoardStateFile::Lock(path, &error);
    ASSERT_NE(other_process, nullptr) << error;
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    EXPECT_EQ(Select_LPT_123(1), 0);
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("in use by another program"), std::string::npos)
        << Vanlpt_Last_Error();
    ::testing::internal::CaptureStderr();
    const std::string told = Vanlpt_Check_Ports();
    ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("in use by another program"), std::string::npos) << told;
}

TEST_F(StateFilePort, ADamagedFileIsRefusedAndLeftAsItWas) {
    { std::ofstream(path, std::ios::binary) << "OSDXSTAT and then something else"; }
    const std::string before = Bytes();
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    EXPECT_EQ(Select_LPT_123(1), 0);
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("bench.osdex"), std::string::npos);
    Vanlpt_Shutdown();
    EXPECT_EQ(Bytes(), before);
}

}  // namespace
