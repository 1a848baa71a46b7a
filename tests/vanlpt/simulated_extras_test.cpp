// The simulated board's extras through the C interface: a channel's frame and its source,
// the faults and their end, and refusals when LPT1 is no simulated board.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "vanlpt/board_state.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

constexpr std::uint32_t kUntouched = 0x12345678;

bool Says(const std::string& part) {
    return std::string(Vanlpt_Last_Error()).find(part) != std::string::npos;
}

class SimulatedExtras : public ::testing::Test {
protected:
    void SetUp() override { Open("1=sim"); }
    void TearDown() override { vanlpt::testing::Reset_Library(); }

    void Open(const std::string& mapping) {
        ASSERT_TRUE(vanlpt::testing::Reset_Library(mapping));
        ASSERT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
        Set_Register(0x402, 0x30);  // byte mode: reads see the chip
        Set_Control(4);
        Set_DUT_WR_Pin(1, 0);
        Set_DUT_RD_Pin(16, 0);
        Set_DUT_ADDR_Pin(14, 1);
        Set_DUT_CS_Pin(17, 1);
        Set_DUT_BUSY_Pin(15, 0);
        Set_DUT_BUSY_Timeout(100);
    }
    // Pixel (x, y) of the channel's frame; kUntouched when the call fails.
    std::uint32_t Pixel(int channel, int x, int y, int* changed = nullptr) {
        std::vector<std::uint32_t> frame(VANLPT_FRAME_WIDTH * VANLPT_FRAME_HEIGHT, kUntouched);
        Vanlpt_Channel_Frame(channel, 0, frame.data(), changed);
        return frame[static_cast<std::size_t>(y) * VANLPT_FRAME_WIDTH + x];
    }
    static unsigned Fault(int fault) {
        unsigned value = 99;
        EXPECT_NE(Vanlpt_Simulated_Fault(fault, &value), 0) << Vanlpt_Last_Error();
        return value;
    }
    static unsigned Read(unsigned char address) {
        unsigned char value = 0;
        return Try_DUT_Register_Read(address, &value) != 0 ? value : 1000;
    }
};

TEST_F(SimulatedExtras, AFrameShowsTheBusWritesAndSaysWhetherItChanged) {
    int changed = -1;
    EXPECT_EQ(Pixel(0, 0, 0, &changed), 0xFFBFBFBFU);  // colour bars at the start
    EXPECT_EQ(changed, 1);
    Pixel(0, 0, 0, &changed);
    EXPECT_EQ(changed, 0);
    // Level 15 in the first quad of line 0, moved 8 right and 8 down.
    for (auto [address, data] : {std::pair{0, 0xF0}, {6, 2}, {7, 136}, {8, 136}})
        ASSERT_NE(Try_DUT_Register_Write(address, data), 0) << Vanlpt_Last_Error();
    EXPECT_EQ(Pixel(0, 8, 8, &changed), 0xFFFFFFFFU);
    EXPECT_EQ(changed, 1);

    const std::uint32_t red = 0xFFFF0000;
    ASSERT_NE(Vanlpt_Set_Video_Source(2, VANLPT_VIDEO_PICTURE, &red, 1, 1), 0);
    EXPECT_EQ(Vanlpt_Video_Source(2), VANLPT_VIDEO_PICTURE);
    EXPECT_EQ(Pixel(2, 711, 511), red);
}

TEST_F(SimulatedExtras, BadChannelsSourcesAndPicturesChangeNothing) {
    const std::uint32_t red = 0xFFFF0000;
    EXPECT_EQ(Vanlpt_Set_Video_Source(8, VANLPT_VIDEO_BLACK, nullptr, 0, 0), 0);
    EXPECT_TRUE(Says("no channel 8"));
    EXPECT_EQ(Vanlpt_Set_Video_Source(0, 5, nullptr, 0, 0), 0);
    EXPECT_TRUE(Says("no video source 5"));
    EXPECT_EQ(Vanlpt_Set_Video_Source(0, VANLPT_VIDEO_PICTURE, nullptr, 1, 1), 0);
    EXPECT_EQ(Vanlpt_Set_Video_Source(0, VANLPT_VIDEO_PICTURE, &red, 0, 1), 0);
    // Refused by its size alone: the one pixel behind it is never read.
    EXPECT_EQ(Vanlpt_Set_Video_Source(0, VANLPT_VIDEO_PICTURE, &red, 1 << 14, 1 << 13), 0);
    EXPECT_TRUE(Says("larger than"));
    EXPECT_EQ(Vanlpt_Video_Source(0), VANLPT_VIDEO_BARS);
    EXPECT_EQ(Pixel(-1, 0, 0), kUntouched);
    EXPECT_EQ(Vanlpt_Channel_Frame(0, 0, nullptr, nullptr), 0);
}

TEST_F(SimulatedExtras, WithoutASimulatedBoardOnLpt1NothingIsShownOrSwitched) {
    for (const char* mapping : {"1=none", "1=unplugged"}) {
        ASSERT_TRUE(vanlpt::testing::Reset_Library(mapping));
        EXPECT_EQ(Pixel(0, 0, 0), kUntouched) << mapping;
        EXPECT_TRUE(Says("is no simulated board")) << Vanlpt_Last_Error();
        EXPECT_EQ(Vanlpt_Set_Video_Source(0, VANLPT_VIDEO_BLACK, nullptr, 0, 0), 0);
        EXPECT_EQ(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_STUCK_BUSY, 1), 0);
        EXPECT_TRUE(Says("faults to switch")) << Vanlpt_Last_Error();
    }
}

TEST_F(SimulatedExtras, FaultsActOnTheBusAndEndWithTheLibrary) {
    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_LOSS_OF_SYNC, 0x05), 0);
    EXPECT_EQ(Read(133), 0x05U);
    EXPECT_EQ(Pixel(0, 0, 0), 0xFF000000U);  // the no-signal screen
    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_READ_FLIPS, 0x81), 0);
    EXPECT_EQ(Read(7), 0x01U);  // HOFFSET 128 with D7 and D0 inverted
    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_STUCK_BUSY, 1), 0);
    EXPECT_EQ(Try_DUT_Register_Write(7, 1), 0);
    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_UNPLUGGED, 1), 0);
    DirectWritePrinterPin(9, 0);
    EXPECT_EQ(DirectReadPrinterPin(10), 1);  // no loopback without the board
    EXPECT_EQ(Pixel(1, 0, 0), 0xFFBFBFBFU);  // while the monitor still shows it

    for (auto [fault, value] : {std::pair{VANLPT_FAULT_LOSS_OF_SYNC, 256U},
                                {VANLPT_FAULT_UNPLUGGED, 2U},
                                {VANLPT_FAULT_READ_FLIPS, 0x100U},
                                {0, 0U},
                                {5, 1U}})
        EXPECT_EQ(Vanlpt_Set_Simulated_Fault(fault, value), 0) << fault << " " << value;
    EXPECT_EQ(Fault(VANLPT_FAULT_LOSS_OF_SYNC), 0x05U);  // refusals change nothing
    EXPECT_EQ(Fault(VANLPT_FAULT_READ_FLIPS), 0x81U);

    Vanlpt_Shutdown();
    for (int fault = VANLPT_FAULT_LOSS_OF_SYNC; fault <= VANLPT_FAULT_READ_FLIPS; ++fault)
        EXPECT_EQ(Fault(fault), 0U) << fault;
    ASSERT_NE(Select_LPT_123(1), 0);
    EXPECT_EQ(Read(8), 128U);  // reads are true again
}

TEST_F(SimulatedExtras, ABoardKeptInAFileNeverKeepsAFault) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("bench.osdex").toStdString();
    Open("1=sim:" + path);
    ASSERT_NE(Try_DUT_Register_Write(16 + 7, 99), 0) << Vanlpt_Last_Error();
    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_LOSS_OF_SYNC, 0xFF), 0);
    vanlpt::testing::Reset_Library();  // saves the board, faults and all, as an exit would

    std::stringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    vanlpt::BoardState state;
    std::string error;
    ASSERT_TRUE(vanlpt::Decode_Board_State(bytes.str(), &state, &error)) << error;
    EXPECT_EQ(state.registers[16 + 7], 99);
    EXPECT_EQ(state.registers[133], 0);
    for (int c = 0; c < 8; ++c) EXPECT_EQ(state.registers[16 * c + 5] & 1, 0) << c;
    Open("1=sim:" + path);
    EXPECT_EQ(Fault(VANLPT_FAULT_LOSS_OF_SYNC), 0U);
}

}  // namespace
