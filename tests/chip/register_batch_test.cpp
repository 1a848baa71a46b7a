// The register batch file read back as a script: the lines the program writes, line ends of
// both kinds, and the first bad line named with nothing parsed.
#include "chip/register_batch.h"

#include <gtest/gtest.h>

namespace {

TEST(RegisterBatch, ReadsTheLinesTheProgramWrites) {
    std::vector<BatchStep> steps;
    BatchParseError error;
    ASSERT_TRUE(Parse_Register_Batch(
        "wrreg 134 5\r\nrdreg 133\r\n\r\n\t wrreg 0x1F 0xff  \nrdreg 0", &steps, &error));
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].kind, BatchStep::Kind::Write);
    EXPECT_EQ(steps[0].address, 134);
    EXPECT_EQ(steps[0].data, 5);
    EXPECT_EQ(steps[1].kind, BatchStep::Kind::Read);
    EXPECT_EQ(steps[1].address, 133);
    EXPECT_EQ(steps[2].address, 0x1F);
    EXPECT_EQ(steps[2].data, 0xFF);
    EXPECT_EQ(steps[2].line, 4);
    EXPECT_EQ(steps[3].line, 5);
    EXPECT_TRUE(Parse_Register_Batch("", &steps, &error));
    EXPECT_TRUE(steps.empty());
}

TEST(RegisterBatch, TheFirstBadLineStopsEverything) {
    const std::pair<std::string, const char*> cases[] = {
        {"wrreg 1 2\nwrreg 1\n", "wrreg needs a value"},
        {"rdreg\n", "rdreg needs a register address"},
        {"rdreg 256", "bad register address \"256\""},
        {"wrreg 1 -3", "bad register value \"-3\""},
        {"wrreg 1 0x", "bad register value \"0x\""},
        {"wrreg 1 2 3", "unexpected \"3\""},
        {"WRITE 1 2", "unknown command \"WRITE\""},
        {"wrreg 1 2 # a note\nwrreg 1 # 2", "wrreg needs a value"},
        {"rdreg 99999999999999999999", "bad register address"},
        {std::string("rdreg 1\0", 8), "NUL"},
    };
    for (const auto& [text, problem] : cases) {
        std::vector<BatchStep> steps;
        BatchParseError error;
        SCOPED_TRACE(text.c_str());
        EXPECT_FALSE(Parse_Register_Batch("wrreg 9 9\n" + text, &steps, &error));
        EXPECT_TRUE(steps.empty());
        EXPECT_GE(error.line, 2);
        EXPECT_NE(error.problem.find(problem), std::string::npos) << error.problem;
    }
}

TEST(RegisterBatch, ReadsFilesWrittenByHand) {
    std::vector<BatchStep> steps;
    BatchParseError error;
    ASSERT_TRUE(Parse_Register_Batch("\xEF\xBB\xBF# setup\nWRREG 7 1 # note\n\n  #\nRdReg 7\n",
                                     &steps, &error))
        << error.problem;
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].line, 2);
    EXPECT_EQ(steps[1].kind, BatchStep::Kind::Read);
    EXPECT_EQ(steps[1].line, 5);
}

TEST(RegisterBatch, OnlyABadLastLineWithoutItsEndIsTorn) {
    std::vector<BatchStep> steps;
    BatchParseError error;
    EXPECT_FALSE(Parse_Register_Batch("wrreg 7 1\nwrre", &steps, &error));
    EXPECT_TRUE(error.torn_end);
    EXPECT_EQ(Without_Torn_End("wrreg 7 1\nwrre"), "wrreg 7 1\n");
    EXPECT_EQ(Without_Torn_End("wrre"), "");
    EXPECT_FALSE(Parse_Register_Batch("wrreg 7 1\nwrre\n", &steps, &error));
    EXPECT_FALSE(error.torn_end);
    EXPECT_FALSE(Parse_Register_Batch("wrre\nwrreg 7 1", &steps, &error));
    EXPECT_FALSE(error.torn_end);
}

TEST(RegisterBatch, BadTokensAreQuotedShortAndPrintable) {
    std::vector<BatchStep> steps;
    BatchParseError error;
    EXPECT_FALSE(Parse_Register_Batch("rdreg " + std::string(100000, '1'), &steps, &error));
    EXPECT_LT(error.problem.size(), 120u) << error.problem;
    EXPECT_FALSE(Parse_Register_Batch("\x1b[2J 7", &steps, &error));
    EXPECT_EQ(error.problem.find('\x1b'), std::string::npos) << error.problem;
}

TEST(RegisterBatch, NumbersAreDecimalOrHexadecimalBytes) {
    unsigned v = 0;
    EXPECT_TRUE(Parse_Byte_Number("0", 255, &v));
    EXPECT_TRUE(Parse_Byte_Number("0X8a", 255, &v));
    EXPECT_EQ(v, 0x8Au);
    EXPECT_TRUE(Parse_Byte_Number("7", 7, &v));
    for (const char* bad : {"", "8", "+1", " 1", "1 ", "0x", "x1", "1.0", "0b1"})
        EXPECT_FALSE(Parse_Byte_Number(bad, 7, &v)) << bad;
}

}  // namespace
