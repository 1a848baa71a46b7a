// Picture decoding: bitmaps the toolkit writes decode pixel for pixel; cut-short files, RLE
// lines that end early, jumps over pixels and stray palette indexes are refused.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QBuffer>
#include <QImage>
#include <cstdio>
#include <new>
#include <string>

#include "bmp_builder.h"
#include "chip/bmp_decoder.h"
#include "chip/picture_decoding.h"

namespace {

const std::vector<std::uint32_t> Grey_Palette = {0x000000, 0x404040, 0x808080, 0xFFFFFF};

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray As_Bytes(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

QImage Pattern(int width, int height, QImage::Format format) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 37 % 256, y * 53 % 256, (x ^ y) * 11 % 256));
    return image.convertToFormat(format);
}

// An 8-bit RLE picture 4 wide, 2 high, of the grey palette.
DecodedPicture Rle8(std::vector<std::uint8_t> stream, int width = 4, int height = 2) {
    return Decode_Picture(As_Bytes(Bmp_File({.width = width,
                                             .height = height,
                                             .bits = 8,
                                             .compression = 1,
                                             .palette = Grey_Palette,
                                             .data = std::move(stream)})));
}

bool Refused_As_Incomplete(const DecodedPicture& decoded) {
    return decoded.image.isNull() && decoded.problem.find("incomplete") != std::string::npos;
}

}  // namespace

TEST(PictureDecoding, BitmapsTheToolkitWritesDecodePixelForPixel) {
    for (QImage::Format format : {QImage::Format_Mono, QImage::Format_Indexed8,
                                  QImage::Format_RGB888, QImage::Format_RGB32}) {
        const QImage original = Pattern(13, 7, format);  // odd width: padded rows
        const DecodedPicture decoded = Decode_Picture(Encoded(original, "BMP"));
        ASSERT_FALSE(decoded.image.isNull()) << decoded.problem;
        const QImage expected = original.convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(decoded.image.size(), expected.size());
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(decoded.image.pixel(x, y), expected.pixel(x, y)) << format << x << y;
    }
}

TEST(PictureDecoding, CutShortPlainBitmapIsRefusedButAMissingLastPaddingIsNot) {
    const QByteArray whole = Encoded(Pattern(13, 7, QImage::Format_RGB888), "BMP");
    EXPECT_TRUE(Refused_As_Incomplete(Decode_Picture(whole.left(whole.size() - 2))));
    EXPECT_TRUE(Refused_As_Incomplete(Decode_Picture(whole.left(60))));
    EXPECT_FALSE(Decode_Picture(whole.left(whole.size() - 1)).image.isNull());  // pad byte
    const DecodedPicture header_only = Decode_Picture(whole.left(20));
    EXPECT_TRUE(header_only.image.isNull());
    EXPECT_NE(header_only.problem.find("header"), std::string::npos);
}

TEST(PictureDecoding, CompleteRleStreamsDecode) {
    // Row 1 (bottom) first: a run of 5; then a run of 2 and an absolute run of 2, padded.
    const DecodedPicture rle8 = Rle8({5, 3, 0, 0, 2, 1, 0, 3, 2, 3, 0, 0, 0, 1}, 5, 2);
    ASSERT_FALSE(rle8.image.isNull()) << rle8.problem;
    EXPECT_EQ(rle8.image.pixel(0, 1), qRgb(255, 255, 255));
    EXPECT_EQ(rle8.image.pixel(3, 1), qRgb(255, 255, 255));
    EXPECT_EQ(rle8.image.pixel(1, 0), qRgb(64, 64, 64));
    EXPECT_EQ(rle8.image.pixel(2, 0), qRgb(128, 128, 128));
    EXPECT_EQ(rle8.image.pixel(4, 0), qRgb(0, 0, 0));

    // RLE4: runs alternate the two nibbles; a run past the line's end is cut.
    const DecodedPicture rle4 = Decode_Picture(As_Bytes(Bmp_File({.width = 3,
                                                                  .height = 1,
                                                                  .bits = 4,
                                                                  .compression = 2,
                                                                  .palette = Grey_Palette,
                                                                  .data = {5, 0x13, 0, 1}})));
    ASSERT_FALSE(rle4.image.isNull()) << rle4.problem;
    EXPECT_EQ(rle4.image.pixel(0, 0), qRgb(64, 64, 64));
    EXPECT_EQ(rle4.image.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(rle4.image.pixel(2, 0), qRgb(64, 64, 64));
}

TEST(PictureDecoding, RleStreamsThatLeavePixelsUnsetAreRefused) {
    EXPECT_TRUE(Refused_As_Incomplete(Rle8({3, 1, 0, 0, 4, 1, 0, 1})));  // line ends early
    EXPECT_TRUE(Refused_As_Incomplete(Rle8({4, 1, 0, 1})));              // bitmap ends early
    EXPECT_TRUE(Refused_As_Incomplete(Rle8({4, 1, 0, 0, 4})));           // file ends
    EXPECT_TRUE(Refused_As_Incomplete(Rle8({2, 1, 0, 2, 2, 0, 0, 0, 4, 1, 0, 1})));  // jump
    EXPECT_TRUE(Refused_As_Incomplete(Rle8({4, 1, 0, 2, 0, 1, 0, 1})));  // jump down a row
    EXPECT_TRUE(Refused_As_Incomplete(Rle8({4, 1, 0, 0, 0, 4, 1, 2})));  // cut absolute run
    EXPECT_TRUE(Refused_As_Incomplete(Rle8({4, 1, 0, 0}, 4000, 4000)));  // no room for it
    const DecodedPicture early = Rle8({3, 1, 0, 0, 4, 1, 0, 1});
    EXPECT_NE(early.problem.find("row 1 ends early"), std::string::npos) << early.problem;
    // The last row full: a missing end-of-bitmap loses nothing.
    EXPECT_FALSE(Rle8({4, 1, 0, 0, 4, 2}).image.isNull());
}

TEST(PictureDecoding, StrayPaletteIndexesAndUnsupportedHeadersAreRefused) {
    const DecodedPicture stray = Decode_Picture(As_Bytes(Bmp_File(
        {.width = 2, .height = 1, .bits = 8, .palette = Grey_Palette, .data = {1, 9, 0, 0}})));
    EXPECT_TRUE(stray.image.isNull());
    EXPECT_NE(stray.problem.find("palette"), std::string::npos);
    EXPECT_TRUE(Rle8({4, 7, 0, 0, 4, 1, 0, 1}).image.isNull());
    for (const BmpLayout& layout :
         {BmpLayout{.bits = 7, .data = {0, 0, 0, 0}}, BmpLayout{.width = 0, .data = {0, 0, 0, 0}},
          BmpLayout{.width = 100000, .height = 100000, .bits = 24},
          BmpLayout{.height = -2,
          .bits = 8,
          .compression = 1,
          .palette = Grey_Palette,
          .data = {1, 0, 0, 1}}}) {
        EXPECT_TRUE(Decode_Picture(As_Bytes(Bmp_File(layout))).image.isNull()) << layout.bits;
    }
}

// A few bytes must not make the decoder take the memory of the picture they claim: with the
// address space held to 64 MB above what is in use, a 256 MB claim must still be refused
// cleanly. (The sanitizers reserve far more address space, so there the test cannot run.)
TEST(PictureDecoding, AShortFileClaimingAHugePictureTakesNoMemoryForIt) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address-space limits do not work with AddressSanitizer";
#else
    const QByteArray claims = As_Bytes(Bmp_File(
        {.width = 8192, .height = 8192, .bits = 32, .data = std::vector<std::uint8_t>(64)}));
    rlimit old_limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_AS, &old_limit), 0);
    rlimit tight = old_limit;
    std::uint64_t in_use = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        unsigned long pages = 0;
        if (std::fscanf(statm, "%lu", &pages) == 1) in_use = std::uint64_t(pages) * 4096;
        std::fclose(statm);
    }
    ASSERT_GT(in_use, 0u);
    tight.rlim_cur = in_use + (std::uint64_t{64} << 20);
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &tight), 0);
    bool refused = false;
    try {
        refused = Refused_As_Incomplete(Decode_Picture(claims));
    } catch (const std::bad_alloc&) {
    }
    ::setrlimit(RLIMIT_AS, &old_limit);
    EXPECT_TRUE(refused);
#endif
}

TEST(PictureDecoding, BitFieldsTopDownAndAlpha) {
    // 16-bit 5-6-5, top-down: pure red on top, pure blue below.
    const DecodedPicture rgb565 =
        Decode_Picture(As_Bytes(Bmp_File({.width = 1,
                                          .height = -2,
                                          .bits = 16,
                                          .compression = 3,
                                          .masks = {0xF800, 0x07E0, 0x001F},
                                          .data = {0x00, 0xF8, 0, 0, 0x1F, 0x00, 0, 0}})));
    ASSERT_FALSE(rgb565.image.isNull()) << rgb565.problem;
    EXPECT_EQ(rgb565.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(rgb565.image.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_FALSE(rgb565.image.hasAlphaChannel());

    const DecodedPicture argb =
        Decode_Picture(As_Bytes(Bmp_File({.width = 1,
                                          .height = 1,
                                          .bits = 32,
                                          .compression = 6,
                                          .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000u},
                                          .data = {1, 2, 3, 0}})));
    ASSERT_FALSE(argb.image.isNull()) << argb.problem;
    EXPECT_TRUE(argb.image.hasAlphaChannel());
    EXPECT_EQ(argb.image.pixel(0, 0), qRgba(3, 2, 1, 0));
}

TEST(PictureDecoding, OtherFormatsGoThroughTheToolkitAndCutIconsAreRefused) {
    const QImage original = Pattern(9, 5, QImage::Format_RGB32);
    const DecodedPicture png = Decode_Picture(Encoded(original, "PNG"));
    ASSERT_FALSE(png.image.isNull()) << png.problem;
    EXPECT_EQ(png.image.convertToFormat(QImage::Format_RGB32).pixel(8, 4), original.pixel(8, 4));
    const QByteArray whole_png = Encoded(original, "PNG");
    EXPECT_TRUE(Decode_Picture(whole_png.left(whole_png.size() / 2)).image.isNull());

    // An icon directory naming 1000 bytes at offset 22 of a 40-byte file.
    QByteArray icon("\0\0\1\0\1\0", 6);
    icon += QByteArray("\x10\x10\0\0\1\0\x20\0", 8);
    icon += QByteArray("\xE8\x03\0\0\x16\0\0\0", 8);
    icon += QByteArray(18, '\0');
    EXPECT_TRUE(Refused_As_Incomplete(Decode_Picture(icon)));
    EXPECT_TRUE(Decode_Picture(QByteArray("no picture")).image.isNull());
}
