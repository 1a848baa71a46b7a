// Our PNG files, read back by the toolkit's own reader.
#include "shell/png_writer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <vector>

namespace {

QImage Decoded(const std::string& png) {
    return QImage::fromData(reinterpret_cast<const uchar*>(png.data()),
                            static_cast<int>(png.size()), "PNG");
}

TEST(PngWriter, EveryPixelReadsBackAndTheTopByteIsIgnored) {
    const std::vector<std::uint32_t> pixels = {0xFF102030, 0x00A0B0C0, 0x12FFFFFF,
                                               0xFF000000, 0xFFFF0000, 0xFF0000FF};
    const QImage image = Decoded(Encode_Png(pixels, 3, 2));
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_FALSE(image.hasAlphaChannel());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(image.pixel(x, y), 0xFF000000U | pixels[3 * y + x]) << x << "," << y;
}

TEST(PngWriter, AWholeFrameReadsBack) {
    std::vector<std::uint32_t> frame(712 * 512);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint32_t>(i * 2654435761U) & 0xFFFFFF;  // nothing repeats
    const QImage image = Decoded(Encode_Png(frame, 712, 512));
    ASSERT_EQ(image.size(), QSize(712, 512));
    EXPECT_EQ(image.pixel(0, 0), 0xFF000000U | frame[0]);
    EXPECT_EQ(image.pixel(711, 511), 0xFF000000U | frame.back());
    EXPECT_EQ(image.pixel(300, 200), 0xFF000000U | frame[200 * 712 + 300]);
}

TEST(PngWriter, PixelsThatDoNotFitTheSizeAreRefused) {
    const std::vector<std::uint32_t> five(5);
    EXPECT_THROW(Encode_Png(five, 3, 2), std::invalid_argument);
    EXPECT_THROW(Encode_Png({}, 0, 0), std::invalid_argument);
    EXPECT_THROW(Encode_Png(five, -5, -1), std::invalid_argument);
}

}  // namespace
