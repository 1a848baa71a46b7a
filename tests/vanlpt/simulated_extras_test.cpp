// The simulated board's extras through the C interface: a channel's frame and its video
// source, the faults and their end, and what is refused or reported when LPT1 is no
// simulated board.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/simulated_board.h"
#include "vanlpt/board_state.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

constexpr std::size_t kFramePixels = VANLPT_FRAME_WIDTH * VANLPT_FRAME_HEIGHT;
constexpr std::uint32_t kUntouched = 0x12345678;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
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
    // The frame of a channel, or all kUntouched when the call fails.
    std::vector<std::uint32_t> Frame(int channel, int* changed = nullptr,
                                     unsigned frame_number = 0) {
        std::vector<std::uint32_t> pixels(kFramePixels, kUntouched);
        last_result = Vanlpt_Channel_Frame(channel, frame_number, pixels.data(), changed);
        return pixels;
    }
    static std::uint32_t At(const std::vector<std::uint32_t>& frame, int x, int y) {
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

    int last_result = 0;
};

TEST_F(SimulatedExtras, AFrameShowsTheBusWritesAndSaysWhetherItChanged) {
    int changed = -1;
    auto frame = Frame(0, &changed);
    ASSERT_EQ(last_result, 1) << Vanlpt_Last_Error();
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(At(frame, 0, 0), 0xFFBFBFBFU);  // colour bars at the start
    Frame(0, &changed);
    EXPECT_EQ(changed, 0);

    // Level 15 in the first quad of line 0, then the picture 8 right and 8 down.
    ASSERT_NE(Try_DUT_Register_Write(0, 0xF0), 0) << Vanlpt_Last_Error();
    ASSERT_NE(Try_DUT_Register_Write(6, 2), 0);
    ASSERT_NE(Try_DUT_Register_Write(7, 136), 0);
    ASSERT_NE(Try_DUT_Register_Write(8, 136), 0);
    frame = Frame(0, &changed);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(At(frame, 8, 8), 0xFFFFFFFFU);
    EXPECT_EQ(At(frame, 0, 0), 0xFFBFBFBFU);
    Frame(1, &changed);
    EXPECT_EQ(changed, 1);  // each channel on its own: channel 1's first frame
}

TEST_F(SimulatedExtras, SourcesAndPicturesAreCheckedBeforeAnythingChanges) {
    const std::uint32_t red = 0xFFFF0000;
    ASSERT_NE(Vanlpt_Set_Video_Source(2, VANLPT_VIDEO_PICTURE, &red, 1, 1), 0)
        << Vanlpt_Last_Error();
    EXPECT_EQ(Vanlpt_Video_Source(2), VANLPT_VIDEO_PICTURE);
    EXPECT_EQ(At(Frame(2), 711, 511), red);
    ASSERT_NE(Vanlpt_Set_Video_Source(3, VANLPT_VIDEO_RAMP, nullptr, 0, 0), 0);
    EXPECT_EQ(At(Frame(3), 711, 0), 0xFFFFFFFFU);

    const struct {
        int channel, source;
        const std::uint32_t* picture;
        int width, height;
        const char* message;
    } refused[] = {
        {8, VANLPT_VIDEO_BLACK, nullptr, 0, 0, "no channel 8"},
        {-1, VANLPT_VIDEO_BLACK, nullptr, 0, 0, "no channel -1"},
        {2, 5, nullptr, 0, 0, "no video source 5"},
        {2, VANLPT_VIDEO_PICTURE, nullptr, 1, 1, "needs its pixels"},
        {2, VANLPT_VIDEO_PICTURE, &red, 0, 1, "has none to show"},
        {2, VANLPT_VIDEO_PICTURE, &red, 1 << 14, 1 << 13, "larger than"},  // never read
    };
    for (const auto& r : refused) {
        EXPECT_EQ(Vanlpt_Set_Video_Source(r.channel, r.source, r.picture, r.width, r.height), 0);
        EXPECT_TRUE(Contains(Vanlpt_Last_Error(), r.message)) << Vanlpt_Last_Error();
    }
    EXPECT_EQ(Vanlpt_Video_Source(2), VANLPT_VIDEO_PICTURE);
    EXPECT_EQ(Vanlpt_Video_Source(9), -1);

    EXPECT_EQ(Frame(8)[0], kUntouched);
    EXPECT_EQ(last_result, 0);
    EXPECT_EQ(Vanlpt_Channel_Frame(0, 0, nullptr, nullptr), 0);
    EXPECT_TRUE(Contains(Vanlpt_Last_Error(), "no pixels")) << Vanlpt_Last_Error();
}

TEST_F(SimulatedExtras, WithoutASimulatedBoardOnLpt1NothingIsShownOrSwitched) {
    for (const char* mapping : {"1=none", "1=unplugged"}) {
        ASSERT_TRUE(vanlpt::testing::Reset_Library(mapping));
        EXPECT_EQ(Frame(0)[0], kUntouched) << mapping;
        EXPECT_EQ(last_result, 0);
        EXPECT_TRUE(Contains(Vanlpt_Last_Error(), "is no simulated board")) << Vanlpt_Last_Error();
        EXPECT_EQ(Vanlpt_Set_Video_Source(0, VANLPT_VIDEO_BLACK, nullptr, 0, 0), 0);
        EXPECT_EQ(Vanlpt_Video_Source(0), -1);
        unsigned value = 0;
        EXPECT_EQ(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_STUCK_BUSY, 1), 0);
        EXPECT_EQ(Vanlpt_Simulated_Fault(VANLPT_FAULT_STUCK_BUSY, &value), 0);
        EXPECT_TRUE(Contains(Vanlpt_Last_Error(), "faults to switch")) << Vanlpt_Last_Error();
    }
}

TEST_F(SimulatedExtras, FaultsActOnTheBusAndTheVideo) {
    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_LOSS_OF_SYNC, 0x05), 0);
    EXPECT_EQ(Fault(VANLPT_FAULT_LOSS_OF_SYNC), 0x05U);
    EXPECT_EQ(Read(133), 0x05U);
    EXPECT_EQ(Read(32 + 5) & 1U, 1U);            // channel 2's STATUS
    EXPECT_EQ(At(Frame(0), 0, 0), 0xFF000000U);  // the no-signal screen
    EXPECT_EQ(At(Frame(1), 0, 0), 0xFFBFBFBFU);

    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_READ_FLIPS, 0x81), 0);
    EXPECT_EQ(Read(7), 0x01U);  // HOFFSET 128 with D7 and D0 inverted
    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_READ_FLIPS, 0), 0);

    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_STUCK_BUSY, 1), 0);
    EXPECT_EQ(Try_DUT_Register_Write(7, 1), 0);
    EXPECT_EQ(Fault(VANLPT_FAULT_STUCK_BUSY), 1U);
    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_STUCK_BUSY, 0), 0);

    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_UNPLUGGED, 1), 0);
    DirectWritePrinterPin(9, 0);
    EXPECT_EQ(DirectReadPrinterPin(10), 1);  // the loopback is gone with the board
    EXPECT_EQ(Fault(VANLPT_FAULT_UNPLUGGED), 1U);
    EXPECT_EQ(At(Frame(1), 0, 0), 0xFFBFBFBFU);  // the monitor still hangs on the board
    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_UNPLUGGED, 0), 0);
    EXPECT_EQ(DirectReadPrinterPin(10), 0);

    const std::pair<int, unsigned> refused[] = {{VANLPT_FAULT_LOSS_OF_SYNC, 256},
                                                {VANLPT_FAULT_UNPLUGGED, 2},
                                                {VANLPT_FAULT_STUCK_BUSY, 7},
                                                {VANLPT_FAULT_READ_FLIPS, 0x100},
                                                {0, 0},
                                                {5, 1}};
    for (auto [fault, value] : refused) {
        EXPECT_EQ(Vanlpt_Set_Simulated_Fault(fault, value), 0) << fault << " " << value;
        EXPECT_NE(std::string(Vanlpt_Last_Error()), "");
    }
    EXPECT_EQ(Fault(VANLPT_FAULT_LOSS_OF_SYNC), 0x05U);  // refusals change nothing
    EXPECT_EQ(Fault(VANLPT_FAULT_UNPLUGGED), 0U);
    EXPECT_EQ(Vanlpt_Simulated_Fault(VANLPT_FAULT_UNPLUGGED, nullptr), 0);
}

TEST_F(SimulatedExtras, ShutdownEndsEveryFault) {
    for (int fault : {VANLPT_FAULT_UNPLUGGED, VANLPT_FAULT_STUCK_BUSY})
        ASSERT_NE(Vanlpt_Set_Simulated_Fault(fault, 1), 0);
    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_LOSS_OF_SYNC, 0xFF), 0);
    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_READ_FLIPS, 0xFF), 0);
    Vanlpt_Shutdown();
    for (int fault = VANLPT_FAULT_LOSS_OF_SYNC; fault <= VANLPT_FAULT_READ_FLIPS; ++fault)
        EXPECT_EQ(Fault(fault), 0U) << fault;
    ASSERT_NE(Select_LPT_123(1), 0);
    EXPECT_EQ(Read(7), 128U);
}

TEST_F(SimulatedExtras, ABoardKeptInAFileNeverKeepsAFault) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("bench.osdex").toStdString();
    Open("1=sim:" + path);
    ASSERT_NE(Try_DUT_Register_Write(16 + 7, 99), 0) << Vanlpt_Last_Error();
    ASSERT_NE(Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_LOSS_OF_SYNC, 0xFF), 0);
    // The process ending without Vanlpt_Shutdown saves the board as it is, faults and all.
    vanlpt::testing::Reset_Library("1=sim");

    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    vanlpt::BoardState state;
    std::string error;
    ASSERT_TRUE(vanlpt::Decode_Board_State(bytes.str(), &state, &error)) << error;
    EXPECT_EQ(state.registers[16 + 7], 99);
    EXPECT_EQ(state.registers[133], 0);
    for (int c = 0; c < 8; ++c) EXPECT_EQ(state.registers[16 * c + 5] & 1, 0) << c;

    Open("1=sim:" + path);
    EXPECT_EQ(Fault(VANLPT_FAULT_LOSS_OF_SYNC), 0U);
    EXPECT_EQ(Read(16 + 7), 99U);
}

}  // namespace
