// The board's video output: where the overlay lands, what blanking, sharing and loss of
// sync show, pictures as sources, and that a frame redraws exactly what changed.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "board/no_signal_screen.h"
#include "tests/board/pin_driver.h"

namespace board {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF;  // level 15, 100 IRE

std::uint8_t Reg(int channel, unsigned offset) {
    return static_cast<std::uint8_t>(kBankSize * channel + offset);
}

std::vector<std::uint32_t> Copy(std::span<const std::uint32_t> frame) {
    return {frame.begin(), frame.end()};
}

class VideoOutputTest : public ::testing::Test {
protected:
    VideoOutputTest() { bus.Enter_Byte_Mode(); }

    std::uint32_t Pixel(int channel, int x, int y) const {
        return b.Video().Frame(channel)[static_cast<std::size_t>(y) * kFrameWidth + x];
    }
    std::vector<std::uint32_t> Frame(int channel) const { return Copy(b.Video().Frame(channel)); }
    // The channel drawn from scratch off a copy of the chip; a blank chip gives the source alone.
    std::vector<std::uint32_t> From_Scratch(int channel, OsdexChip chip) const {
        VideoOutput clean;
        clean.Set_Source(channel, b.Video().Source(channel));
        clean.Render(chip, channel, 0);
        return Copy(clean.Frame(channel));
    }
    std::vector<std::uint32_t> From_Scratch(int channel) const {
        return From_Scratch(channel, b.Chip());
    }
    std::vector<std::uint32_t> Background(int channel) const {
        return From_Scratch(channel, OsdexChip{});
    }

    SimulatedBoard b;
    SimulatedPort port{&b};
    testing::PinDriver bus{port};
};

TEST_F(VideoOutputTest, OffsetsMoveTheOverlayInTheGreyOfItsIre) {
    b.Chip().Set_Pixel(0, 100, 200, 15);
    b.Chip().Set_Pixel(0, 100, 201, 1);  // 7 IRE: round(255 × 0.07) = 18
    b.Chip().Set_Pixel(0, 100, 202, 7);  // 47 IRE: 120
    b.Chip().Set_Pixel(0, 511, 711, 15);
    bus.Write(Reg(0, kHOFFSET), 136);
    bus.Write(Reg(0, kVOFFSET), 120);
    b.Render_Video(0, 0);
    EXPECT_EQ(Pixel(0, 208, 92), kWhite);  // 8 right, 8 up
    EXPECT_EQ(Pixel(0, 209, 92), 0xFF121212U);
    EXPECT_EQ(Pixel(0, 210, 92), 0xFF787878U);
    EXPECT_EQ(Pixel(0, 211, 92), Background(0)[92 * kFrameWidth + 211]);  // level 0
    EXPECT_EQ(Pixel(0, 200, 100), Background(0)[100 * kFrameWidth + 200]);
    // Pushed past the right edge, the last pixel does not wrap round onto the next row.
    EXPECT_EQ(Pixel(0, 7, 504), Background(0)[504 * kFrameWidth + 7]);
    EXPECT_EQ(Frame(0), From_Scratch(0));
}

TEST_F(VideoOutputTest, BlankShowsTheBackgroundOnly) {
    for (int x = 0; x < kFrameWidth; x += 3) b.Chip().Set_Pixel(5, x % kLines, x, 9);
    bus.Write(Reg(5, kSTATUS), kStatusBlank);
    b.Render_Video(5, 0);
    EXPECT_EQ(Frame(5), Background(5));
    bus.Write(Reg(5, kSTATUS), 0);
    b.Render_Video(5, 0);
    EXPECT_NE(Frame(5), Background(5));
    EXPECT_EQ(Frame(5), From_Scratch(5));
}

// The test pattern's sharing: channels 2..7 show lines 300..350 of channel 0 (even channels)
// or channel 1 (odd), and so the time stamps running there.
TEST_F(VideoOutputTest, SharedLinesShowTheTimeStampOfChannelZeroOrOne) {
    for (int channel = 2; channel < kChannels; ++channel)
        for (int y = 265; y <= 425; ++y) b.Chip().Set_Pixel(channel, y, 100, 3);
    const std::uint8_t shared[] = {1, 44, 1, 94};  // SHRBEGH/L, SHRENDH/L: lines 300..350
    for (int s = 32; s <= 112; s += 16) {
        for (int k = 0; k < 4; ++k) bus.Write(static_cast<std::uint8_t>(s + 10 + k), shared[k]);
        bus.Write(static_cast<std::uint8_t>(s + 9), (s & 16) != 0 ? 2 : 1);
    }
    for (int channel = 0; channel < kChannels; ++channel) b.Render_Video(channel, 0);
    // The stamps are drawn after the channels were: only their 20 lines change.
    for (int y = 315; y < 335; ++y)
        for (int x = 0; x < 80; ++x) {
            b.Chip().Set_Pixel(0, y, 200 + x, 15);
            b.Chip().Set_Pixel(1, y, 500 + x, 15);
        }
    for (int channel = 2; channel < kChannels; ++channel) {
        EXPECT_EQ(b.Render_Video(channel, 0), 20) << channel;
        const bool odd = channel % 2 == 1;
        EXPECT_EQ(Pixel(channel, 220, 320) == kWhite, !odd) << channel;
        EXPECT_EQ(Pixel(channel, 520, 320) == kWhite, odd) << channel;
        // Their own memory just outside the shared lines only.
        for (int y : {299, 300, 350, 351})
            EXPECT_EQ(Pixel(channel, 100, y) == 0xFF363636U, y == 299 || y == 351) << y;
        EXPECT_EQ(Frame(channel), From_Scratch(channel)) << channel;
    }
    bus.Write(Reg(2, kSHRBEGL), 95);  // SHRBEG 351 > SHREND 350: nothing is shared
    b.Render_Video(2, 0);
    EXPECT_NE(Pixel(2, 220, 320), kWhite);
}

TEST_F(VideoOutputTest, LossOfSyncShowsTheNoSignalScreenAndSetsLosall) {
    b.Chip().Set_Pixel(3, 256, 356, 15);
    b.Chip().Set_Loss_Of_Sync(3, true);
    EXPECT_EQ(bus.Read(kLOSALL), 0x08);
    EXPECT_EQ(bus.Read(Reg(3, kSTATUS)) & kStatusLos, kStatusLos);
    std::vector<std::uint32_t> no_signal(kFramePixels);
    Draw_No_Signal_Screen(no_signal);
    EXPECT_EQ(b.Render_Video(3, 0), kFrameHeight);
    EXPECT_EQ(Frame(3), no_signal);
    // Nothing of the channel shows through it, whatever changes meanwhile.
    b.Chip().Set_Pixel(3, 100, 100, 15);
    b.Video().Set_Source(3, VideoSource::MovingPattern);
    EXPECT_EQ(b.Render_Video(3, 1), 0);
    b.Render_Video(2, 0);
    EXPECT_EQ(Frame(2), From_Scratch(2));  // the other channels keep their sync

    b.Chip().Set_Loss_Of_Sync(3, false);
    EXPECT_EQ(bus.Read(kLOSALL), 0);
    b.Video().Set_Source(3, VideoSource::GreyRamp);
    EXPECT_EQ(b.Render_Video(3, 0), kFrameHeight);
    EXPECT_EQ(Frame(3), From_Scratch(3));
}

TEST_F(VideoOutputTest, APictureFillsTheFrameOverBlack) {
    const std::uint32_t picture[4] = {0xFFFF0000, 0xFF00FF00, 0x800000FF, 0x00FFFFFF};
    b.Video().Set_Picture(3, picture, 2, 2);
    b.Render_Video(3, 0);
    EXPECT_EQ(Pixel(3, 355, 255), 0xFFFF0000U);
    EXPECT_EQ(Pixel(3, 356, 255), 0xFF00FF00U);
    EXPECT_EQ(Pixel(3, 0, 256), 0xFF000080U);  // half transparent blue
    EXPECT_EQ(Pixel(3, 711, 511), 0xFF000000U);
    const std::uint32_t three[3] = {};
    EXPECT_THROW(b.Video().Set_Picture(3, three, 2, 2), std::invalid_argument);
    EXPECT_EQ(b.Video().Source(3), VideoSource::Picture);
}

TEST_F(VideoOutputTest, AFrameRedrawsOnlyTheLinesThatChanged) {
    bus.Write(Reg(2, kSHRSRC), 0x01);  // channel 2 shows channel 0 on lines 30..50
    bus.Write(Reg(2, kSHRBEGL), 30);
    bus.Write(Reg(2, kSHRENDL), 50);
    auto rows = [&](int channel) { return b.Render_Video(channel, 0); };
    for (int channel = 0; channel < kChannels; ++channel) rows(channel);
    for (int channel = 0; channel < kChannels; ++channel) EXPECT_EQ(rows(channel), 0);

    b.Chip().Set_Quad(0, 40, 5, 0x1234);  // shared: channel 0 and channel 2
    b.Chip().Set_Quad(0, 60, 5, 0x1234);  // channel 0 only
    EXPECT_EQ(rows(0), 2);
    EXPECT_EQ(rows(2), 1);
    EXPECT_EQ(rows(4), 0);
    b.Chip().Set_Quad(0, 40, 5, 0x1234);      // the same value again
    bus.Write(Reg(0, kSTATUS), kStatusHinc);  // BLANK unchanged
    bus.Write(Reg(0, kQPH), 0x77);            // quad data is not on the screen
    EXPECT_EQ(rows(0), 0);

    bus.Write(kMultiQPH, 0xF0);  // one MWRITE to every channel: one line each
    bus.Write(kMWRITE, 0xFF);
    for (int channel = 0; channel < kChannels; ++channel) EXPECT_EQ(rows(channel), 1);
    bus.Write(Reg(1, kVOFFSET), 0);  // every row moves
    EXPECT_EQ(rows(1), kFrameHeight);
    b.Chip().Set_Quad(1, 10, 0, 0xFFFF);  // pushed above the frame: nothing to draw
    EXPECT_EQ(rows(1), 0);

    b.Video().Set_Source(4, VideoSource::MovingPattern);
    EXPECT_EQ(b.Render_Video(4, 0), kFrameHeight);
    EXPECT_EQ(b.Render_Video(4, 0), 0);
    const auto first = Frame(4);
    EXPECT_EQ(b.Render_Video(4, 1), kFrameHeight);  // a new frame of a live picture
    EXPECT_NE(Frame(4), first);
}

// Whatever happens on the bus, the frame drawn line by line is the frame drawn from scratch.
TEST_F(VideoOutputTest, IncrementalFramesMatchFramesDrawnFromScratch) {
    std::mt19937 random(7);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto byte = [&] { return static_cast<std::uint8_t>(pick(256)); };
    for (int step = 1; step <= 400; ++step) {
        const int channel = pick(kChannels);
        const int what = pick(20);
        if (what < 12) {  // most traffic is memory
            b.Chip().Set_Quad(channel, pick(kLines), pick(kQuadsPerLine),
                              static_cast<std::uint16_t>(random()));
        } else if (what < 14) {
            bus.Write(kMultiQPH, byte());
            bus.Write(kMultiQPLINEL, byte());
            bus.Write(kMWRITE, byte());
        } else if (what == 14) {
            bus.Write(Reg(channel, pick(2) == 0 ? kHOFFSET : kVOFFSET),
                      static_cast<std::uint8_t>(96 + pick(64)));
        } else if (what == 15) {
            bus.Write(Reg(channel, kSTATUS), pick(2) == 0 ? kStatusBlank : kStatusHinc);
        } else if (what < 18) {
            bus.Write(Reg(channel, kSHRSRC), static_cast<std::uint8_t>(1U << pick(8)));
            bus.Write(Reg(channel, kSHRBEGL), byte());
            bus.Write(Reg(channel, kSHRENDH), static_cast<std::uint8_t>(pick(2)));
        } else if (what == 18) {
            b.Chip().Set_Loss_Of_Sync(channel, pick(4) == 0);
        } else {
            b.Video().Set_Source(channel, static_cast<VideoSource>(pick(3)));
        }
        for (int c = 0; c < kChannels; ++c) b.Render_Video(c, 0);
        if (step % 50 != 0) continue;
        for (int c = 0; c < kChannels; ++c)
            ASSERT_EQ(Frame(c), From_Scratch(c)) << "channel " << c << ", step " << step;
    }
}

}  // namespace
}  // namespace board
