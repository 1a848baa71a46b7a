// Tool steps both windows share, where the mouse tests cannot easily reach: the regions of
// uploads and read-backs at the right edge, vertical bars dragged off the left edge, and the
// cut of a picture placed at the press point.
#include <gtest/gtest.h>

#include "chip/display_memory.h"
#include "ui/drawing/canvas_tools.h"

namespace {

// The quads an upload or read-back of the region covers, as the primitives take it.
std::pair<int, int> Region_Quads(const PictureRect& r) {
    return {Nearest_Quad(r.Left), Nearest_Quad(r.Right) + 1};
}

}  // namespace

TEST(ToolGeometry, UploadRegionsEndAtTheLastQuadColumn) {
    // The region's quads run one beyond the one nearest Right; they must stop at 177.
    for (int right : {700, 705, 706, 709, 711, 2000}) {
        const auto region = Clip_Region_To_Memory({0, 0, right, 10});
        ASSERT_TRUE(region);
        EXPECT_EQ(Region_Quads(*region).first, 0);
        EXPECT_LE(Region_Quads(*region).second, Display_Quads - 1) << right;
    }
    EXPECT_EQ(Region_Quads(*Clip_Region_To_Memory({0, 0, 711, 10})).second, 177);
    EXPECT_EQ(Region_Quads(*Clip_Region_To_Memory({0, 0, 300, 10})).second, 76);
    // A region in the last quad still writes it.
    const auto last = Clip_Region_To_Memory({707, 3, 711, 4});
    ASSERT_TRUE(last);
    EXPECT_EQ(Region_Quads(*last), std::make_pair(177, 177));
    // Starting in the second half of the last quad it starts beyond memory: nothing.
    EXPECT_FALSE(Clip_Region_To_Memory({710, 0, 711, 10}));
    EXPECT_EQ(Clip_Region_To_Memory({-30, -5, 40, 600}), (PictureRect{0, 0, 40, 511}));
}

TEST(ToolGeometry, VerticalBarsAreWholeQuadsFromThePressColumn) {
    // From quad 10 to the quad nearest x + 4: 25 quads, under 16 per bar: one quad each.
    EXPECT_TRUE(Vertical_Luma_Bars(40, 96, 0, 9).empty());  // 15 quads
    const auto bars = Vertical_Luma_Bars(40, 100, 0, 9);
    ASSERT_EQ(bars.size(), 16u);
    EXPECT_EQ(bars[0].Area, (PictureRect{40, 0, 43, 9}));
    EXPECT_EQ(bars[15].Area, (PictureRect{100, 0, 103, 9}));

    // Dragged left past the picture's edge the bars step left; no column wraps round.
    const auto left = Vertical_Luma_Bars(400, -300, 0, 9);
    ASSERT_EQ(left.size(), 16u);
    for (std::size_t k = 1; k < left.size(); ++k)
        EXPECT_LT(left[k].Area.Left, left[k - 1].Area.Left);
}

TEST(ToolGeometry, PicturesAreCutToWhatFitsRightOfAndBelowThePress) {
    QImage big(800, 600, QImage::Format_RGB32);
    big.fill(Qt::white);
    EXPECT_EQ(Cut_To_Press_Point(big, 0, 0).size(), QSize(711, 511));
    EXPECT_EQ(Cut_To_Press_Point(big, 100, 50).size(), QSize(611, 461));
    QImage small(20, 10, QImage::Format_RGB32);
    EXPECT_EQ(Cut_To_Press_Point(small, 5, 5).size(), QSize(20, 10));
    EXPECT_TRUE(Cut_To_Press_Point(big, 711, 0).isNull());
}
