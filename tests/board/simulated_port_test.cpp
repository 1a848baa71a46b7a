// The PC port as the board sees it: inversions, input pins, ECR and data direction.
#include <gtest/gtest.h>

#include "tests/board/pin_driver.h"

namespace board {
namespace {

using testing::PinDriver;

TEST(SimulatedPort, ControlBitsDrivePinsWithTheConnectorInversions) {
    SimulatedBoard b;
    SimulatedPort port(&b);
    port.Write_Control(0x00);
    EXPECT_TRUE(b.Pin_Level(1));
    EXPECT_TRUE(b.Pin_Level(14));
    EXPECT_FALSE(b.Pin_Level(16));
    EXPECT_TRUE(b.Pin_Level(17));
    port.Write_Control(0x0F);
    EXPECT_FALSE(b.Pin_Level(1));
    EXPECT_FALSE(b.Pin_Level(14));
    EXPECT_TRUE(b.Pin_Level(16));
    EXPECT_FALSE(b.Pin_Level(17));
    EXPECT_EQ(port.Read_Control(), 0x0F);
    port.Write_Data(0x81);
    EXPECT_TRUE(b.Pin_Level(2));
    EXPECT_FALSE(b.Pin_Level(3));
    EXPECT_TRUE(b.Pin_Level(9));
}

TEST(SimulatedPort, StatusShowsInputPinsLoopbackAndFixedLowBits) {
    SimulatedBoard b;
    SimulatedPort port(&b);
    port.Write_Data(0x80);
    // Ready (bit 3), loopback high (bit 6), pin 11 high reads 0 (bit 7), bits 1..2 fixed 1.
    EXPECT_EQ(port.Read_Status(), 0x4E);
    port.Write_Data(0x00);
    EXPECT_EQ(port.Read_Status() & 0x40, 0);
    b.Set_Loopback_Broken(true);
    EXPECT_EQ(port.Read_Status() & 0x40, 0x40);  // pin 10 floats high
}

TEST(SimulatedPort, NothingOnTheCableReadsAllInputsHigh) {
    SimulatedPort empty(nullptr);
    EXPECT_EQ(empty.Read_Status(), 0x7E);
    empty.Write_Data(0x12);
    EXPECT_EQ(empty.Read_Data(), 0x12);  // the latch, not floating
    empty.Write_Register(kEcrOffset, 0x30);
    empty.Write_Control(kControlDirection);
    EXPECT_EQ(empty.Read_Data(), 0xFF);
    EXPECT_EQ(empty.Board(), nullptr);

    SimulatedBoard b;
    SimulatedPort port(&b);
    b.Set_Connected(false);
    port.Write_Data(0x00);
    EXPECT_EQ(port.Read_Status(), 0x7E);  // loopback lost as well
}

TEST(SimulatedPort, DataPinsFloatOnlyInByteModeWithTheDirectionBit) {
    SimulatedBoard b;
    SimulatedPort port(&b);
    port.Write_Data(0x5A);
    port.Write_Control(kControlDirection);
    EXPECT_FALSE(port.Data_Pins_Floating());
    EXPECT_EQ(port.Read_Data(), 0x5A);  // standard mode: reads back the latch
    for (unsigned ecr : {kEcrOffset, kEcrOffsetLegacy}) {
        SimulatedPort p(&b);
        p.Write_Register(ecr, 0x30);
        EXPECT_EQ(p.Read_Register(ecr), 0x30);
        p.Write_Data(0x5A);
        p.Write_Control(0);
        EXPECT_EQ(p.Read_Data(), 0x5A);  // byte mode but driving
        p.Write_Control(kControlDirection);
        EXPECT_TRUE(p.Data_Pins_Floating());
        EXPECT_EQ(p.Read_Data(), 0xFF);  // pulled up: nobody drives
    }
}

TEST(SimulatedPort, RegisterOffsetsAndIoCount) {
    SimulatedBoard b;
    SimulatedPort port(&b);
    port.Write_Register(kDataOffset, 0x33);
    port.Write_Register(kStatusOffset, 0xFF);  // read-only: no effect
    port.Write_Register(7, 0x11);              // nothing there
    EXPECT_EQ(port.Read_Register(kDataOffset), 0x33);
    EXPECT_EQ(port.Read_Register(7), 0xFF);
    EXPECT_EQ(port.Io_Operations(), 5U);
}

TEST(SimulatedPort, LosallReadWithoutByteModeComesBackAsItsAddress) {
    SimulatedBoard b;
    SimulatedPort port(&b);
    PinDriver bus(port);
    b.Chip().Set_Loss_Of_Sync(2, true);
    EXPECT_EQ(bus.Read(kLOSALL), 133);  // the address latch reads back
    bus.Enter_Byte_Mode();
    EXPECT_EQ(bus.Read(kLOSALL), 0x04);
}

}  // namespace
}  // namespace board
