// The Osdex chip's registers and display memory, reached through real bus cycles.
#include <gtest/gtest.h>

#include "tests/board/pin_driver.h"

namespace board {
namespace {

using testing::PinDriver;

class OsdexChipTest : public ::testing::Test {
protected:
    OsdexChipTest() { bus.Enter_Byte_Mode(); }

    // Channel register of channel n.
    static std::uint8_t Reg(int channel, unsigned offset) {
        return static_cast<std::uint8_t>(16 * channel + offset);
    }
    void Set_Position(int channel, unsigned line, unsigned column) {
        bus.Write(Reg(channel, kQPLINEH), static_cast<std::uint8_t>(line >> 8));
        bus.Write(Reg(channel, kQPLINEL), static_cast<std::uint8_t>(line & 0xFF));
        bus.Write(Reg(channel, kQPHORIZ), static_cast<std::uint8_t>(column));
    }
    void Write_Quad(int channel, unsigned line, unsigned column, std::uint16_t quad) {
        bus.Write(Reg(channel, kQPH), static_cast<std::uint8_t>(quad >> 8));
        bus.Write(Reg(channel, kQPL), static_cast<std::uint8_t>(quad & 0xFF));
        Set_Position(channel, line, column);
        bus.Write(Reg(channel, kCOMMAND), kCommandWriteQuad);
    }

    SimulatedBoard b;
    SimulatedPort port{&b};
    PinDriver bus{port};
};

TEST_F(OsdexChipTest, PowerUpStateAndPlainRegisters) {
    for (int channel = 0; channel < kChannels; ++channel) {
        EXPECT_EQ(bus.Read(Reg(channel, kHOFFSET)), 128);
        EXPECT_EQ(bus.Read(Reg(channel, kVOFFSET)), 128);
        EXPECT_EQ(bus.Read(Reg(channel, kSTATUS)), 0);
    }
    EXPECT_EQ(bus.Read(kCONTROL), 0);
    EXPECT_EQ(bus.Read(kLOSALL), 0);
    EXPECT_EQ(b.Chip().Quad(7, 511, 177), 0);

    for (std::uint8_t address : {7, 0x29, 130, 200, 255}) {
        bus.Write(address, 0xA5);
        EXPECT_EQ(bus.Read(address), 0xA5) << int(address);
    }
    // Line-high registers hold bit 8 only.
    bus.Write(Reg(3, kQPLINEH), 3);
    bus.Write(Reg(3, kSHRENDH), 0xFE);
    bus.Write(kMultiQPLINEH, 0xFF);
    EXPECT_EQ(bus.Read(Reg(3, kQPLINEH)), 1);
    EXPECT_EQ(bus.Read(Reg(3, kSHRENDH)), 0);
    EXPECT_EQ(bus.Read(kMultiQPLINEH), 1);

    b.Chip().Set_Register(Reg(1, kHOFFSET), 7);
    b.Power_Up();
    EXPECT_EQ(b.Chip().Register(Reg(1, kHOFFSET)), 128);
}

TEST_F(OsdexChipTest, LossOfSyncIsReadOnlyInStatusAndLosall) {
    bus.Write(Reg(4, kSTATUS), 0xFF);
    EXPECT_EQ(bus.Read(Reg(4, kSTATUS)), 0xFE);  // bit 0 not writable
    b.Chip().Set_Loss_Of_Sync(4, true);
    b.Chip().Set_Loss_Of_Sync(7, true);
    EXPECT_EQ(bus.Read(Reg(4, kSTATUS)), 0xFF);
    EXPECT_EQ(bus.Read(Reg(7, kSTATUS)), 0x01);
    EXPECT_EQ(bus.Read(kLOSALL), 0x90);
    bus.Write(kLOSALL, 0x00);  // read-only
    EXPECT_EQ(bus.Read(kLOSALL), 0x90);
    b.Chip().Set_Loss_Of_Sync(4, false);
    EXPECT_EQ(bus.Read(kLOSALL), 0x80);
    EXPECT_EQ(bus.Read(Reg(4, kSTATUS)), 0xFE);
}

TEST_F(OsdexChipTest, WriteAndReadQuadKeepPixelOrder) {
    Write_Quad(2, 300, 10, 0x1234);
    EXPECT_EQ(b.Chip().Quad(2, 300, 10), 0x1234);
    EXPECT_EQ(b.Chip().Pixel(2, 300, 40), 1U);  // pixel 0: high nibble of QPH
    EXPECT_EQ(b.Chip().Pixel(2, 300, 43), 4U);  // pixel 3: low nibble of QPL
    EXPECT_EQ(b.Chip().Quad(3, 300, 10), 0);    // other channels untouched
    EXPECT_EQ(b.Chip().Quad(2, 44, 10), 0);     // line bit 8 counts

    b.Chip().Set_Pixel(5, 0, 6, 9);  // behind the program's back: QPL bits 7..4 of column 1
    EXPECT_EQ(b.Chip().Quad(5, 0, 1), 0x0090);
    Set_Position(5, 0, 1);
    bus.Write(Reg(5, kCOMMAND), kCommandReadQuad);
    EXPECT_EQ(bus.Read(Reg(5, kQPH)), 0x00);
    EXPECT_EQ(bus.Read(Reg(5, kQPL)), 0x90);
    EXPECT_EQ(b.Chip().Counters().quads_read, 1U);
}

TEST_F(OsdexChipTest, AutoIncrementFollowsStatusBits) {
    bus.Write(Reg(0, kSTATUS), kStatusHinc);
    Write_Quad(0, 5, 10, 0x1111);
    EXPECT_EQ(bus.Read(Reg(0, kQPHORIZ)), 11);
    bus.Write(Reg(0, kCOMMAND), kCommandWriteQuad);
    EXPECT_EQ(b.Chip().Quad(0, 5, 11), 0x1111);
    EXPECT_EQ(b.Chip().Quad_Column(0), 12U);
    EXPECT_EQ(b.Chip().Quad_Line(0), 5U);

    // Vertical: the 9-bit line carries into QPLINEH and wraps from 511 to 0.
    bus.Write(Reg(1, kSTATUS), kStatusVinc);
    Set_Position(1, 255, 0);
    bus.Write(Reg(1, kCOMMAND), kCommandReadQuad);
    EXPECT_EQ(bus.Read(Reg(1, kQPLINEH)), 1);
    EXPECT_EQ(bus.Read(Reg(1, kQPLINEL)), 0);
    Set_Position(1, 511, 0);
    bus.Write(Reg(1, kCOMMAND), kCommandWriteQuad);
    EXPECT_EQ(b.Chip().Quad_Line(1), 0U);
    EXPECT_EQ(b.Chip().Quad_Column(1), 0U);

    // Neither bit: the address stays, also for unknown command codes.
    bus.Write(Reg(1, kSTATUS), kStatusVinc);
    bus.Write(Reg(1, kCOMMAND), 7);
    EXPECT_EQ(b.Chip().Quad_Line(1), 0U);
    bus.Write(Reg(1, kSTATUS), 0);
    bus.Write(Reg(1, kCOMMAND), kCommandWriteQuad);
    EXPECT_EQ(b.Chip().Quad_Line(1), 0U);
}

TEST_F(OsdexChipTest, ColumnsBeyondTheLineTouchNoMemory) {
    bus.Write(Reg(0, kSTATUS), kStatusHinc);
    Write_Quad(0, 0, 177, 0xFFFF);
    EXPECT_EQ(b.Chip().Quad(0, 0, 177), 0xFFFF);
    bus.Write(Reg(0, kCOMMAND), kCommandWriteQuad);  // column 178: nothing there
    EXPECT_EQ(b.Chip().Quad(0, 1, 0), 0);
    EXPECT_EQ(b.Chip().Counters().out_of_range, 1U);
    bus.Write(Reg(0, kCOMMAND), kCommandReadQuad);  // column 179 reads level 0
    EXPECT_EQ(bus.Read(Reg(0, kQPH)), 0);
    Set_Position(0, 0, 255);
    bus.Write(Reg(0, kCOMMAND), kCommandWriteQuad);
    EXPECT_EQ(b.Chip().Quad_Column(0), 0U);  // 8-bit column wraps
}

TEST_F(OsdexChipTest, MwriteWritesEveryMaskedChannelAndAdvances) {
    bus.Write(kMultiQPH, 0xAB);
    bus.Write(kMultiQPL, 0xCD);
    bus.Write(kCONTROL, kStatusHinc);
    bus.Write(kMultiQPLINEH, 1);
    bus.Write(kMultiQPLINEL, 44);
    bus.Write(kMultiQPHORIZ, 20);
    bus.Write(kMWRITE, 0x05);
    for (int channel = 0; channel < kChannels; ++channel) {
        EXPECT_EQ(b.Chip().Quad(channel, 300, 20), (channel == 0 || channel == 2) ? 0xABCD : 0)
            << channel;
    }
    EXPECT_EQ(bus.Read(kMultiQPHORIZ), 21);
    EXPECT_EQ(bus.Read(Reg(0, kQPH)), 0);      // channel data registers untouched
    EXPECT_EQ(bus.Read(Reg(0, kQPHORIZ)), 0);  // and the channel's own address
    bus.Write(kMWRITE, 0x00);                  // empty mask: no write, still advances
    EXPECT_EQ(b.Chip().Quad(0, 300, 21), 0);
    EXPECT_EQ(b.Chip().Quad_Column(8), 22U);
    bus.Write(kCONTROL, kStatusVinc);
    bus.Write(kMWRITE, 0x80);
    EXPECT_EQ(b.Chip().Quad(7, 300, 22), 0xABCD);
    EXPECT_EQ(b.Chip().Quad_Line(8), 301U);
    EXPECT_EQ(b.Chip().Counters().memory_commands, 3U);
    EXPECT_EQ(b.Chip().Counters().quads_written, 3U);
}

TEST_F(OsdexChipTest, DisplayedQuadHonoursBlankAndSharing) {
    b.Chip().Set_Quad(1, 100, 3, 0x1111);
    b.Chip().Set_Quad(3, 100, 3, 0x3333);
    b.Chip().Set_Quad(3, 300, 3, 0x3030);
    EXPECT_EQ(b.Chip().Displayed_Quad(1, 100, 3), 0x1111);
    // Channel 1 shows channel 3's lines 50..256.
    bus.Write(Reg(1, kSHRSRC), 0x08);
    bus.Write(Reg(1, kSHRBEGH), 0);
    bus.Write(Reg(1, kSHRBEGL), 50);
    bus.Write(Reg(1, kSHRENDH), 1);
    bus.Write(Reg(1, kSHRENDL), 0);
    EXPECT_EQ(b.Chip().Displayed_Quad(1, 100, 3), 0x3333);
    EXPECT_EQ(b.Chip().Displayed_Quad(1, 300, 3), 0);  // beyond the shared range
    // With two sources set, the higher channel is shown.
    b.Chip().Set_Quad(2, 100, 3, 0x2222);
    bus.Write(Reg(1, kSHRSRC), 0x0C);
    EXPECT_EQ(b.Chip().Displayed_Quad(1, 100, 3), 0x3333);
    bus.Write(Reg(1, kSHRSRC), 0x05);
    EXPECT_EQ(b.Chip().Displayed_Quad(1, 100, 3), 0x2222);
    bus.Write(Reg(1, kSTATUS), kStatusBlank);
    EXPECT_EQ(b.Chip().Displayed_Quad(1, 100, 3), 0);
}

}  // namespace
}  // namespace board
