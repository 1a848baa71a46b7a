// The crosspoint commands against the simulated board's crosspoint.
#include "port/xelor_commands.h"
#include "shell/services.h"

#include <map>
#include <string>
#include <vector>

#include "port/pin_map.h"
#include "port/spi.h"
#include "tests/port/port_fixture.h"

namespace {

XelorOutput On(int input, int gain) {
    return {true, input, gain};
}
XelorOutput Off(int gain = 1) {
    return {false, -1, gain};
}

class XelorCommandsTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        ASSERT_NE(Select_LPT_123(1), 0);
        Port_State.Selected_Port = 1;
        // The start-up serial settings.
        Port_State.SPI_Clock_Pin = 4;
        Port_State.SPI_MOSI_Pin = 5;
        Port_State.SPI_MISO_Pin = 13;
        Port_State.SPI_CS_Pin = 17;
        Port_State.SPI_CPOL = 1;
        Port_State.SPI_CPHA = 0;
        Port_State.SPI_Clock_kHz = 0.5f;
    }
    const board::XelorCrosspoint& Crosspoint() { return Board().Crosspoint(); }
};

TEST(XelorWords, UpdateWordsAndFieldsCarryTheirBits) {
    EXPECT_EQ(Xelor_Update_Word(5, On(3, 2), 0), (XelorUpdateWord{0x02, 0xE3}));
    EXPECT_EQ(Xelor_Update_Word(5, Off(1), 0), (XelorUpdateWord{0x02, 0x9F}));
    // Address bits sit above the output number; inputs are taken modulo 32.
    EXPECT_EQ(Xelor_Update_Word(15, On(33, 1), 0xF), (XelorUpdateWord{0x7F, 0xC1}));

    std::array<XelorOutput, Xelor_Outputs> outputs;
    outputs.fill(Off(1));
    outputs[0] = On(0, 2);
    XelorInitFields fields = Xelor_Init_Fields(outputs);
    for (int k = 0; k < 15; ++k) EXPECT_EQ(fields[k], 0x1F) << k;
    EXPECT_EQ(fields[15], 0x60);
}

TEST(XelorWords, TextsFollowTheirFormats) {
    EXPECT_EQ(Xelor_Pending_Update_Text(5, On(3, 2)), "OUT05: enable IN03, Av=2 V/V");
    EXPECT_EQ(Xelor_Pending_Update_Text(12, Off(1)), "OUT12: disable, Av=1 V/V");
    EXPECT_EQ(Xelor_Update_Alert_Text({0x02, 0xE3}, 5, On(3, 2)),
              "[02E3] OUT05: enabled IN03, Av=2 V/V");
    EXPECT_EQ(Xelor_Update_Alert_Text({0x02, 0x9F}, 5, Off(1)), "[029F] OUT05: disabled, Av=1 V/V");

    std::array<XelorOutput, Xelor_Outputs> outputs;
    outputs.fill(Off(1));
    outputs[15] = On(7, 2);
    outputs[0] = On(0, 1);
    std::string text = Xelor_Init_Alert_Text(outputs);
    EXPECT_EQ(text.substr(0, 10), "IN07 ---- ");
    EXPECT_EQ(text.substr(text.size() - 10), "---- in00 ");
}

TEST_F(XelorCommandsTest, FullInitializationRoutesEveryOutput) {
    std::array<XelorOutput, Xelor_Outputs> outputs;
    for (int o = 0; o < Xelor_Outputs; ++o)
        outputs[o] = o % 3 == 0 ? Off(2) : On(31 - o, 1 + o % 2);
    Xelor_Send_112_Bits(outputs, false);

    EXPECT_EQ(Crosspoint().Counters().full_inits, 1u);
    for (int o = 0; o < Xelor_Outputs; ++o) {
        board::CrosspointRoute route = Crosspoint().Route(o);
        EXPECT_EQ(route.enabled, outputs[o].enabled) << o;
        if (outputs[o].enabled) {
            EXPECT_EQ(route.input, static_cast<unsigned>(outputs[o].input)) << o;
            EXPECT_EQ(route.gain, static_cast<unsigned>(outputs[o].gain)) << o;
        }
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(XelorCommandsTest, SingleUpdateHonoursTheBoardAddress) {
    Xelor_Do_Send_Update(5, On(3, 2), 0, false);
    EXPECT_EQ(Crosspoint().Route(5), (board::CrosspointRoute{true, 3, 2}));

    Xelor_Do_Send_Update(6, On(9, 1), 0x3, false);  // another board's address
    EXPECT_FALSE(Crosspoint().Route(6).enabled);
    EXPECT_EQ(Crosspoint().Counters().ignored_updates, 1u);

    Board().Crosspoint().Set_Address(0x3);
    Xelor_Do_Send_Update(6, On(9, 1), 0x3, false);
    EXPECT_EQ(Crosspoint().Route(6), (board::CrosspointRoute{true, 9, 1}));
}

TEST_F(XelorCommandsTest, AlertComesBeforeTheSendAndLogsOnlyAtHighDetail) {
    FakeLogView view;
    Program_Services().activity_log_view = &view;
    Xelor_Do_Send_Update(5, Off(1), 0, true);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Xelor SendUpdate");
    EXPECT_TRUE(view.memo.empty());

    Port_State.Log_Mask = Log_High;
    Xelor_Do_Send_Update(5, On(3, 2), 0, false);
    ASSERT_EQ(view.memo.size(), 2u);
    EXPECT_EQ(view.memo[0].substr(30), "\tXelor DoSendUpdate (0x2, 0xE3)");
    EXPECT_EQ(view.memo[1].substr(30), "\tXelor DoSendUpdate done.");
}

TEST_F(XelorCommandsTest, ResetDisablesEveryOutputAndLeavesTheClockIdle) {
    std::array<XelorOutput, Xelor_Outputs> outputs;
    outputs.fill(On(1, 1));
    Xelor_Send_112_Bits(outputs, false);
    ASSERT_TRUE(Crosspoint().Route(0).enabled);

    Xelor_Reset();
    for (int o = 0; o < Xelor_Outputs; ++o) EXPECT_FALSE(Crosspoint().Route(o).enabled) << o;
    EXPECT_EQ(DirectReadPrinterPin(4), 1);   // CPOL 1: clock idles high
    EXPECT_EQ(DirectReadPrinterPin(17), 0);  // ~CE stays low
    EXPECT_EQ(DirectReadPrinterPin(2), 1);   // reset released
}

}  // namespace

namespace {

// Forwards to the simulated port behind LPT1 and records the levels of the crosspoint's
// control pins after every write, so the order in which they move can be checked.
class PinRecorder : public vanlpt::RawPort {
public:
    explicit PinRecorder(board::SimulatedPort& port) : port_(port) {
        for (int pin : {3, 4, 5, 6, 17}) last_[pin] = Level(pin);
    }
    std::uint8_t Read_Data() override { return port_.Read_Data(); }
    void Write_Data(std::uint8_t v) override {
        port_.Write_Data(v);
        Record();
    }
    std::uint8_t Read_Status() override { return port_.Read_Status(); }
    std::uint8_t Read_Control() override { return port_.Read_Control(); }
    void Write_Control(std::uint8_t v) override {
        port_.Write_Control(v);
        Record();
    }
    void Write_Register(unsigned offset, std::uint8_t v) override {
        port_.Write_Register(offset, v);
    }

    // "pin=level" for every change of pins 3, 6 and 17, and "data" once per run of clock or
    // data-in changes between them.
    std::vector<std::string> events;

private:
    int Level(int pin) { return Pin_Level(pin, port_.Data_Latch(), 0, port_.Read_Control()); }

    void Record() {
        for (int pin : {3, 6, 17}) {
            const int level = Level(pin);
            int& last = last_[pin];
            if (level != last) events.push_back(std::to_string(pin) + "=" + std::to_string(level));
            last = level;
        }
        for (int pin : {4, 5}) {
            const int level = Level(pin);
            int& last = last_[pin];
            if (level != last && (events.empty() || events.back() != "data"))
                events.push_back("data");
            last = level;
        }
    }

    board::SimulatedPort& port_;
    std::map<int, int> last_;
};

TEST_F(XelorCommandsTest, PinsMoveInTheSendOrder) {
    // The levels a register cycle leaves behind: ~CE (the chip's CS) high, data pins low.
    DirectWritePrinterPin(17, 1);
    DirectWritePrinterPin(3, 0);
    DirectWritePrinterPin(6, 0);
    PinRecorder recorder(Port());
    vanlpt::testing::Install_Raw_Port(1, &recorder);
    ASSERT_NE(Select_LPT_123(1), 0);
    Xelor_Send_112_Bits({}, false);
    Xelor_Do_Send_Update(5, On(3, 2), 0, false);
    vanlpt::testing::Install_Raw_Port(1, nullptr);

    // Full initialization: latch high, MODE high, ~CE low, the words, a low pulse on ~Update;
    // then the single update with MODE low. Pins already at their level leave no event.
    const std::vector<std::string> expected = {"3=1", "6=1", "17=0", "data", "3=0",
                                               "3=1", "6=0", "data", "3=0",  "3=1"};
    EXPECT_EQ(recorder.events, expected);
    EXPECT_EQ(Crosspoint().Counters().full_inits, 1u);
    EXPECT_EQ(Crosspoint().Counters().single_updates, 1u);
    EXPECT_EQ(Crosspoint().Route(5), (board::CrosspointRoute{true, 3, 2}));
}

}  // namespace
