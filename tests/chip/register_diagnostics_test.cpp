// The register diagnostics' bookkeeping below the window: the repeated accesses and their
// error record on a board with faults, and the time-out as typed.
#include <gtest/gtest.h>

#include "chip/register_diagnostics.h"
#include "chip_fixture.h"

using RegisterDiagnosticsTest = ChipTest;

TEST_F(RegisterDiagnosticsTest, RepeatedAccessesRecordOnlyMismatchesAndTheFirstWriteError) {
    Repeated_Read(0x07, 0x80);  // HOFFSET of channel 0 reads its power-up 128
    EXPECT_EQ(num_read_verify_errors, 0);

    board_->Set_Read_Flip_Mask(0x01);
    Repeated_Read(0x17, 0x80);
    EXPECT_EQ(num_read_verify_errors, 1);
    EXPECT_EQ(verify_error_address, 0x17);
    EXPECT_EQ(verify_error_name, "HOFFSET/CONTROL");
    EXPECT_EQ(verify_error_data, 0x80);
    EXPECT_EQ(verify_error_readback, 0x81);

    Verify_Writes = 1;
    EXPECT_TRUE(Repeated_Write_Raised_First_Error(0x08, 0x42));
    EXPECT_GE(num_write_verify_errors, 1);                        // every retry counts
    EXPECT_FALSE(Repeated_Write_Raised_First_Error(0x08, 0x42));  // not the first any more

    Clear_Transaction_Counts();
    EXPECT_EQ(num_reg_writes + num_reg_reads + num_write_verify_errors + num_read_verify_errors, 0);
    EXPECT_EQ(verify_error_readback, 0x43);  // the write error stays recorded
    Verify_Writes = 0;
}

TEST(RegisterDiagnosticsText, BusyTimeoutTakesTheLeadingNumberAsA32BitPollCount) {
    EXPECT_EQ(Busy_Timeout_From_Text("10000"), 10000u);
    EXPECT_EQ(Busy_Timeout_From_Text("  +25 polls"), 25u);
    EXPECT_EQ(Busy_Timeout_From_Text("polls"), 0u);
    EXPECT_EQ(Busy_Timeout_From_Text(""), 0u);
    EXPECT_EQ(Busy_Timeout_From_Text("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(Busy_Timeout_From_Text("99999999999999999999"), 2147483647u);
    EXPECT_EQ(Busy_Timeout_From_Text("-99999999999999999999"), 0x80000000u);
}
