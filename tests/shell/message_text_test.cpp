#include "shell/message_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(MessageText, ControlBytesShowAsHexAndUtf8StaysReadable) {
    EXPECT_EQ(Printable_Text("a\x1b[31mb\tc\x7f"), "a\\x1B[31mb\\x09c\\x7F");
    EXPECT_EQ(Printable_Text(std::string("nul\0end", 7)), "nul\\x00end");
    EXPECT_EQ(Printable_Text("Grün €"), "Grün €");
}

TEST(MessageText, BoxTextsKeepTheirLinesAndNothingElse) {
    EXPECT_EQ(Printable_Lines("first\nsecond\r\nthird"), "first\nsecond\r\nthird");
    EXPECT_EQ(Printable_Lines("a\rb\tc\x1b[2J\x07"), "a\\x0Db\\x09c\\x1B[2J\\x07");
    EXPECT_EQ(Printable_Lines("end\r"), "end\\x0D");
    EXPECT_EQ(Printable_Lines(std::string("nul\0\nGrün", 10)), "nul\\x00\nGrün");
}

TEST(MessageText, LongTokensAreCutWithTheirLength) {
    EXPECT_EQ(Quoted_Token("0x1FF"), "\"0x1FF\"");
    const std::string huge(1 << 20, '9');
    const std::string quoted = Quoted_Token(huge);
    EXPECT_EQ(quoted, '"' + std::string(40, '9') + "...\" (1048576 bytes)");
    // A cut inside a two-byte character moves before it.
    const std::string umlauts = std::string(39, 'a') + "üü";
    EXPECT_EQ(Quoted_Token(umlauts), '"' + std::string(39, 'a') + "...\" (43 bytes)");
    EXPECT_EQ(Quoted_Token("\x1b]0;x\x07"), "\"\\x1B]0;x\\x07\"");
}

TEST(MessageText, MessagesKeepTheirLinesAndLoseTheirHugeWords) {
    EXPECT_EQ(Printable_Lines("first\nsecond\r\x1b"), "first\nsecond\\x0D\\x1B");
    const std::string huge(300, 'x');
    EXPECT_EQ(Printable_Message("bad \"" + huge + "\"\nnext line"),
              "bad \"" + std::string(39, 'x') + "... (302 bytes)\nnext line");
    const std::string path = "/home/ann/" + std::string(120, 'p') + "/board.osdex";
    EXPECT_EQ(Printable_Message("cannot write " + path + ": No space"),
              "cannot write " + path + ": No space");
}
