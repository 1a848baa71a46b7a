// The library's register bus against the simulated board, through the C interface the
// program uses: registers, quad commands, multi-channel writes, auto-increment, loss of
// sync, the data latch without byte mode, the crosspoint's immunity and the busy bound.
#include <gtest/gtest.h>

#include <string>

#include "board/simulated_board.h"
#include "board/simulated_port.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

void Assign_Bus_Pins() {
    Set_DUT_BUSY_Pin(15, 0);
    Set_DUT_BUSY_LevelSync();
    Set_DUT_WR_Pin(1, 0);
    Set_DUT_RD_Pin(16, 0);
    Set_DUT_ADDR_Pin(14, 1);
    Set_DUT_CS_Pin(17, 1);
    Set_DUT_BUSY_Timeout(10000);
    Clear_DUT_BUSY_Highest_Count();
}

class SimulatedBus : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim"));
        ASSERT_NE(Select_LPT_123(1), 0);
        Set_Register(0x402, 0x30);  // byte mode, so reads see the chip
        Set_Data(0);
        Set_Control(4);
        Assign_Bus_Pins();
        board = vanlpt::testing::Simulated_Board(1);
        port = vanlpt::testing::Simulated_Port(1);
        ASSERT_NE(board, nullptr);
    }
    void TearDown() override { vanlpt::testing::Reset_Library(); }

    static void Write(unsigned a, unsigned d) {
        ASSERT_NE(
            Try_DUT_Register_Write(static_cast<unsigned char>(a), static_cast<unsigned char>(d)), 0)
            << Vanlpt_Last_Error();
    }
    static unsigned Read(unsigned a) {
        unsigned char v = 0;
        EXPECT_NE(Try_DUT_Register_Read(static_cast<unsigned char>(a), &v), 0)
            << Vanlpt_Last_Error();
        return v;
    }
    static void Write_Line(unsigned high_address, unsigned line) {
        Write(high_address, line >> 8);
        Write(high_address + 1, line & 0xFF);
    }

    board::SimulatedBoard* board = nullptr;
    board::SimulatedPort* port = nullptr;
};

TEST_F(SimulatedBus, EveryRegisterReadsBackAsTheChipHoldsIt) {
    for (unsigned a = 0; a < 256; ++a) {
        if ((a < 128 && a % 16 == 6) || a == 133 || a == 134) continue;  // commands, LOSALL
        unsigned v = (a * 37 + 11) & 0xFF;
        Write(a, v);
        unsigned held = board->Chip().Register(a);
        bool line_high = (a < 128 && (a % 16 == 3 || a % 16 == 10 || a % 16 == 12)) || a == 131;
        bool status = a < 128 && a % 16 == 5;
        unsigned expected = line_high ? (v & 1) : status ? (v & 0xFE) : v;
        EXPECT_EQ(held, expected) << "address " << a;
        EXPECT_EQ(Read(a), held) << "address " << a;
    }
}

TEST_F(SimulatedBus, QuadWrittenByCommand2ReadsBackWithCommand1) {
    const unsigned base = 3 * 16;
    Write(base + 0, 0x12);
    Write(base + 1, 0x34);
    Write_Line(base + 3, 300);
    Write(base + 2, 100);
    Write(base + 6, 2);
    EXPECT_EQ(board->Chip().Quad(3, 300, 100), 0x1234);
    EXPECT_EQ(board->Chip().Quad(2, 300, 100), 0);

    Write(base + 0, 0);
    Write(base + 1, 0);
    Write(base + 6, 1);
    EXPECT_EQ(Read(base + 0), 0x12u);
    EXPECT_EQ(Read(base + 1), 0x34u);
}

TEST_F(SimulatedBus, MwriteFillsMaskedChannelsAndAdvancesTheAddress) {
    Write(135, 0x08);  // horizontal increment
    Write(128, 0xAB);
    Write(129, 0xCD);
    Write_Line(131, 5);
    Write(130, 10);
    Write(134, 0x05);
    Write(134, 0x05);
    for (int channel = 0; channel < 8; ++channel) {
        std::uint16_t expected = (channel == 0 || channel == 2) ? 0xABCD : 0;
        EXPECT_EQ(board->Chip().Quad(channel, 5, 10), expected) << channel;
        EXPECT_EQ(board->Chip().Quad(channel, 5, 11), expected) << channel;
    }
    EXPECT_EQ(Read(130), 12u);

    // Vertical increment carries from line 255 into bit 8.
    Write(5, 0x10);
    Write_Line(3, 255);
    Write(6, 2);
    EXPECT_EQ(Read(3), 1u);
    EXPECT_EQ(Read(4), 0u);
}

TEST_F(SimulatedBus, LossOfSyncShowsInStatusAndLosall) {
    board->Chip().Set_Loss_Of_Sync(2, true);
    board->Chip().Set_Loss_Of_Sync(7, true);
    EXPECT_EQ(Read(133), 0x84u);
    EXPECT_EQ(Read(2 * 16 + 5) & 1, 1u);
    EXPECT_EQ(Read(3 * 16 + 5) & 1, 0u);
    Write(2 * 16 + 5, 0x02);  // LOS is the chip's to report, not the program's to clear
    EXPECT_EQ(Read(2 * 16 + 5), 0x03u);
}

TEST_F(SimulatedBus, WithoutByteModeAReadReturnsTheAddressLatch) {
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim"));
    ASSERT_NE(Select_LPT_123(1), 0);
    Assign_Bus_Pins();
    vanlpt::testing::Simulated_Board(1)->Chip().Set_Loss_Of_Sync(0, true);
    EXPECT_EQ(Read(133), 133u);
}

TEST_F(SimulatedBus, RegisterTrafficLeavesTheCrosspointAlone) {
    // Leave the crosspoint selected (pin 17 low) with the data pins floating, as a serial
    // command might; the register cycles must deselect it before any data pin moves.
    Set_Control(0x28);
    const board::XelorCrosspoint& xp = board->Crosspoint();
    const auto shift_before = xp.Shift_Register();
    board::CrosspointRoute routes_before[board::kCrosspointOutputs];
    for (int o = 0; o < board::kCrosspointOutputs; ++o) routes_before[o] = xp.Route(o);
    board->Reset_Counters();

    for (unsigned i = 0; i < 300; ++i) {
        Write(i % 128 == 6 ? 7 : i % 128, i * 7);
        Read(i % 136);
    }
    EXPECT_EQ(xp.Shift_Register(), shift_before);
    for (int o = 0; o < board::kCrosspointOutputs; ++o) EXPECT_EQ(xp.Route(o), routes_before[o]);
    EXPECT_EQ(xp.Counters().bits_shifted, 0u);
    EXPECT_EQ(xp.Counters().resets, 0u);
    EXPECT_EQ(xp.Counters().single_updates + xp.Counters().ignored_updates, 0u);
    EXPECT_EQ(xp.Counters().full_inits, 0u);
    EXPECT_EQ(board->Counters().data_contentions, 0u);
    EXPECT_EQ(DirectReadPrinterPin(17), 1);
}

TEST_F(SimulatedBus, StuckBusyEndsAtTheTimeOut) {
    board->Chip().Set_Stuck_Busy(true);
    Set_DUT_BUSY_Timeout(50);
    port->Reset_Counters();
    EXPECT_EQ(Try_DUT_Register_Write(7, 1), 0);
    EXPECT_EQ(port->Io_Operations(), 7u + 50u);
    EXPECT_EQ(Get_DUT_BUSY_Highest_Count(), 50u);
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("busy"), std::string::npos);
    unsigned char v = 0x99;
    EXPECT_EQ(Try_DUT_Register_Read(7, &v), 0);
    EXPECT_EQ(v, 0x99);

    board->Chip().Set_Stuck_Busy(false);
    Clear_DUT_BUSY_Highest_Count();
    Write(7, 1);
    EXPECT_LE(Get_DUT_BUSY_Highest_Count(), 2u);
}

TEST_F(SimulatedBus, PortOperationsPerCycleAtOneBusyPoll) {
    board->Chip().Set_Busy_Polls(0, 0);
    Write(7, 1);  // settle the pins into their between-cycles state
    port->Reset_Counters();
    Write(7, 0x42);
    EXPECT_EQ(port->Io_Operations(), 8u);
    port->Reset_Counters();
    EXPECT_EQ(Read(7), 0x42u);
    EXPECT_EQ(port->Io_Operations(), 9u);
}

}  // namespace
