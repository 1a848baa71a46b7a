// The board state file: everything the board holds survives the bytes, and a file that is
// not intact is refused with the reason and nothing taken from it.
#include "vanlpt/board_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "board/simulated_board.h"
#include "vanlpt/board_state_file.h"

namespace vanlpt {
namespace {

using board::SimulatedBoard;
using namespace board;

BoardState Busy_Board() {
    SimulatedBoard b;
    b.Power_Up();
    b.Chip().Set_Register(16 + kHOFFSET, 136);
    b.Chip().Set_Register(7 * 16 + kSTATUS, kStatusBlank | kStatusHinc);
    b.Chip().Set_Register(2 * 16 + kSHRSRC, 1);
    b.Chip().Set_Register(kCONTROL, kStatusVinc);
    b.Chip().Set_Pixel(0, 0, 0, 15);
    b.Chip().Set_Pixel(7, 511, 711, 3);
    b.Chip().Set_Quad(4, 300, 100, 0xABCD);
    b.Crosspoint().Set_Route(15, {true, 31, 2});
    return Capture_Board_State(b);
}

TEST(BoardStateFile, EverythingSurvivesTheBytesAndTheBoard) {
    const BoardState state = Busy_Board();
    BoardState back;
    std::string error;
    ASSERT_TRUE(Decode_Board_State(Encode_Board_State(state), &back, &error)) << error;
    EXPECT_TRUE(back == state);

    SimulatedBoard other;
    Apply_Board_State(back, &other);
    EXPECT_EQ(other.Chip().Register(16 + kHOFFSET), 136);
    EXPECT_EQ(other.Chip().Quad(4, 300, 100), 0xABCD);
    EXPECT_EQ(other.Chip().Pixel(7, 511, 711), 3u);
    EXPECT_EQ(other.Crosspoint().Route(15), (board::CrosspointRoute{true, 31, 2}));
    EXPECT_TRUE(Capture_Board_State(other) == state);
}

TEST(BoardStateFile, AFileThatIsNotIntactIsRefusedWithTheReason) {
    const std::string good = Encode_Board_State(Busy_Board());
    std::string version = good;
    version[8] = 2;
    std::string damaged = good;
    damaged[good.size() / 2] ^= 0x10;
    const std::pair<std::string, const char*> cases[] = {
        {"", "not an Osdex board state file"},
        {"PNG\r\n" + good.substr(5), "not an Osdex board state file"},
        {good.substr(0, good.size() - 1), "truncated"},
        {good.substr(0, 100), "truncated"},
        {good + "x", "too long"},
        {version, "format 2"},
        {damaged, "damaged"},
    };
    for (const auto& [bytes, reason] : cases) {
        BoardState state = Busy_Board();
        const BoardState before = state;
        std::string error;
        EXPECT_FALSE(Decode_Board_State(bytes, &state, &error)) << reason;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_TRUE(state == before);
    }
}

// The checksum is zlib's CRC-32, so files written by any version of the library (and by
// any tool) stay readable.
TEST(BoardStateFormat, TheChecksumIsTheZlibCrc32) {
    for (const auto& [text, crc] : std::vector<std::pair<std::string, std::uint32_t>>{
             {"123456789", 0xCBF43926u},
             {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
             {"", 0u}}) {
        std::string bytes = text + std::string(4, '\0');
        Seal_Board_State(bytes);
        std::uint32_t sealed = 0;
        for (int i = 0; i < 4; ++i)
            sealed |= std::uint32_t{static_cast<unsigned char>(bytes[text.size() + i])} << (8 * i);
        EXPECT_EQ(sealed, crc) << text;
    }
}

}  // namespace
}  // namespace vanlpt
