// Single pins in logic levels over the raw registers: every pin of the connector with its
// register bit and inversion, the shadows that spare a read, and the data-enable mask.
#include <gtest/gtest.h>

#include "tests/vanlpt/recording_port.h"
#include "vanlpt/pin_map.h"
#include "vanlpt/port_lines.h"

namespace {

using vanlpt::PortLines;
using vanlpt_test::RecordingPort;

struct PinCase {
    int pin;
    char reg;  // 'D' data, 'C' control, 'S' status
    std::uint8_t bit;
    bool inverted;
};

const PinCase kPins[] = {
    {1, 'C', 0x01, true},   {2, 'D', 0x01, false},  {3, 'D', 0x02, false},  {4, 'D', 0x04, false},
    {5, 'D', 0x08, false},  {6, 'D', 0x10, false},  {7, 'D', 0x20, false},  {8, 'D', 0x40, false},
    {9, 'D', 0x80, false},  {10, 'S', 0x40, false}, {11, 'S', 0x80, true},  {12, 'S', 0x20, false},
    {13, 'S', 0x10, false}, {14, 'C', 0x02, true},  {15, 'S', 0x08, false}, {16, 'C', 0x04, false},
    {17, 'C', 0x08, true},
};

// The recorded text of a write of `value` to register `reg`.
std::string Op(char reg, std::uint8_t value) {
    std::string text(1, reg);
    text.append("=");
    text.append(RecordingPort::Hex(value));
    return text;
}

std::uint8_t& Register_Of(RecordingPort& port, char reg) {
    return reg == 'D' ? port.data_in : reg == 'C' ? port.control : port.status;
}

TEST(PinAccess, EveryPinReadsItsBitWithTheInversion) {
    for (const PinCase& c : kPins) {
        SCOPED_TRACE(c.pin);
        RecordingPort port;
        PortLines lines;
        lines.Attach(&port);
        Register_Of(port, c.reg) = c.bit;
        EXPECT_EQ(lines.Read_Pin(c.pin), c.inverted ? 0 : 1);
        Register_Of(port, c.reg) = static_cast<std::uint8_t>(~c.bit);
        EXPECT_EQ(lines.Read_Pin(c.pin), c.inverted ? 1 : 0);
    }
}

TEST(PinAccess, OutputPinsChangeOnlyTheirBitAndNeedNoRead) {
    for (const PinCase& c : kPins) {
        if (c.reg == 'S') continue;
        SCOPED_TRACE(c.pin);
        RecordingPort port;
        port.control = 0x5A;
        port.data_in = 0xA5;
        PortLines lines;
        lines.Attach(&port);
        port.ops.clear();
        std::uint8_t before = c.reg == 'D' ? 0xA5 : 0x5A;

        lines.Write_Pin(c.pin, 0x40);  // any nonzero level is high
        std::uint8_t high = c.inverted ? before & ~c.bit : before | c.bit;
        ASSERT_EQ(port.ops.size(), 1u);
        EXPECT_EQ(port.ops[0], Op(c.reg, high));

        lines.Write_Pin(c.pin, 0);
        std::uint8_t low = c.inverted ? before | c.bit : before & ~c.bit;
        EXPECT_EQ(port.ops[1], Op(c.reg, low));
        EXPECT_EQ(port.ops.size(), 2u);
    }
}

TEST(PinAccess, PinsWithoutARegisterAreLeftAlone) {
    RecordingPort port;
    PortLines lines;
    lines.Attach(&port);
    port.status = 0xFF;
    port.ops.clear();
    for (int pin : {0, 18, 25, -1, 26, 1000}) {
        EXPECT_EQ(lines.Read_Pin(pin), 0);
        lines.Write_Pin(pin, 1);
    }
    lines.Write_Pin(15, 1);  // inputs cannot be driven
    EXPECT_TRUE(port.ops.empty());
}

TEST(PinAccess, DataEnableSetsOnlyTheMaskBits) {
    RecordingPort port;
    port.control = 0x04;
    PortLines lines;
    lines.Attach(&port);
    EXPECT_EQ(lines.Data_Enable_Mask(), 0x20);
    EXPECT_FALSE(lines.Data_Floating());
    lines.Set_Data_Enable(false);
    EXPECT_EQ(port.control, 0x24);
    EXPECT_TRUE(lines.Data_Floating());
    lines.Set_Data_Enable(true);
    EXPECT_EQ(port.control, 0x04);

    lines.Set_Data_Enable_Mask(0x30);
    lines.Set_Data_Enable(false);
    EXPECT_EQ(port.control, 0x34);
    lines.Set_Data_Enable(true);
    EXPECT_EQ(port.control, 0x04);
}

}  // namespace
