// The ppdev backend as device calls: the claim, the exact ioctls of a register write and a
// read, the extended control register, and what the user is told when a step fails.
#include <gtest/gtest.h>

#include <string>

#include "tests/vanlpt/recording_device.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

using vanlpt_test::RecordingDevice;
using Calls = std::vector<std::string>;

class PpdevTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vanlpt::testing::Reset_Library("1=/dev/parport0,2=none,3=none"));
        vanlpt::testing::Use_Device_Calls(&device, nullptr);
    }
    void TearDown() override { vanlpt::testing::Reset_Library(); }

    void Select_And_Assign() {
        ASSERT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
        Set_DUT_BUSY_Pin(15, 0);
        Set_DUT_WR_Pin(1, 0);
        Set_DUT_RD_Pin(16, 0);
        Set_DUT_ADDR_Pin(14, 1);
        Set_DUT_CS_Pin(17, 1);
        device.calls.clear();
    }
    std::string Select_Error() {
        EXPECT_EQ(Select_LPT_123(1), 0);
        return Vanlpt_Last_Error();
    }

    RecordingDevice device;
};

TEST_F(PpdevTest, SelectClaimsThePortAloneInByteModeAndReleasesIt) {
    ASSERT_NE(Select_LPT_123(1), 0);
    EXPECT_EQ(device.calls, (Calls{"open /dev/parport0", "PPEXCL", "PPCLAIM", "PPGETMODES",
                                   "PPSETMODE 1", "PPRCONTROL", "PPRDATA", "PPRCONTROL"}));
    EXPECT_NE(Select_LPT_123(1), 0);  // already selected: nothing reopened
    device.calls.clear();
    vanlpt::testing::Reset_Library();
    // Released in byte mode, the kernel would run an IEEE 1284 termination on close.
    EXPECT_EQ(device.calls, (Calls{"PPSETMODE 256", "PPRELEASE", "close 7"}));
}

// Let go of in the state every cycle ends in: CS raised (the crosspoint's ~CE high), the
// strobes idle, the data pins driving, then compatibility mode.
TEST_F(PpdevTest, ReleasedWithTheBusIdleAndCsRaised) {
    Select_And_Assign();
    DirectWritePrinterPin(17, 0);
    Set_Data_Enable(0);
    device.calls.clear();
    vanlpt::testing::Reset_Library();
    EXPECT_EQ(device.calls,
              (Calls{"PPWCONTROL 04", "PPDATADIR 0", "PPSETMODE 256", "PPRELEASE", "close 7"}));
}

TEST_F(PpdevTest, RegisterWriteIoctls) {
    Select_And_Assign();
    ASSERT_NE(Try_DUT_Register_Write(0x86, 0x5A), 0);
    EXPECT_EQ(device.calls, (Calls{"PPWCONTROL 04", "PPWDATA 86", "PPWCONTROL 05", "PPWCONTROL 04",
                                   "PPWDATA 5A", "PPWCONTROL 07", "PPWCONTROL 06", "PPRSTATUS"}));
}

TEST_F(PpdevTest, RegisterReadTurnsTheDataPinsRoundAroundTheRdStrobe) {
    Select_And_Assign();
    device.data = 0x3C;
    unsigned char value = 0;
    ASSERT_NE(Try_DUT_Register_Read(0x85, &value), 0);
    EXPECT_EQ(value, 0x3C);
    // Floating before ~RD falls and driving only after it rises: never two drivers.
    EXPECT_EQ(device.calls, (Calls{"PPWCONTROL 04", "PPWDATA 85", "PPWCONTROL 05", "PPWCONTROL 04",
                                   "PPDATADIR 1", "PPWCONTROL 06", "PPWCONTROL 02", "PPRSTATUS",
                                   "PPRDATA", "PPWCONTROL 06", "PPDATADIR 0"}));
    // The driver reports four control bits; the direction bit comes from the port's record.
    device.calls.clear();
    Set_Data_Enable(0);
    EXPECT_EQ(device.calls, (Calls{"PPDATADIR 1"}));
    EXPECT_EQ(Get_Control(), 0x24);
}

TEST_F(PpdevTest, ExtendedControlRegisterBecomesThePortMode) {
    Select_And_Assign();
    Set_Register(0x402, 0x30);
    Set_Register(0x0A, 0x30);
    Set_Register(0x402, 0x00);
    ::testing::internal::CaptureStderr();
    Set_Register(0x403, 0x01);  // not reachable through the driver: no call at all
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("io:0x378"), std::string::npos);
    EXPECT_EQ(device.calls, (Calls{"PPSETMODE 1", "PPSETMODE 1", "PPSETMODE 256"}));
}

TEST_F(PpdevTest, FailedOpenSaysWhatToDo) {
    device.open_error = ENOENT;
    EXPECT_NE(Select_Error().find("sudo modprobe parport_pc ppdev"), std::string::npos);
    device.present.insert("/proc/sys/dev/parport/parport0");  // the kernel has the port
    EXPECT_NE(Select_Error().find("the ppdev driver is not loaded"), std::string::npos);
    device.open_error = EACCES;
    std::string error = Select_Error();
    EXPECT_NE(error.find("group lp"), std::string::npos) << error;
    EXPECT_NE(error.find("LPT1"), std::string::npos) << error;
    device.open_error = ENXIO;
    EXPECT_NE(Select_Error().find("modprobe ppdev"), std::string::npos);
    EXPECT_EQ(device.calls, (Calls(4, "open /dev/parport0")));
}

// A user already in group lp gets nothing from joining it: the device node is what is wrong.
TEST_F(PpdevTest, PermissionAdviceFollowsTheDeviceNodeAndTheUsersGroups) {
    device.open_error = EACCES;
    device.nodes["/dev/parport0"] = {"lp", 0660};
    EXPECT_NE(Select_Error().find("sudo usermod -aG lp"), std::string::npos);
    device.groups = {"engineer", "lp"};
    device.nodes["/dev/parport0"] = {"root", 0600};
    const std::string error = Select_Error();
    EXPECT_NE(error.find("(group root, mode 0600)"), std::string::npos) << error;
    EXPECT_NE(error.find("sudo chgrp lp /dev/parport0"), std::string::npos) << error;
    EXPECT_EQ(error.find("usermod"), std::string::npos) << error;
}

TEST_F(PpdevTest, PortHeldByAnotherDriverIsClosedAgain) {
    device.errors["PPCLAIM"] = EBUSY;
    std::string error = Select_Error();
    EXPECT_NE(error.find("rmmod lp"), std::string::npos) << error;
    EXPECT_EQ(device.calls, (Calls{"open /dev/parport0", "PPEXCL", "PPCLAIM", "close 7"}));
    EXPECT_EQ(Try_DUT_Register_Write(1, 2), 0);  // nothing selected
}

// The kernel refuses an exclusive claim with ENXIO whoever else is on the port; the port's
// devices in /proc name them, and without the port's entry there is no hardware.
TEST_F(PpdevTest, AnExclusiveClaimRefusedNamesWhoHoldsThePort) {
    device.errors["PPCLAIM"] = ENXIO;
    const std::string devices = "/proc/sys/dev/parport/parport0/devices";
    EXPECT_NE(Select_Error().find("no parallel port hardware behind /dev/parport0"),
              std::string::npos);
    device.present.insert("/proc/sys/dev/parport/parport0");
    device.folders[devices] = {"active", "lp0"};
    std::string error = Select_Error();
    EXPECT_NE(error.find("held by the printer driver lp (lp0)"), std::string::npos) << error;
    EXPECT_NE(error.find("sudo rmmod lp"), std::string::npos) << error;
    device.folders[devices] = {"active", "ppdev0"};
    error = Select_Error();
    EXPECT_NE(error.find("held by another program (ppdev0)"), std::string::npos) << error;
    EXPECT_EQ(error.find("no parallel port hardware"), std::string::npos) << error;
}

TEST_F(PpdevTest, PortWithoutTristateWorksWithoutByteMode) {
    device.modes = 0x01;
    ::testing::internal::CaptureStderr();
    ASSERT_NE(Select_LPT_123(1), 0);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("no tristate support"), std::string::npos) << said;
    for (const std::string& call : device.calls)
        EXPECT_EQ(call.find("PPSETMODE"), std::string::npos);
}

TEST_F(PpdevTest, DeviceFailureDuringACycleIsAFailedTransaction) {
    Select_And_Assign();
    device.errors["PPWDATA"] = EIO;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Try_DUT_Register_Write(1, 2), 0);
    ::testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("write the data register"), std::string::npos);
}

TEST_F(PpdevTest, AFailedPortFailsFastIsToldOnceAndReopensWhenSelectedAgain) {
    Select_And_Assign();
    device.errors["PPWDATA"] = EIO;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Try_DUT_Register_Write(1, 2), 0);
    device.calls.clear();
    EXPECT_EQ(Try_DUT_Register_Write(1, 2), 0);
    unsigned char value = 0;
    EXPECT_EQ(Try_DUT_Register_Read(1, &value), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(device.calls.empty()) << device.calls.size() << " device calls";  // no busy wait
    EXPECT_EQ(said.find("write the data register"), said.rfind("write the data register")) << said;
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("write the data register"), std::string::npos);

    device.errors.clear();
    device.calls.clear();
    ASSERT_NE(Select_LPT_123(1), 0);
    ASSERT_GE(device.calls.size(), 4u);
    EXPECT_EQ(Calls(device.calls.begin(), device.calls.begin() + 4),
              (Calls{"PPSETMODE 256", "PPRELEASE", "close 7", "open /dev/parport0"}));
    EXPECT_NE(Try_DUT_Register_Write(1, 2), 0) << Vanlpt_Last_Error();
}

}  // namespace
