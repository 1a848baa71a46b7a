// Registers by name: the one table against the board's own power-up state, names of every
// form, the nearest names for a slip, field and 9-bit writes as the chip sees them, and the
// dump written back.
#include "chip/named_registers.h"

#include <gtest/gtest.h>

#include "chip/register_map.h"
#include "chip_fixture.h"

namespace {

NamedRegister Named(std::string_view name) {
    std::string error;
    const auto named = Find_Register(name, &error);
    EXPECT_TRUE(named) << error;
    return named.value_or(NamedRegister{});
}

TEST(RegisterTable, NamesOfEveryFormFindTheirAddress) {
    EXPECT_EQ(Named("ch1.HOFFSET").address, 23);
    EXPECT_EQ(Named("CH1.hoffset").name, "ch1.HOFFSET");
    EXPECT_EQ(Named("LOSALL").address, 133);
    EXPECT_EQ(Named("all.mwrite").address, 134);
    const NamedRegister blank = Named("ch7.STATUS.BLANK");
    EXPECT_EQ(blank.kind, NamedRegister::Kind::Field);
    EXPECT_EQ(blank.address, 117);
    EXPECT_EQ(blank.Max(), 1u);
    const NamedRegister shreND = Named("ch3.shrend");
    EXPECT_EQ(shreND.kind, NamedRegister::Kind::Line);
    EXPECT_EQ(shreND.address, 48 + Reg::SHRENDH);
    EXPECT_EQ(shreND.low_address, 48 + Reg::SHRENDL);
    EXPECT_EQ(shreND.Max(), 511u);
    EXPECT_EQ(Named("QPLINE").low_address, MReg::QPLINEL);
    EXPECT_EQ(Named("CONTROL.HINC").address, MReg::CONTROL);

    EXPECT_FALSE(Named("LOSALL").Writable());
    EXPECT_FALSE(Named("ch0.STATUS.LOS").Writable());
    EXPECT_TRUE(Named("ch0.STATUS").Writable());
    EXPECT_FALSE(Named("ch2.COMMAND").Readable());
    EXPECT_TRUE(Named("MWRITE").Writable());

    EXPECT_EQ(Register_Name(23), "ch1.HOFFSET");
    EXPECT_EQ(Register_Name(135), "CONTROL");
    EXPECT_EQ(Register_Name(136), "");
    // The bus's names by offset come from the same table.
    EXPECT_STREQ(Register_Names[5], "STATUS/LOSALL");
    EXPECT_STREQ(Register_Names[0], "QPH");
    EXPECT_STREQ(Register_Names[15], "reservedF");
}

TEST(RegisterTable, AWrongNameGetsTheNearestNames) {
    std::string error;
    for (const char* wrong : {"ch1.HOFSET", "ch8.HOFFSET", "ch1.STATUS.BLNK", "ch1.", "", "c",
                              "all.", "ch1.QPLINE.X", "LOSALL.BIT0"}) {
        EXPECT_FALSE(Find_Register(wrong, &error)) << wrong;
        EXPECT_NE(error.find("nearest"), std::string::npos) << error;
    }
    Find_Register("ch1.HOFSET", &error);
    EXPECT_NE(error.find("ch1.HOFFSET"), std::string::npos) << error;
    Find_Register(std::string(100000, 'x'), &error);
    EXPECT_LT(error.size(), 300u);
}

class NamedRegisters : public ChipTest {
protected:
    void SetUp() override {
        ChipTest::SetUp();
        Cache_Enabled = 0;
    }
};

TEST_F(NamedRegisters, ThePowerUpValuesAreTheBoardsOwn) {
    for (unsigned a = 0; a < 136; ++a)
        EXPECT_EQ(Register_At(static_cast<std::uint8_t>(a))->power_up, Chip().Register(a)) << a;
}

TEST_F(NamedRegisters, FieldsAndLineValuesReachTheChipAsTheirRegisters) {
    Chip().Set_Register(37, 0x18);  // ch2 STATUS: VINC and HINC
    Write_Named(Named("ch2.STATUS.BLANK"), 1);
    EXPECT_EQ(Chip().Register(37), 0x1A);  // the other bits kept
    EXPECT_EQ(Read_Named(Named("ch2.STATUS.HINC")), 1u);
    Write_Named(Named("ch2.STATUS.VINC"), 0);
    EXPECT_EQ(Chip().Register(37), 0x0A);

    Write_Named(Named("ch4.SHRBEG"), 300);
    EXPECT_EQ(Chip().Register(64 + Reg::SHRBEGH), 1);
    EXPECT_EQ(Chip().Register(64 + Reg::SHRBEGL), 44);
    EXPECT_EQ(Read_Named(Named("ch4.SHRBEG")), 300u);
    Write_Named(Named("ch4.SHRBEG"), 255);
    EXPECT_EQ(Chip().Register(64 + Reg::SHRBEGH), 0);
}

TEST_F(NamedRegisters, ADumpWrittenBackGivesTheSameDump) {
    Chip().Set_Register(23, 136);
    Chip().Set_Register(57, 0x10);
    Chip().Set_Register(117, 0x02);
    const std::string text = Format_Register_Dump(Read_Register_Dump());
    EXPECT_NE(text.find("ch1.HOFFSET = 136\n"), std::string::npos);
    EXPECT_NE(text.find("ch7.STATUS = 2  # VINC=0 HINC=0 ASYNC=0 BLANK=1 LOS=0\n"),
              std::string::npos);
    EXPECT_EQ(text.find("COMMAND"), std::string::npos);  // triggers are not read

    Reset_Board_Counters();
    board_->Power_Up();
    std::vector<NamedWrite> writes;
    int skipped = 0;
    std::string problem;
    ASSERT_TRUE(Parse_Register_Dump(text, &writes, &skipped, &problem)) << problem;
    EXPECT_EQ(skipped, 1);  // LOSALL
    for (const NamedWrite& w : writes) Write_Named(w.named, w.value);
    EXPECT_EQ(Format_Register_Dump(Read_Register_Dump()), text);
}

TEST(RegisterDump, ABadLineStopsTheWholeFile) {
    std::vector<NamedWrite> writes;
    int skipped = 0;
    std::string problem;
    for (const auto& [text, expected] :
         {std::pair<std::string, std::string>{"ch1.HOFFSET = 1\nch1.HOFSET = 2\n", "line 2"},
          {"ch1.HOFFSET 1\n", "expected NAME = VALUE"},
          {"ch1.STATUS.BLANK = 2\n", "0..1"},
          {"ch1.QPLINE = 512\n", "0..511"}}) {
        EXPECT_FALSE(Parse_Register_Dump(text, &writes, &skipped, &problem)) << text;
        EXPECT_NE(problem.find(expected), std::string::npos) << problem;
        EXPECT_TRUE(writes.empty());
    }
    EXPECT_TRUE(
        Parse_Register_Dump("# hand-made\n\nch0.STATUS.BLANK = 1  # off\nch0.QPLINE=0x1FF\n",
                            &writes, &skipped, &problem))
        << problem;
    EXPECT_EQ(writes.size(), 2u);
}

}  // namespace
