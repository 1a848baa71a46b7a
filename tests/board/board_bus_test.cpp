// The register bus as a whole: busy handshake, traffic counts and injected faults.
#include <gtest/gtest.h>

#include "tests/board/pin_driver.h"

namespace board {
namespace {

using testing::PinDriver;

class BoardBusTest : public ::testing::Test {
protected:
    BoardBusTest() { bus.Enter_Byte_Mode(); }

    SimulatedBoard b;
    SimulatedPort port{&b};
    PinDriver bus{port};
};

TEST_F(BoardBusTest, BusyLastsTheConfiguredNumberOfPolls) {
    bus.Write(7, 1);
    EXPECT_EQ(bus.Last_Polls(), 1 + kDefaultRegisterBusyPolls);
    bus.Write(6, kCommandWriteQuad);
    EXPECT_EQ(bus.Last_Polls(), 1 + kDefaultMemoryBusyPolls);
    bus.Write(6, 9);  // not a memory command
    EXPECT_EQ(bus.Last_Polls(), 1 + kDefaultRegisterBusyPolls);
    bus.Read(7);
    EXPECT_EQ(bus.Last_Polls(), 1 + kDefaultRegisterBusyPolls);

    b.Chip().Set_Busy_Polls(0, 10);
    bus.Write(7, 1);
    EXPECT_EQ(bus.Last_Polls(), 1U);
    bus.Write(kMWRITE, 0);
    EXPECT_EQ(bus.Last_Polls(), 11U);

    b.Chip().Set_Stuck_Busy(true);
    EXPECT_EQ(bus.Write(7, 2), 0U);
    EXPECT_EQ(b.Chip().Register(7), 2);  // the write itself arrived
    b.Chip().Set_Stuck_Busy(false);
    EXPECT_EQ(bus.Wait_Ready(), 1U);
}

TEST_F(BoardBusTest, DataIsValidOnlyOnceReady) {
    b.Chip().Set_Busy_Polls(2, 2);
    bus.Write(9, 0x42);
    bus.Address_Phase(9);
    port.Write_Control(PinDriver::Control(true, false, true, true, true));
    port.Write_Control(PinDriver::Control(true, false, false, true, true));
    EXPECT_EQ(port.Read_Data(), 0xFF);  // still busy
    EXPECT_EQ(bus.Wait_Ready(), 3U);
    EXPECT_EQ(port.Read_Data(), 0x42);
    // Starting another access before RDY is counted as a protocol fault.
    bus.Write(9, 1);
    bus.Address_Phase(9);
    port.Write_Data(2);
    port.Write_Control(PinDriver::Control(false, false, true, true));
    port.Write_Control(PinDriver::Control(true, false, true, true));
    EXPECT_EQ(b.Chip().Counters().accesses_while_busy, 0U);  // ready came back in Write
    port.Write_Control(PinDriver::Control(false, false, true, true));
    port.Write_Control(PinDriver::Control(true, false, true, true));
    EXPECT_EQ(b.Chip().Counters().accesses_while_busy, 1U);
}

TEST_F(BoardBusTest, CountsPortOperationsAndBusCycles) {
    port.Reset_Counters();
    b.Reset_Counters();
    bus.Write(0x10, 5);
    // Seven register writes for the cycle plus one busy and one ready poll.
    EXPECT_EQ(port.Io_Operations(), 9U);
    bus.Read(0x10);
    bus.Write(0x16, kCommandWriteQuad);
    bus.Write(kMWRITE, 1);
    const ChipCounters& c = b.Chip().Counters();
    EXPECT_EQ(c.register_writes, 3U);
    EXPECT_EQ(c.register_reads, 1U);
    EXPECT_EQ(c.memory_commands, 2U);
    EXPECT_EQ(b.Counters().address_latches, 4U);
    EXPECT_EQ(b.Counters().data_contentions, 0U);
    b.Reset_Counters();
    EXPECT_EQ(b.Chip().Counters().register_writes, 0U);
}

TEST_F(BoardBusTest, CyclesNeedChipSelectAndTheRightStrobeOrder) {
    // CS low (crosspoint selected): strobes reach no register.
    port.Write_Control(PinDriver::Control(true, true, true, false));
    port.Write_Data(7);
    port.Write_Control(PinDriver::Control(false, true, true, false));
    port.Write_Control(PinDriver::Control(true, true, true, false));
    EXPECT_EQ(b.Counters().address_latches, 0U);
    // A read without turning the data pins round is a bus fight; the port sees its latch.
    bus.Address_Phase(kLOSALL);
    port.Write_Control(PinDriver::Control(true, false, false, true));
    EXPECT_EQ(port.Read_Data(), kLOSALL);
    EXPECT_EQ(b.Counters().data_contentions, 1U);
}

TEST_F(BoardBusTest, UnpluggedBoardAnswersNothingAndKeepsItsState) {
    bus.Write(7, 0x11);
    b.Set_Connected(false);
    EXPECT_EQ(bus.Write(7, 0x22), 1U);  // RDY floats high: looks ready
    EXPECT_EQ(bus.Read(7), 0xFF);       // nobody drives the data pins
    EXPECT_EQ(b.Chip().Register(7), 0x11);
    b.Set_Connected(true);
    EXPECT_EQ(bus.Read(7), 0x11);
    bus.Write(7, 0x33);
    EXPECT_EQ(bus.Read(7), 0x33);
}

TEST_F(BoardBusTest, ReadFlipMaskCorruptsReadsOnly) {
    b.Set_Read_Flip_Mask(0x01);
    bus.Write(0x27, 0x80);
    EXPECT_EQ(b.Chip().Register(0x27), 0x80);
    EXPECT_EQ(bus.Read(0x27), 0x81);
    b.Set_Read_Flip_Mask(0);
    EXPECT_EQ(bus.Read(0x27), 0x80);
}

}  // namespace
}  // namespace board
