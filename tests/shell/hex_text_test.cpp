// Byte lists typed by the user and shown back.
#include "shell/hex_text.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace {

struct Parsed {
    std::vector<std::uint8_t> bytes;  // the whole array, capacity bytes
    std::uint8_t counter;
};

// Parses text into an array of capacity bytes prefilled with 0xEE.
Parsed Parse(std::string text, std::uint8_t capacity) {
    Parsed p{std::vector<std::uint8_t>(capacity, 0xEE), 0xCC};
    ArraytoHexList(text.data(), &p.counter, p.bytes.data(), capacity);
    return p;
}

std::vector<std::uint8_t> Stored(const Parsed& p) {
    return {p.bytes.begin(), p.bytes.begin() + p.counter};
}

TEST(HexText, DigitsAndByteTexts) {
    EXPECT_EQ(HexDigit(0), '0');
    EXPECT_EQ(HexDigit(9), '9');
    EXPECT_EQ(HexDigit(10), 'A');
    EXPECT_EQ(HexDigit(15), 'F');
    EXPECT_THROW(HexDigit(16), HexTextError);
    EXPECT_THROW(HexDigit(-1), HexTextError);
    EXPECT_EQ(ByteToHexText(0x0A), "0x0A");
    EXPECT_EQ(ByteToHexText(0xFF), "0xFF");
    EXPECT_EQ(ByteToHexText(0), "0x00");
    const std::uint8_t three[] = {0x12, 0x34, 0x56};
    EXPECT_EQ(ArrayToHexText(3, three), "{3 bytes:0x12,0x34,0x56}");
    EXPECT_EQ(ArrayToHexText(0, nullptr), "{0 bytes:}");
    EXPECT_THROW(ArrayToHexText(2, nullptr), HexTextError);
}

TEST(HexText, ListsOfNumbers) {
    EXPECT_EQ(Stored(Parse("0x12,0x34,0x56", 20)), (std::vector<std::uint8_t>{0x12, 0x34, 0x56}));
    EXPECT_EQ(Stored(Parse("{$1234 7}", 20)), (std::vector<std::uint8_t>{0x34, 0x12, 0x07}));
    EXPECT_EQ(Stored(Parse("01 02 0A", 20)), (std::vector<std::uint8_t>{0x01, 0x02, 0x0A}));
    EXPECT_EQ(Stored(Parse("0X1f;$ab|c3", 20)), (std::vector<std::uint8_t>{0x1F, 0xAB, 0xC3}));
    EXPECT_EQ(Stored(Parse("12 34", 1)), (std::vector<std::uint8_t>{0x12}));
    EXPECT_EQ(Stored(Parse("1234", 4)), (std::vector<std::uint8_t>{0x34}));  // low byte only
    // Three characters after the prefix make a 16-bit value, whatever they are.
    EXPECT_EQ(Stored(Parse("0x12z", 4)), (std::vector<std::uint8_t>{0x12, 0x00}));
    EXPECT_EQ(Stored(Parse("$123456", 4)), (std::vector<std::uint8_t>{0x56, 0x34}));
}

TEST(HexText, TokensWithoutNumbersKeepTheirSlot) {
    const Parsed p = Parse("zz,5", 4);
    EXPECT_EQ(p.counter, 2);
    EXPECT_EQ(p.bytes[0], 0xEE);  // untouched
    EXPECT_EQ(p.bytes[1], 0x05);

    const Parsed only_delimiters = Parse(" {[(.,;-/|)]} ", 4);
    EXPECT_EQ(only_delimiters.counter, 0);
    EXPECT_EQ(only_delimiters.bytes, std::vector<std::uint8_t>(4, 0xEE));
    EXPECT_EQ(Parse("", 4).counter, 0);
}

TEST(HexText, QuotedTexts) {
    EXPECT_EQ(Stored(Parse("'AB'", 20)), (std::vector<std::uint8_t>{0x02, 0x41, 0x42}));
    EXPECT_EQ(Stored(Parse("\"AB\"", 20)), (std::vector<std::uint8_t>{0x41, 0x42}));
    // A quoted text replaces what came before and ends the parse.
    EXPECT_EQ(Stored(Parse("1,2,\"xy,3", 20)), (std::vector<std::uint8_t>{'x', 'y'}));
    // Without a closing quote the text runs to the token's end.
    EXPECT_EQ(Stored(Parse("\"abc", 20)), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
    // An empty quoted text empties the list and parsing goes on.
    EXPECT_EQ(Stored(Parse("1 \"\" 7", 20)), (std::vector<std::uint8_t>{0x07}));
}

TEST(HexText, QuotedTextsAreCutToTheCapacity) {
    const Parsed dq = Parse("\"ABCDEFGH\"", 4);
    EXPECT_EQ(dq.counter, 4);
    EXPECT_EQ(Stored(dq), (std::vector<std::uint8_t>{'A', 'B', 'C', 'D'}));

    const Parsed sq = Parse("'ABCDEFGH'", 4);
    EXPECT_EQ(sq.counter, 4);
    EXPECT_EQ(Stored(sq), (std::vector<std::uint8_t>{3, 'A', 'B', 'C'}));

    const Parsed one = Parse("'AB'", 1);
    EXPECT_EQ(one.counter, 1);
    EXPECT_EQ(one.bytes[0], 0);
}

TEST(HexText, WideNumberInTheLastSlotKeepsItsLowByte) {
    const Parsed p = Parse("1,2,$ABCD", 3);
    EXPECT_EQ(p.counter, 3);
    EXPECT_EQ(Stored(p), (std::vector<std::uint8_t>{0x01, 0x02, 0xCD}));
    EXPECT_EQ(Stored(Parse("0x1234", 1)), (std::vector<std::uint8_t>{0x34}));
}

TEST(HexText, MissingArgumentsAreReported) {
    char text[] = "1,2";
    std::uint8_t counter = 0x55;
    std::uint8_t bytes[4] = {};
    auto message = [](auto call) {
        try {
            call();
        } catch (const HexTextError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([&] { ArraytoHexList(nullptr, &counter, bytes, 4); }),
              "null buffer pointer in ArraytoHexList");
    EXPECT_EQ(message([&] { ArraytoHexList(text, nullptr, bytes, 4); }),
              "null counter pointer in ArraytoHexList");
    EXPECT_EQ(message([&] { ArraytoHexList(text, &counter, nullptr, 4); }),
              "null array pointer in ArraytoHexList");
    EXPECT_EQ(message([&] { ArraytoHexList(text, &counter, bytes, 0); }),
              "zero array size in ArraytoHexList");
    EXPECT_EQ(counter, 0x55);  // the checks come before anything is written
}

// Random texts made of the characters that matter to the parser, random capacities, and
// canary bytes behind the array: nothing may be written at or past the capacity, and the
// counter never exceeds it.
TEST(HexText, RandomListsStayInsideTheArray) {
    const std::string alphabet = "0123456789abcdefxXzZ$'\" ,;{}()-/|.";
    std::mt19937 rng(20261208);
    for (int run = 0; run < 20000; ++run) {
        const std::uint8_t capacity = static_cast<std::uint8_t>(1 + rng() % 24);
        std::string text(rng() % 64, ' ');
        for (char& c : text) c = alphabet[rng() % alphabet.size()];
        std::vector<std::uint8_t> storage(capacity + 16u, 0xA5);
        std::uint8_t counter = 0;
        std::string copy = text;
        ArraytoHexList(copy.data(), &counter, storage.data(), capacity);
        ASSERT_LE(counter, capacity) << "text: " << text;
        for (std::size_t i = capacity; i < storage.size(); ++i) {
            ASSERT_EQ(storage[i], 0xA5) << "text: " << text << " capacity " << int(capacity);
        }
    }
}

}  // namespace
