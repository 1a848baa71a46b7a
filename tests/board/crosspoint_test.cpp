// The Xelor crosspoint on the shared pins: single update, full initialization, address
// match, reset pulse, DATAOUT, and immunity to chip register traffic.
#include <gtest/gtest.h>

#include "tests/board/pin_driver.h"

namespace board {
namespace {

using testing::PinDriver;

class CrosspointTest : public ::testing::Test {
protected:
    CrosspointTest() { bus.Enter_Byte_Mode(); }

    std::vector<bool> Single_Update(std::uint16_t word) {
        return bus.Send_Crosspoint(PinDriver::Bits(word, 16), false);
    }
    // Fields in send order: fields[k] loads output 15 - k.
    void Full_Init(const std::vector<unsigned>& fields) {
        std::vector<bool> bits;
        for (unsigned field : fields) {
            for (bool bit : PinDriver::Bits(field, kFullInitFieldBits)) bits.push_back(bit);
        }
        bus.Send_Crosspoint(bits, true);
    }

    const XelorCrosspoint& xp() const { return b.Crosspoint(); }

    SimulatedBoard b;
    SimulatedPort port{&b};
    PinDriver bus{port};
};

TEST_F(CrosspointTest, SingleUpdateAppliesWhenTheAddressMatches) {
    Single_Update(0x02E3);  // output 5, enabled, gain 2, input 3, address 0000
    EXPECT_EQ(xp().Route(5), (CrosspointRoute{true, 3, 2}));
    EXPECT_EQ(xp().Last_16_Bits(), 0x02E3);
    Single_Update(0x029F);  // output 5 disabled, gain 1
    EXPECT_EQ(xp().Route(5), (CrosspointRoute{false, 31, 1}));
    EXPECT_EQ(xp().Counters().single_updates, 2U);

    b.Crosspoint().Set_Address(0x5);
    Single_Update(0x02E3);  // addressed to 0000: not for this board
    EXPECT_FALSE(xp().Route(5).enabled);
    EXPECT_EQ(xp().Counters().ignored_updates, 1U);
    Single_Update(0x2AE3);  // A3..A0 = 0101
    EXPECT_TRUE(xp().Route(5).enabled);
}

TEST_F(CrosspointTest, FullInitLoadsOutput15First) {
    std::vector<unsigned> fields(16, 0x1F);
    fields[15] = 0x60;  // output 0: enabled, gain 2, input 0
    fields[0] = 0x4A;   // output 15: enabled, gain 1, input 10
    Full_Init(fields);
    EXPECT_EQ(xp().Route(0), (CrosspointRoute{true, 0, 2}));
    EXPECT_EQ(xp().Route(15), (CrosspointRoute{true, 10, 1}));
    for (int output = 1; output < 15; ++output) EXPECT_FALSE(xp().Route(output).enabled);
    EXPECT_EQ(xp().Counters().full_inits, 1U);
    EXPECT_EQ(xp().Counters().bits_shifted, 112U);
}

TEST_F(CrosspointTest, ResetPulseDisablesAllOutputsFromEitherStartLevel) {
    for (int output = 0; output < kCrosspointOutputs; ++output) {
        EXPECT_FALSE(xp().Route(output).enabled);  // power-up
    }
    std::vector<unsigned> fields(16, 0x45);
    Full_Init(fields);
    EXPECT_TRUE(xp().Route(3).enabled);
    bus.Pulse_Crosspoint_Reset();  // pin 2 was low: the rising edge resets
    EXPECT_FALSE(xp().Route(3).enabled);
    Full_Init(fields);
    bus.Pulse_Crosspoint_Reset();  // pin 2 was high: the falling edge resets
    EXPECT_FALSE(xp().Route(3).enabled);
    EXPECT_EQ(xp().Counters().resets, 3U);  // fall and rise of the second pulse, once before
}

TEST_F(CrosspointTest, DataOutShowsTheBitAboutToLeave) {
    const std::vector<bool> ones(112, true);
    std::vector<bool> seen = bus.Send_Crosspoint(ones, true);
    EXPECT_FALSE(seen.front());
    EXPECT_TRUE(xp().Data_Out());  // 112 ones: the first one is at the end now
    seen = Single_Update(0x0000);
    for (bool bit : seen) EXPECT_TRUE(bit);  // the ones leave one by one
    EXPECT_EQ(xp().Shift_Register().count(), 96U);
    EXPECT_EQ(port.Read_Status() & 0x20, 0);  // AOUT reads low
}

TEST_F(CrosspointTest, RegisterTrafficNeverDisturbsIt) {
    Single_Update(0x02E3);
    const std::bitset<kFullInitBits> before = xp().Shift_Register();
    for (unsigned v = 0; v < 256; ++v) {
        bus.Write(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v ^ 0x5F));
        bus.Read(static_cast<std::uint8_t>(v));
    }
    EXPECT_EQ(xp().Shift_Register(), before);
    EXPECT_EQ(xp().Route(5), (CrosspointRoute{true, 3, 2}));
    EXPECT_EQ(xp().Counters().resets, 0U);
    EXPECT_EQ(xp().Counters().single_updates + xp().Counters().full_inits, 1U);
}

}  // namespace
}  // namespace board
