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

TEST(PngWriter, EveryPixelOfAFrameReadsBackWithoutItsTopByte) {
    std::vector<std::uint32_t> frame(712 * 512);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint32_t>(i * 2654435761U);  // nothing repeats
    const QImage image = Decoded(Encode_Png(frame, 712, 512));
    ASSERT_EQ(image.size(), QSize(712, 512));
    EXPECT_FALSE(image.hasAlphaChannel());
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 712; ++x)
            ASSERT_EQ(image.pixel(x, y), 0xFF000000U | frame[712 * y + x]) << x << "," << y;
    const std::vector<std::uint32_t> five(5);
    EXPECT_THROW(Encode_Png(five, 3, 2), std::invalid_argument);
    EXPECT_THROW(Encode_Png({}, 0, 0), std::invalid_argument);
}

}  // namespace
