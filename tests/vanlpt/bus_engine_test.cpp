// The register bus cycle as port traffic: exact register writes for the standard pin roles,
// the busy wait and its bound, and the rules that keep the crosspoint undisturbed.
#include "vanlpt/bus_engine.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/vanlpt/recording_port.h"

namespace {

using vanlpt::BusEngine;
using vanlpt::BusRole;
using vanlpt::PortLines;
using vanlpt_test::RecordingPort;
using Ops = std::vector<std::string>;

// Control bytes for ~WR 1 / ~RD 16 active low, ADDR 14 high for the address, CS 17 high.
constexpr std::uint8_t kAddressIdle = 0x04;  // CS and ADDR high, both strobes high
constexpr std::uint8_t kPin17Low = 0x08;

class BusEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        port.control = kAddressIdle;
        lines.Attach(&port);
        engine.Set_Role(BusRole::Busy, 15, 0);
        engine.Set_Role(BusRole::Wr, 1, 0);
        engine.Set_Role(BusRole::Rd, 16, 0);
        engine.Set_Role(BusRole::Addr, 14, 1);
        engine.Set_Role(BusRole::Cs, 17, 1);
        port.ops.clear();
    }

    RecordingPort port;
    PortLines lines;
    BusEngine engine{lines};
};

TEST_F(BusEngineTest, WriteIsAddressPhaseThenDataPhaseThenOneBusyPoll) {
    ASSERT_TRUE(engine.Write(0x86, 0x5A));
    EXPECT_EQ(port.ops, (Ops{"C=04", "D=86", "C=05", "C=04", "D=5A", "C=07", "C=06", "S?"}));
    EXPECT_EQ(engine.Highest_Count(), 1u);
}

TEST_F(BusEngineTest, ReadFloatsTheDataPinsOnlyWhileRdIsActive) {
    port.data_in = 0x3C;
    std::uint8_t value = 0;
    ASSERT_TRUE(engine.Read(0x85, &value));
    EXPECT_EQ(value, 0x3C);
    EXPECT_EQ(port.ops, (Ops{"C=04", "D=85", "C=05", "C=04", "C=26", "C=22", "S?", "D?", "C=06"}));
}

TEST_F(BusEngineTest, BusyWaitCountsPollsAndKeepsTheHighest) {
    port.status_queue = {0x00, 0x00, 0x00};  // three polls see busy, the fourth ready
    ASSERT_TRUE(engine.Write(1, 2));
    EXPECT_EQ(engine.Highest_Count(), 4u);
    ASSERT_TRUE(engine.Write(1, 2));
    EXPECT_EQ(engine.Highest_Count(), 4u);
    engine.Clear_Highest_Count();
    ASSERT_TRUE(engine.Write(1, 2));
    EXPECT_EQ(engine.Highest_Count(), 1u);
}

TEST_F(BusEngineTest, StuckBusyEndsAtTheTimeOut) {
    port.status = 0x00;
    engine.Set_Busy_Timeout(25);
    EXPECT_FALSE(engine.Write(1, 2));
    EXPECT_EQ(std::count(port.ops.begin(), port.ops.end(), "S?"), 25);
    EXPECT_EQ(engine.Highest_Count(), 25u);
    EXPECT_NE(engine.Last_Error().find("busy"), std::string::npos);

    // A failed read gives nothing back and still leaves the data pins driving.
    port.ops.clear();
    std::uint8_t value = 0x77;
    EXPECT_FALSE(engine.Read(1, &value));
    EXPECT_EQ(value, 0x77);
    EXPECT_EQ(std::count(port.ops.begin(), port.ops.end(), "D?"), 0);
    EXPECT_EQ(port.ops.back(), "C=06");

    // A time-out of 0 still looks once rather than reporting an unseen chip as ready.
    engine.Set_Busy_Timeout(0);
    port.ops.clear();
    EXPECT_FALSE(engine.Write(1, 2));
    EXPECT_EQ(std::count(port.ops.begin(), port.ops.end(), "S?"), 1);
}

TEST_F(BusEngineTest, CsRisesBeforeAnyDataPinMoves) {
    // The crosspoint is selected (pin 17 low) and the data pins float: CS must rise on its
    // own write before the data drivers come on.
    lines.Set_Control(kPin17Low | 0x20);
    port.ops.clear();
    ASSERT_TRUE(engine.Write(0x10, 0x01));
    EXPECT_EQ(port.ops[0], "C=24");  // pin 17 high, data still floating
    EXPECT_EQ(port.ops[1], "C=04");
    EXPECT_EQ(port.ops[2], "D=10");
    // CS stays raised between cycles: no write leaves pin 17 low.
    for (const std::string& op : port.ops) {
        if (op.starts_with("C=")) {
            EXPECT_EQ(std::stoi(op.substr(2), nullptr, 16) & kPin17Low, 0);
        }
    }

    // With the data pins driving, raising CS costs no extra write.
    lines.Set_Control(kPin17Low);
    port.ops.clear();
    ASSERT_TRUE(engine.Write(0x10, 0x01));
    EXPECT_EQ(port.ops.size(), 8u);
    EXPECT_EQ(port.ops[0], "C=04");
}

TEST_F(BusEngineTest, OtherActiveLevelsAndMaskFollowTheRoles) {
    // CS active low on pin 17 and a data-enable mask of 0x30.
    engine.Set_Role(BusRole::Cs, 17, 0);
    lines.Set_Data_Enable_Mask(0x30);
    port.ops.clear();
    std::uint8_t value = 0;
    ASSERT_TRUE(engine.Read(7, &value));
    EXPECT_EQ(port.ops[0], "C=0C");
    EXPECT_EQ(port.ops[4], "C=3E");
}

TEST_F(BusEngineTest, RefusesToRunWithoutUsableRolesOrPort) {
    engine.Set_Role(BusRole::Wr, 3, 0);  // a data pin cannot strobe
    EXPECT_FALSE(engine.Write(1, 2));
    EXPECT_TRUE(port.ops.empty());
    EXPECT_NE(engine.Last_Error().find("not assigned"), std::string::npos);

    engine.Set_Role(BusRole::Wr, 16, 0);  // the same pin as ~RD
    EXPECT_FALSE(engine.Write(1, 2));
    engine.Set_Role(BusRole::Wr, 1, 0);
    engine.Set_Role(BusRole::Busy, 14, 0);  // an output cannot report busy
    EXPECT_FALSE(engine.Write(1, 2));
    EXPECT_TRUE(port.ops.empty());

    engine.Set_Role(BusRole::Busy, 15, 0);
    EXPECT_FALSE(engine.Read(1, nullptr));
    EXPECT_TRUE(port.ops.empty());
    lines.Attach(nullptr);
    EXPECT_FALSE(engine.Write(1, 2));
    EXPECT_NE(engine.Last_Error().find("no port"), std::string::npos);
}

TEST_F(BusEngineTest, PortFaultTurnsTheCycleIntoAFailure) {
    port.fault = "cannot write the data register on /dev/parport0: No such device";
    EXPECT_FALSE(engine.Write(1, 2));
    EXPECT_EQ(engine.Last_Error(), port.fault);
    std::uint8_t value = 0x55;
    EXPECT_FALSE(engine.Read(1, &value));
    EXPECT_EQ(value, 0x55);
}

}  // namespace
