// The whole board read over the register bus: the same file as the simulated board's own
// state, whatever the channels' sync.
#include "chip/board_snapshot.h"

#include "tests/chip/chip_fixture.h"
#include "vanlpt/board_state_file.h"

namespace {

using BoardSnapshotTest = ChipTest;

TEST_F(BoardSnapshotTest, ASnapshotOverTheBusIsTheBoardsOwnStateAndKeepsNoLossOfSync) {
    Chip().Set_Register(16 * 3 + 7, 140);
    Chip().Set_Register(16 * 3 + 5, 0x12);
    Chip().Set_Pixel(3, 300, 200, 9);
    Chip().Set_Loss_Of_Sync(3, true);
    Chip().Set_Loss_Of_Sync(6, true);
    vanlpt::BoardState over_the_bus;
    ASSERT_TRUE(Read_Board_Snapshot(&over_the_bus));
    EXPECT_EQ(over_the_bus.registers[16 * 3 + 5], 0x12);
    EXPECT_EQ(over_the_bus.registers[16 * 6 + 5], 0);
    EXPECT_EQ(over_the_bus.registers[133], 0);
    const vanlpt::BoardState own = vanlpt::Capture_Board_State(*board_);
    EXPECT_TRUE(over_the_bus.memory == own.memory);
    for (unsigned a = 0; a < vanlpt::kStateRegisters; ++a) {
        const bool trigger = (a < 128 && a % 16 == 6) || a == 134;  // hold no setting
        if (trigger) continue;
        EXPECT_EQ(over_the_bus.registers[a], own.registers[a]) << "register " << a;
    }
}

}  // namespace
