// The board's video output: where the overlay lands, what blanking, sharing and loss of
// sync show, the sources, and that a frame redraws exactly what changed, no more and no less.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "board/no_signal_screen.h"
#include "tests/board/pin_driver.h"

namespace board {
namespace {

using testing::PinDriver;

constexpr std::uint32_t kWhite = 0xFFFFFFFF;  // level 15, 100 IRE
constexpr std::uint32_t kBlack = 0xFF000000;

std::uint8_t Reg(int channel, unsigned offset) {
    return static_cast<std::uint8_t>(kBankSize * channel + offset);
}

std::vector<std::uint32_t> Frame_Copy(const VideoOutput& video, int channel) {
    const auto frame = video.Frame(channel);
    return {frame.begin(), frame.end()};
}

class VideoOutputTest : public ::testing::Test {
protected:
    VideoOutputTest() { bus.Enter_Byte_Mode(); }

    std::uint32_t Pixel(int channel, int x, int y) const {
        return b.Video().Frame(channel)[static_cast<std::size_t>(y) * kFrameWidth + x];
    }
    // What the channel shows when drawn from scratch, off a copy of the chip as it is now
    // (not for picture sources).
    std::vector<std::uint32_t> From_Scratch(int channel) const {
        OsdexChip chip = b.Chip();
        VideoOutput clean;
        clean.Set_Source(channel, b.Video().Source(channel));
        clean.Render(chip, channel, frame_number);
        return Frame_Copy(clean, channel);
    }
    // The channel's source alone.
    std::vector<std::uint32_t> Background_Only(int channel) const {
        VideoOutput clean;
        clean.Set_Source(channel, b.Video().Source(channel));
        OsdexChip blank_chip;
        clean.Render(blank_chip, channel, frame_number);
        return Frame_Copy(clean, channel);
    }

    SimulatedBoard b;
    SimulatedPort port{&b};
    PinDriver bus{port};
    unsigned frame_number = 0;
};

TEST_F(VideoOutputTest, OffsetsMoveTheOverlayAndPixelsOffTheFrameAreDropped) {
    b.Chip().Set_Pixel(0, 100, 200, 15);
    b.Render_Video(0, 0);
    EXPECT_EQ(Pixel(0, 200, 100), kWhite);  // offsets 128: memory at its own place

    bus.Write(Reg(0, kHOFFSET), 136);
    bus.Write(Reg(0, kVOFFSET), 120);
    b.Render_Video(0, 0);
    EXPECT_EQ(Pixel(0, 208, 92), kWhite);  // 8 right, 8 up
    EXPECT_EQ(Pixel(0, 200, 100), Background_Only(0)[100 * kFrameWidth + 200]);

    // The last pixel of a line and the last line, pushed past the frame's edge.
    b.Chip().Set_Pixel(0, 511, 711, 15);
    bus.Write(Reg(0, kHOFFSET), 129);
    bus.Write(Reg(0, kVOFFSET), 129);
    b.Render_Video(0, 0);
    EXPECT_EQ(Frame_Copy(b.Video(), 0), From_Scratch(0));
    EXPECT_EQ(Pixel(0, 201, 101), kWhite);
    EXPECT_NE(Pixel(0, 0, 0), kWhite);  // nothing wraps round to the other side
}

TEST_F(VideoOutputTest, LevelsShowAsTheGreyOfTheirIreAndLevelZeroIsTransparent) {
    bus.Write(Reg(2, kHOFFSET), 128);
    for (unsigned level = 0; level < 16; ++level) b.Chip().Set_Pixel(2, 10, 4 * level, level);
    b.Video().Set_Source(2, VideoSource::GreyRamp);
    b.Render_Video(2, 0);
    // round(255 × IRE / 100) for 7, 14, 21, 27, 34, 41, 47, 54, 60, 67, 74, 80, 87, 94, 100 IRE.
    const int greys[16] = {-1,  18,  36,  54,  69,  87,  105, 120,
                           138, 153, 171, 189, 204, 222, 240, 255};
    EXPECT_EQ(Pixel(2, 0, 10), kBlack);  // the ramp shows through level 0
    for (int level = 1; level < 16; ++level)
        EXPECT_EQ(Pixel(2, 4 * level, 10), 0xFF000000U | greys[level] * 0x010101U) << level;
}

TEST_F(VideoOutputTest, BlankShowsTheBackgroundOnly) {
    for (int x = 0; x < kFrameWidth; x += 3) b.Chip().Set_Pixel(5, x % kLines, x, 9);
    b.Render_Video(5, 0);
    ASSERT_NE(Frame_Copy(b.Video(), 5), Background_Only(5));

    bus.Write(Reg(5, kSTATUS), kStatusBlank);
    b.Render_Video(5, 0);
    EXPECT_EQ(Frame_Copy(b.Video(), 5), Background_Only(5));

    bus.Write(Reg(5, kSTATUS), 0);
    b.Render_Video(5, 0);
    EXPECT_EQ(Frame_Copy(b.Video(), 5), From_Scratch(5));
}

// The test pattern's memory sharing: channels 2..7 show lines 300..350 of channel 0 (even
// channels) or channel 1 (odd) and so the time stamps running there.
TEST_F(VideoOutputTest, SharedLinesShowTheTimeStampOfChannelZeroOrOne) {
    auto stamp = [&](int channel, int left, unsigned level) {
        for (int y = 315; y < 335; ++y)
            for (int x = left; x < left + 80; ++x) b.Chip().Set_Pixel(channel, y, x, level);
    };
    for (int channel = 2; channel < kChannels; ++channel)
        for (int y = 265; y <= 425; ++y) b.Chip().Set_Pixel(channel, y, 100 + channel, 3);
    for (int s = 32; s <= 112; s += 16) {
        bus.Write(static_cast<std::uint8_t>(s + 10), 1);
        bus.Write(static_cast<std::uint8_t>(s + 11), 44);
        bus.Write(static_cast<std::uint8_t>(s + 12), 1);
        bus.Write(static_cast<std::uint8_t>(s + 13), 94);
        bus.Write(static_cast<std::uint8_t>(s + 9), (s & 16) != 0 ? 2 : 1);
    }
    for (int channel = 0; channel < kChannels; ++channel) b.Render_Video(channel, 0);
    // The time stamps start after the channels were drawn: only their lines change.
    stamp(0, 200, 15);
    stamp(1, 500, 11);
    for (int channel = 2; channel < kChannels; ++channel) {
        EXPECT_EQ(b.Render_Video(channel, 0), 20) << channel;
        const bool odd = channel % 2 == 1;
        EXPECT_EQ(Pixel(channel, 220, 320),
                  odd ? Background_Only(channel)[320 * 712 + 220] : kWhite);
        EXPECT_EQ(Pixel(channel, 520, 320), odd ? 0xFFBDBDBDU  // level 11, 74 IRE
                                                : Background_Only(channel)[320 * 712 + 520]);
        // Their own memory on the lines around the shared ones, not on the shared ones.
        const std::uint32_t own = 0xFF363636;  // level 3
        EXPECT_EQ(Pixel(channel, 100 + channel, 299), own) << channel;
        EXPECT_EQ(Pixel(channel, 100 + channel, 351), own) << channel;
        EXPECT_NE(Pixel(channel, 100 + channel, 300), own) << channel;
        EXPECT_NE(Pixel(channel, 100 + channel, 350), own) << channel;
        EXPECT_EQ(Frame_Copy(b.Video(), channel), From_Scratch(channel)) << channel;
    }
}

TEST_F(VideoOutputTest, SharingTakesTheHighestSourceAndNeedsARange) {
    b.Chip().Set_Pixel(1, 40, 10, 15);
    b.Chip().Set_Pixel(3, 40, 10, 7);
    bus.Write(Reg(6, kSHRSRC), 0x0A);  // channels 1 and 3
    bus.Write(Reg(6, kSHRBEGL), 40);
    bus.Write(Reg(6, kSHRENDL), 40);
    bus.Write(Reg(6, kHOFFSET), 130);  // the sharing channel's own offsets apply
    b.Render_Video(6, 0);
    EXPECT_EQ(Pixel(6, 12, 40), 0xFF787878U);  // channel 3's level 7

    bus.Write(Reg(6, kSHRBEGL), 41);  // SHREND < SHRBEG: nothing is shared
    b.Render_Video(6, 0);
    EXPECT_EQ(Frame_Copy(b.Video(), 6), Background_Only(6));
}

TEST_F(VideoOutputTest, LossOfSyncShowsTheNoSignalScreenAndSetsLosall) {
    b.Chip().Set_Pixel(3, 256, 356, 15);
    b.Render_Video(3, 0);
    b.Chip().Set_Loss_Of_Sync(3, true);
    EXPECT_EQ(bus.Read(kLOSALL), 0x08);
    EXPECT_EQ(bus.Read(Reg(3, kSTATUS)) & kStatusLos, kStatusLos);

    std::vector<std::uint32_t> no_signal(kFramePixels);
    Draw_No_Signal_Screen(no_signal);
    EXPECT_EQ(b.Render_Video(3, 0), kFrameHeight);
    EXPECT_EQ(Frame_Copy(b.Video(), 3), no_signal);
    EXPECT_NE(std::count(no_signal.begin(), no_signal.end(), kNoSignalLegend), 0);
    // Nothing of the channel shows through it, whatever changes meanwhile.
    b.Chip().Set_Pixel(3, 100, 100, 15);
    bus.Write(Reg(3, kHOFFSET), 0);
    b.Video().Set_Source(3, VideoSource::MovingPattern);
    EXPECT_EQ(b.Render_Video(3, 1), 0);
    EXPECT_EQ(Frame_Copy(b.Video(), 3), no_signal);
    b.Render_Video(2, 0);
    EXPECT_EQ(Frame_Copy(b.Video(), 2), From_Scratch(2));  // other channels keep their sync

    b.Chip().Set_Loss_Of_Sync(3, false);
    EXPECT_EQ(bus.Read(kLOSALL), 0);
    frame_number = 1;
    EXPECT_EQ(b.Render_Video(3, 1), kFrameHeight);
    EXPECT_EQ(Frame_Copy(b.Video(), 3), From_Scratch(3));
}

TEST_F(VideoOutputTest, SourcesBarsByDefaultRampBlackAndPictures) {
    for (int channel = 0; channel < 4; ++channel) b.Render_Video(channel, 0);
    EXPECT_EQ(Pixel(0, 0, 0), 0xFFBFBFBFU);      // 75 % white
    EXPECT_EQ(Pixel(0, 89, 0), 0xFFBFBF00U);     // yellow
    EXPECT_EQ(Pixel(0, 400, 511), 0xFFBF00BFU);  // magenta
    EXPECT_EQ(Pixel(0, 711, 0), kBlack);

    b.Video().Set_Source(1, VideoSource::GreyRamp);
    b.Video().Set_Source(2, VideoSource::Black);
    // A 2 × 2 picture fills the frame in quarters; a half-transparent pixel darkens.
    const std::uint32_t picture[4] = {0xFFFF0000, 0xFF00FF00, 0x800000FF, 0x00FFFFFF};
    b.Video().Set_Picture(3, picture, 2, 2);
    for (int channel = 1; channel < 4; ++channel) EXPECT_EQ(b.Render_Video(channel, 0), 512);
    EXPECT_EQ(Pixel(1, 0, 7), kBlack);
    EXPECT_EQ(Pixel(1, 711, 7), kWhite);
    EXPECT_EQ(Pixel(2, 355, 255), kBlack);
    EXPECT_EQ(Pixel(3, 355, 255), 0xFFFF0000U);
    EXPECT_EQ(Pixel(3, 356, 255), 0xFF00FF00U);
    EXPECT_EQ(Pixel(3, 0, 256), 0xFF000080U);
    EXPECT_EQ(Pixel(3, 711, 511), kBlack);

    const std::uint32_t three[3] = {};
    EXPECT_THROW(b.Video().Set_Picture(3, three, 2, 2), std::invalid_argument);
    EXPECT_THROW(b.Video().Set_Picture(3, {}, 0, 0), std::invalid_argument);
    EXPECT_THROW(b.Video().Set_Source(3, VideoSource::Picture), std::invalid_argument);
    EXPECT_THROW(b.Video().Set_Source(8, VideoSource::Black), std::out_of_range);
    EXPECT_EQ(b.Video().Source(3), VideoSource::Picture);  // a refused change keeps it
}

TEST_F(VideoOutputTest, AFrameRedrawsOnlyTheLinesThatChanged) {
    bus.Write(Reg(2, kSHRSRC), 0x01);  // channel 2 shows channel 0 on lines 30..50
    bus.Write(Reg(2, kSHRBEGL), 30);
    bus.Write(Reg(2, kSHRENDL), 50);
    for (int channel = 0; channel < kChannels; ++channel) b.Render_Video(channel, 0);
    auto rows = [&](int channel) { return b.Render_Video(channel, 0); };
    const std::uint64_t before = b.Video().Lines_Rendered();
    for (int channel = 0; channel < kChannels; ++channel) EXPECT_EQ(rows(channel), 0);
    EXPECT_EQ(b.Video().Lines_Rendered(), before);

    b.Chip().Set_Quad(0, 40, 5, 0x1234);  // a shared line: channel 0 and channel 2
    b.Chip().Set_Quad(0, 60, 5, 0x1234);  // beyond the shared range: channel 0 only
    EXPECT_EQ(rows(0), 2);
    EXPECT_EQ(rows(2), 1);
    EXPECT_EQ(rows(4), 0);
    b.Chip().Set_Quad(0, 40, 5, 0x1234);      // the same value again
    bus.Write(Reg(0, kSTATUS), kStatusHinc);  // no change of BLANK
    bus.Write(Reg(0, kQPH), 0x77);            // quad data is not on the screen
    EXPECT_EQ(rows(0), 0);

    bus.Write(kMultiQPH, 0xF0);  // one MWRITE to every channel: one line each
    bus.Write(kMultiQPLINEL, 7);
    bus.Write(kMWRITE, 0xFF);
    for (int channel = 0; channel < kChannels; ++channel) EXPECT_EQ(rows(channel), 1);

    bus.Write(Reg(1, kVOFFSET), 0);  // every row moves
    EXPECT_EQ(rows(1), kFrameHeight);
    b.Chip().Set_Quad(1, 10, 0, 0xFFFF);  // pushed above the frame: nothing to draw
    EXPECT_EQ(rows(1), 0);

    b.Video().Set_Source(4, VideoSource::MovingPattern);
    EXPECT_EQ(b.Render_Video(4, 0), kFrameHeight);
    EXPECT_EQ(b.Render_Video(4, 0), 0);
    EXPECT_EQ(b.Render_Video(4, 1), kFrameHeight);  // a new frame of a live picture
    const auto first = Frame_Copy(b.Video(), 4);
    b.Render_Video(4, 2);
    EXPECT_NE(Frame_Copy(b.Video(), 4), first);
}

// Whatever happens on the bus, the frame drawn line by line is the frame drawn from scratch.
TEST_F(VideoOutputTest, IncrementalFramesMatchFramesDrawnFromScratch) {
    std::mt19937 random(7);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto any_byte = [&] { return static_cast<std::uint8_t>(pick(256)); };
    for (int step = 1; step <= 400; ++step) {
        const int channel = pick(kChannels);
        const int what = pick(20);
        if (what < 12) {  // most traffic is memory
            b.Chip().Set_Quad(channel, pick(kLines), pick(kQuadsPerLine),
                              static_cast<std::uint16_t>(random()));
        } else if (what < 14) {
            bus.Write(kMultiQPH, any_byte());
            bus.Write(kMultiQPLINEL, any_byte());
            bus.Write(kMWRITE, any_byte());
        } else if (what == 14) {
            bus.Write(Reg(channel, pick(2) == 0 ? kHOFFSET : kVOFFSET),
                      static_cast<std::uint8_t>(96 + pick(64)));
        } else if (what == 15) {
            bus.Write(Reg(channel, kSTATUS), pick(2) == 0 ? kStatusBlank : kStatusHinc);
        } else if (what < 18) {
            bus.Write(Reg(channel, kSHRSRC), static_cast<std::uint8_t>(1U << pick(8)));
            bus.Write(Reg(channel, kSHRBEGL), any_byte());
            bus.Write(Reg(channel, kSHRENDH), static_cast<std::uint8_t>(pick(2)));
        } else if (what == 18) {
            b.Chip().Set_Loss_Of_Sync(channel, pick(4) == 0);
        } else {
            b.Video().Set_Source(channel, static_cast<VideoSource>(pick(4)));
        }
        for (int c = 0; c < kChannels; ++c) b.Render_Video(c, 0);
        if (step % 50 != 0) continue;
        for (int c = 0; c < kChannels; ++c)
            ASSERT_EQ(Frame_Copy(b.Video(), c), From_Scratch(c))
                << "channel " << c << ", step " << step;
    }
}

}  // namespace
}  // namespace board
