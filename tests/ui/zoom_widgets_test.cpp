// The zoom's arithmetic and drawing without a window: whole device pixels per picture pixel at
// any screen ratio, exact blocks with the quad grid, and icons drawn for the ratio.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "ui/widgets/icons.h"
#include "ui/widgets/pixel_scale.h"
#include "ui/widgets/zoomed_image.h"

namespace {

QImage Checkerboard(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, (x + y) % 2 ? 0xFFFFFFFF : 0xFF0000FF);
    return image;
}

}  // namespace

TEST(PixelScaleTest, EveryZoomIsAWholeNumberOfDevicePixels) {
    EXPECT_EQ(Device_Pixels_For_Zoom(1, 1.0), 1);
    EXPECT_EQ(Device_Pixels_For_Zoom(4, 1.0), 4);
    // At 150 % one picture pixel is 2 x 2 device pixels, never 2 and 1 by turns.
    EXPECT_EQ(Device_Pixels_For_Zoom(1, 1.5), 2);
    EXPECT_EQ(Device_Pixels_For_Zoom(2, 1.5), 3);
    EXPECT_EQ(Device_Pixels_For_Zoom(3, 1.5), 5);
    EXPECT_EQ(Device_Pixels_For_Zoom(1, 2.0), 2);
    EXPECT_EQ(Device_Pixels_For_Zoom(1, 1.25), 1);
    // Fit: the largest whole scale that shows all of it, within 1 .. the largest step.
    EXPECT_EQ(Device_Pixels_To_Fit({712, 512}, {1500, 1100}, 1.0), 2);
    EXPECT_EQ(Device_Pixels_To_Fit({712, 512}, {1500, 1100}, 1.5), 3);
    EXPECT_EQ(Device_Pixels_To_Fit({712, 512}, {300, 200}, 1.0), 1);
    EXPECT_EQ(Device_Pixels_To_Fit({712, 512}, {99999, 99999}, 1.0), 8);
}

TEST(PixelScaleTest, WidgetPointsMapToThePicturePixelTheyCover) {
    const PixelScale three{3, 1.0};
    EXPECT_EQ(three.Picture_Point({30, 60}), QPoint(10, 20));
    EXPECT_EQ(three.Picture_Point({32.9, 62.9}), QPoint(10, 20));
    EXPECT_EQ(three.Picture_Point({-0.5, -3}), QPoint(-1, -1));  // beyond the edges too
    EXPECT_EQ(three.View_Rect({10, 20, 2, 1}), QRect(30, 60, 6, 3));
    EXPECT_EQ(three.Picture_Rect({31, 61, 6, 3}), QRect(10, 20, 3, 2));
    // 150 %, 2 device pixels each: picture pixel 3 covers device 6..7, logical 4..5.33.
    const PixelScale ratio{2, 1.5};
    EXPECT_EQ(ratio.Picture_Point({4.0, 4.0}), QPoint(3, 3));
    EXPECT_EQ(ratio.Picture_Point({5.3, 5.3}), QPoint(3, 3));
    EXPECT_EQ(ratio.View_Rect({3, 3, 1, 1}), QRect(4, 4, 2, 2));
    EXPECT_EQ(ratio.View_Size({712, 512}), QSize(950, 683));
    // At 1x nothing moves.
    const PixelScale one{1, 1.0};
    EXPECT_EQ(one.View_Rect({0, 100, 708, 0}), QRect(0, 100, 708, 0));
    EXPECT_EQ(one.Picture_Point({711, 511}), QPoint(711, 511));
}

TEST(ZoomedImageTest, EachPicturePixelBecomesAnEvenBlock) {
    const QImage board = Checkerboard(16, 8);
    for (int k : {1, 2, 3, 5}) {
        const QImage block = Scaled_Block(board, QRect(2, 1, 9, 5), k, false);
        ASSERT_EQ(block.size(), QSize(9 * k, 5 * k)) << k;
        for (int y = 0; y < block.height(); ++y)
            for (int x = 0; x < block.width(); ++x)
                ASSERT_EQ(block.pixel(x, y), board.pixel(2 + x / k, 1 + y / k))
                    << k << " " << x << "," << y;
    }
}

TEST(ZoomedImageTest, TheQuadGridMarksEveryFourthColumnAndRow) {
    QImage picture(12, 8, QImage::Format_RGB32);
    picture.fill(0xFF0000FF);
    const QImage block = Scaled_Block(picture, picture.rect(), 4, true);
    const QRgb blue = 0xFF0000FF;
    EXPECT_NE(block.pixel(0, 2), blue);   // column 0 starts a quad
    EXPECT_EQ(block.pixel(1, 2), blue);   // the rest of the pixel is the picture's
    EXPECT_NE(block.pixel(16, 2), blue);  // column 4
    EXPECT_EQ(block.pixel(4, 2), blue);   // column 1 is inside a quad
    EXPECT_NE(block.pixel(6, 16), blue);  // row 4
    EXPECT_EQ(block.pixel(6, 5), blue);   // row 1
}

TEST(IconsTest, IconsAreDrawnForTheDevicePixelRatio) {
    for (const QIcon& icon : {Tool_Icon(IconId::Text), Tool_Icon(IconId::TimeStampRun),
                              Luma_Icon(12, QColor(200, 200, 200))}) {
        const QImage one = icon.pixmap(QSize(16, 16), 1.0).toImage();
        const QImage two = icon.pixmap(QSize(16, 16), 2.0).toImage();
        ASSERT_EQ(one.size(), QSize(16, 16));
        ASSERT_EQ(two.size(), QSize(32, 32));
        // Not the small picture blown up: edges at the finer pixels.
        EXPECT_NE(two.convertToFormat(QImage::Format_ARGB32),
                  one.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                      .convertToFormat(QImage::Format_ARGB32));
    }
}
