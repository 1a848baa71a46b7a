// Drawing primitives against the simulated board: after each primitive the board's display
// memory and the picture agree, untouched channels stay untouched, and the bus carries the
// commands the primitive promises.
#include <QRect>
#include <functional>

#include "chip/channel_pictures.h"
#include "chip/display_memory.h"
#include "chip/drawing_primitives.h"
#include "chip/register_map.h"
#include "chip_fixture.h"
#include "shell/services.h"

namespace {

class DrawingTest : public ChipTest {
protected:
    void TearDown() override {
        for (int n = 0; n < Channel_Count; ++n) Set_Channel_Picture(n, nullptr);
        ChipTest::TearDown();
    }
    // Runs `action` on the given call of the event pump (1 = the first).
    void On_Event_Call(int call, std::function<void()> action) {
        calls_ = 0;
        Program_Services().process_events = [this, call, action] {
            if (++calls_ == call) action();
        };
    }
    // A picture with a different level in every pixel of the region, so that every quad's
    // data differs from its neighbour's.
    static void Paint_Pattern(Canvas& canvas, int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) canvas.Set_Pixel(x, y, OSD_To_Color((x * 7 + y) % 16));
    }
    int calls_ = 0;
};

TEST(DisplayCoordinates, ColumnToQuadAndFieldLine) {
    const int xs[] = {0, 1, 2, 5, 6, 711, -6};
    const int quads[] = {0, 0, 1, 1, 2, 178, 255};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(Column_To_Quad(xs[i]), quads[i]) << xs[i];

    const int rows[][4] = {{0, 128, 1, 21}, {1, 128, 2, 21}, {2, 128, 1, 22}, {28, 100, 1, 21}};
    for (const auto& r : rows) {
        const auto at = Row_To_Field_Line(r[0], r[1]);
        ASSERT_TRUE(at) << r[0];
        EXPECT_EQ(at->field, r[2]);
        EXPECT_EQ(at->line, r[3]);
    }
    EXPECT_FALSE(Row_To_Field_Line(10, 100));
}

TEST_F(DrawingTest, EmptyRunsStillSetTheIncrementAndTheStartPosition) {
    Write_Horiz_Run(0, 40, 41, 300);  // rounds to no quad
    EXPECT_EQ(Board_Commands(), 0u);
    EXPECT_EQ(Chip().Register(Reg::STATUS) & (Status_HINC | Status_VINC), Status_HINC);
    EXPECT_EQ(Chip().Register(Reg::QPHORIZ), 10);
    EXPECT_EQ(Chip().Register(Reg::QPLINEH), 1);
    EXPECT_EQ(Chip().Register(Reg::QPLINEL), 300 - 256);

    Write_Vert_Run(0, 80, 7, 7);
    EXPECT_EQ(Board_Commands(), 0u);
    EXPECT_EQ(Chip().Register(Reg::STATUS) & (Status_HINC | Status_VINC), Status_VINC);
    EXPECT_EQ(Chip().Register(Reg::QPHORIZ), 20);
    EXPECT_EQ(Chip().Register(Reg::QPLINEL), 7);

    Write_Horiz_Run_Multi(0b101, 8, 8, 9);
    EXPECT_EQ(Chip().Register(MReg::CONTROL), Status_HINC);
    EXPECT_EQ(Chip().Register(MReg::QPHORIZ), 2);
    EXPECT_EQ(Chip().Register(MReg::QPLINEL), 9);
    Write_Vert_Run_Multi(0b101, 12, 5, 5);
    EXPECT_EQ(Chip().Register(MReg::CONTROL), Status_VINC);
    EXPECT_EQ(Chip().Register(MReg::QPHORIZ), 3);
    EXPECT_EQ(Chip().Register(MReg::QPLINEL), 5);
    EXPECT_EQ(Board_Commands(), 0u);
}

TEST_F(DrawingTest, RunCommandCounts) {
    Write_Register(Reg::QPH, 0x55);
    Write_Register(Reg::QPL, 0x55);
    Write_Horiz_Run(0, 0, 712, 3);
    EXPECT_EQ(Board_Commands(), 178u);
    Write_Horiz_Run(0, 0, 1, 4);
    EXPECT_EQ(Board_Commands(), 178u);
    Write_Vert_Run(0, 8, 10, 10);
    EXPECT_EQ(Board_Commands(), 178u);
    Write_Vert_Run(0, 8, 10, 20);
    EXPECT_EQ(Board_Commands(), 188u);
    EXPECT_EQ(Chip().Pixel(0, 9, 8), 0u);
    EXPECT_EQ(Chip().Pixel(0, 10, 8), 5u);
    EXPECT_EQ(Chip().Pixel(0, 19, 11), 5u);
    EXPECT_EQ(Chip().Pixel(0, 20, 8), 0u);

    // Multi-channel runs trigger MWRITE even with an empty mask; single quads do not.
    Reset_Board_Counters();
    Write_Horiz_Run_Multi(0, 0, 40, 0);
    EXPECT_EQ(Board_Commands(), 10u);
    Write_Quad_Multi(0, 0, 0, 1, 2, 3, 4);
    Upload_Picture_Multi(0, nullptr, 0, 0, 100, 100);
    EXPECT_EQ(Board_Commands(), 10u);
}

TEST_F(DrawingTest, FullEraseToThePictureHeightWritesLineZeroTwice) {
    Canvas picture;
    Write_Solid_Rect(Channel_Bank(2), &picture, 0, 0, 712, 512, 9, 9, 9, 9);
    EXPECT_EQ(Board_Commands(), 513u * 178u);
    EXPECT_EQ(Chip().Counters().quads_written, 513u * 178u);
    EXPECT_EQ(Chip().Counters().out_of_range, 0u);
    EXPECT_EQ(Chip().Quad_Line(2), 0u);  // the 513th row addressed line 0
    EXPECT_EQ(Mismatches(2, picture, 0, 0, 712, 512), 0);
    EXPECT_EQ(picture.Pen_Color(), OSD_To_Color(9));  // a uniform run leaves the pen at its colour
    EXPECT_EQ(Nonzero_Pixels(1), 0);

    Canvas main_picture, ch3;
    Set_Channel_Picture(3, &ch3);
    Reset_Board_Counters();
    Write_Solid_Rect_Multi(0x08, &main_picture, 0, 0, 712, 512, 4, 4, 4, 4);
    EXPECT_EQ(Board_Commands(), 513u * 178u);
    EXPECT_EQ(Chip().Quad_Line(8), 0u);
    EXPECT_EQ(Mismatches(3, main_picture, 0, 0, 712, 512), 0);
    EXPECT_EQ(Mismatches(3, ch3, 0, 0, 712, 512), 0);
}

TEST_F(DrawingTest, PositionsAreCutToTheRegisterWidths) {
    // Lines: 512 + 5 is line 5, -40 is line 472, -1 is line 511.
    Write_Register(Reg::QPH, 0x33);
    Write_Register(Reg::QPL, 0x33);
    Write_Horiz_Run(0, 0, 8, 512 + 5);
    EXPECT_EQ(Chip().Quad(0, 5, 0), 0x3333);
    EXPECT_EQ(Chip().Quad(0, 5, 1), 0x3333);
    Canvas picture;
    Write_Solid_Rect(0, &picture, 0, -40, 3, -40, 6, 6, 6, 6);
    EXPECT_EQ(Chip().Quad(0, 472, 0), 0x6666);
    EXPECT_EQ(picture.Dirty_Rect(), QRect());  // painting outside the picture changes nothing
    Write_Pixel(0, 5, -1, 7);
    EXPECT_EQ(Chip().Pixel(0, 511, 5), 7u);
    Write_Pixel(0, 5, 512, 7);
    EXPECT_EQ(Chip().Pixel(0, 0, 5), 7u);

    // Columns: 8 bits. Column 259 is column 3; 178..255 hold no memory, so nothing spills.
    Write_Quad(Channel_Bank(1), 4 * 259, 10, 1, 2, 3, 4);
    EXPECT_EQ(Chip().Quad(1, 10, 3), 0x1234);
    Write_Quad(Channel_Bank(1), 4 * 200, 11, 1, 2, 3, 4);
    EXPECT_EQ(Chip().Register(Channel_Bank(1) | Reg::QPHORIZ), 200);
    EXPECT_EQ(Chip().Counters().out_of_range, 1u);
    Write_Pixel(Channel_Bank(1), -1, 12, 9);  // the last pixel of column 255
    EXPECT_EQ(Chip().Register(Channel_Bank(1) | Reg::QPHORIZ), 255);
    EXPECT_EQ(Chip().Counters().out_of_range, 3u);  // its read and its write
    EXPECT_EQ(Nonzero_Pixels(2), 0);

    // A run from x = -8 starts at column 254 and wraps to 0; the picture shows what lands in
    // memory.
    Reset_Board_Counters();
    Canvas row;
    Write_Solid_Rect(Channel_Bank(2), &row, -8, 20, 8, 20, 1, 2, 3, 4);
    EXPECT_EQ(Board_Commands(), 4u);
    EXPECT_EQ(Chip().Quad(2, 20, 0), 0x1234);
    EXPECT_EQ(Chip().Quad(2, 20, 1), 0x1234);
    EXPECT_EQ(Mismatches(2, row, 0, 0, 712, 512), 0);
    // A run past the right edge issues all its commands; the ones beyond 177 write nothing.
    Reset_Board_Counters();
    Write_Solid_Rect(Channel_Bank(2), &row, 700, 30, 760, 30, 5, 5, 5, 5);
    EXPECT_EQ(Board_Commands(), 15u);
    EXPECT_EQ(Chip().Counters().out_of_range, 12u);
    EXPECT_EQ(Mismatches(2, row, 0, 0, 712, 512), 0);

    // Picking outside the picture reads level 15.
    row.Set_Pixel(709, 40, OSD_To_Color(2));
    row.Set_Pixel(710, 40, OSD_To_Color(3));
    row.Set_Pixel(711, 40, OSD_To_Color(4));
    EXPECT_EQ(Pick_Quad(&row, 709, 40), (QuadLevels{2, 3, 4, 15}));
    EXPECT_EQ(Pick_Quad(&row, 0, 512), (QuadLevels{15, 15, 15, 15}));
}

TEST_F(DrawingTest, VerticalRunsWrapThroughLineZeroWithoutExtraWrites) {
    Write_Register(Reg::QPH, 0x77);
    Write_Register(Reg::QPL, 0x77);
    Reset_Board_Counters();
    Write_Vert_Run(0, 40, 505, 520);
    for (int line : {505, 511, 0, 7}) EXPECT_EQ(Chip().Quad(0, line, 10), 0x7777) << line;
    EXPECT_EQ(Chip().Quad(0, 504, 10), 0);
    EXPECT_EQ(Chip().Quad(0, 8, 10), 0);
    // STATUS, the position once, then only the commands: the cache follows 511 -> 0.
    EXPECT_EQ(Board_Writes(), 1u + 3u + 15u);
    EXPECT_EQ(Board_Reads(), 1u);

    Write_Register(MReg::QPH, 0x88);
    Write_Register(MReg::QPL, 0x88);
    Reset_Board_Counters();
    Write_Vert_Run_Multi(0x02, 80, -3, 3);
    for (int line : {509, 511, 0, 2}) EXPECT_EQ(Chip().Quad(1, line, 20), 0x8888) << line;
    EXPECT_EQ(Chip().Quad(1, 3, 20), 0);
    EXPECT_EQ(Board_Writes(), 1u + 3u + 6u);
}

TEST_F(DrawingTest, WritePixelChangesOneNibble) {
    Chip().Set_Quad(3, 7, 1, 0x1234);
    Write_Pixel(Channel_Bank(3), 6, 7, 0xA);
    EXPECT_EQ(Chip().Quad(3, 7, 1), 0x12A4);
}

TEST_F(DrawingTest, FreehandDownAColumnKeepsEveryPixel) {
    Canvas picture;
    for (int y = 20; y < 30; ++y) {
        Write_Pixel(0, 6, y, 12);
        Paint_Pixel(&picture, 6, y, 12);
    }
    for (int y = 20; y < 30; ++y) EXPECT_EQ(Chip().Pixel(0, y, 6), 12u) << y;
    EXPECT_EQ(Mismatches(0, picture, 0, 15, 16, 35), 0);
}

TEST_F(DrawingTest, PatternedSolidRectAtAnUnalignedEdgeMatchesThePicture) {
    Canvas picture;
    Write_Solid_Rect(Channel_Bank(5), &picture, 6, 10, 101, 30, 1, 2, 3, 4);
    EXPECT_EQ(Mismatches(5, picture, 0, 0, 120, 40), 0);
    EXPECT_EQ(Chip().Quad(5, 10, 2), 0x1234);  // x = 6 starts at quad column 2
    EXPECT_EQ(Chip().Pixel(5, 10, 7), 0u);
    EXPECT_EQ(Nonzero_Pixels(4), 0);

    // Read back onto a fresh picture: the same levels, leftmost first.
    Canvas back;
    int refreshes = 0;
    Read_Back_Picture(&back, Channel_Bank(5), 6, 10, 101, 30, [&] { ++refreshes; });
    EXPECT_GT(refreshes, 0);
    EXPECT_EQ(Mismatches(5, back, 8, 10, 104, 31), 0);
    EXPECT_EQ(Pick_Quad(&back, 8, 12), (QuadLevels{1, 2, 3, 4}));
}

TEST_F(DrawingTest, OpenRectMatchesItsPaint) {
    Canvas picture;
    Write_Register(Channel_Bank(6) | Reg::QPH, Quad_Byte(7, 8));
    Write_Register(Channel_Bank(6) | Reg::QPL, Quad_Byte(9, 10));
    Write_Open_Rect(Channel_Bank(6), 21, 40, 150, 90);
    Paint_Open_Rect(&picture, 21, 40, 150, 90, 7, 8, 9, 10);
    EXPECT_EQ(Mismatches(6, picture, 0, 30, 200, 100), 0);
    EXPECT_EQ(Chip().Pixel(6, 40, 24), 7u);
    EXPECT_EQ(Nonzero_Pixels(5), 0);
}

TEST_F(DrawingTest, MultiSolidRectWritesAndRepaintsOnlyTheMaskedChannels) {
    Canvas main_picture, ch0, ch1, ch2;
    Set_Channel_Picture(0, &ch0);
    Set_Channel_Picture(1, &ch1);
    Set_Channel_Picture(2, &ch2);
    Write_Solid_Rect_Multi(0x05, &main_picture, 14, 100, 203, 180, 2, 4, 6, 8);
    for (int channel : {0, 2}) {
        EXPECT_EQ(Mismatches(channel, main_picture, 0, 90, 220, 190), 0);
    }
    EXPECT_EQ(Mismatches(0, ch0, 0, 90, 220, 190), 0);
    EXPECT_EQ(Mismatches(2, ch2, 0, 90, 220, 190), 0);
    EXPECT_EQ(Nonzero_Pixels(1), 0);
    EXPECT_EQ(ch1.Pixel(100, 120), Transparent_Color);
    EXPECT_EQ(Mismatches(1, ch1, 0, 90, 220, 190), 0);
}

TEST_F(DrawingTest, UploadsMatchThePicture) {
    Canvas picture;
    Paint_Pattern(picture, 50, 60, 131, 75);
    // x0 = 50 lies in the second half of its quad: the upload starts at x = 52.
    Upload_Picture(Channel_Bank(1), &picture, 50, 60, 130, 74);
    EXPECT_EQ(Mismatches(1, picture, 52, 60, 140, 75), 0);
    EXPECT_EQ(Chip().Pixel(1, 60, 51), 0u);
    EXPECT_EQ(Nonzero_Pixels(0), 0);

    Upload_Picture_Multi(0x0C, &picture, 50, 60, 130, 74);
    EXPECT_EQ(Mismatches(2, picture, 52, 60, 140, 75), 0);
    EXPECT_EQ(Mismatches(3, picture, 52, 60, 140, 75), 0);
    EXPECT_EQ(Nonzero_Pixels(4), 0);

    // A region at the right edge: its two extra quads per row (columns 178, 179) have no
    // memory behind them and change nothing.
    Paint_Pattern(picture, 690, 0, 712, 4);
    Upload_Picture(Channel_Bank(1), &picture, 690, 0, 711, 3);
    EXPECT_EQ(Chip().Counters().out_of_range, 8u);
    EXPECT_EQ(Mismatches(1, picture, 692, 0, 712, 4), 0);
    EXPECT_EQ(Mismatches(1, picture, 0, 0, 8, 5), 0);
}

TEST_F(DrawingTest, CachedUploadSendsOnlyChangedDataAndOneCommandPerQuad) {
    Canvas picture;
    Paint_Pattern(picture, 100, 200, 300, 240);
    for (int x = 100; x < 300; x += 8) picture.Set_Pixel(x, 210, OSD_To_Color(3));
    Upload_Picture(0, &picture, 100, 200, 299, 239);

    // The expected traffic: STATUS once, then per row its start position and per quad the
    // command plus each data byte that differs from the one before.
    const int first = Nearest_Quad(100), last = Nearest_Quad(299) + 1;
    std::uint64_t writes = 1, commands = 0;
    int held_h = -1, held_l = -1, held_line_high = -1;
    for (int y = 200; y < 240; ++y) {
        writes += 2 + (Line_High(y) != held_line_high);  // QPLINEL, QPHORIZ (and QPLINEH)
        held_line_high = Line_High(y);
        for (int q = first; q <= last; ++q) {
            const QuadLevels p = Pick_Quad(&picture, 4 * q, y);
            const int h = Quad_Byte(p[0], p[1]), l = Quad_Byte(p[2], p[3]);
            writes += (h != held_h) + (l != held_l) + 1;
            held_h = h;
            held_l = l;
            ++commands;
        }
    }
    EXPECT_EQ(Board_Commands(), commands);
    EXPECT_EQ(Board_Writes(), writes);
    EXPECT_EQ(Board_Reads(), 1u);
    EXPECT_EQ(Mismatches(0, picture, 100, 200, 308, 240), 0);

    // Without the cache every quad costs its six writes.
    Cache_Enabled = 0;
    Reset_Board_Counters();
    Upload_Picture(0, &picture, 100, 200, 299, 239);
    EXPECT_EQ(Board_Writes(), 1 + 6 * commands);
}

TEST_F(DrawingTest, QuitRequestStopsTheLoopBeforeItsNextStep) {
    Write_Register(Reg::QPH, 0x11);
    Write_Register(Reg::QPL, 0x11);
    On_Event_Call(5, [] { Request_Quit(); });
    EXPECT_FALSE(Write_Horiz_Run(0, 0, 712, 0));
    EXPECT_EQ(Board_Commands(), 4u);

    Canvas picture;
    Clear_Quit_Request();
    Reset_Board_Counters();
    On_Event_Call(3, [] { Request_Quit(); });
    EXPECT_FALSE(Write_Solid_Rect_Multi(0xFF, &picture, 0, 0, 712, 512, 1, 1, 1, 1));
    EXPECT_FALSE(Upload_Picture(0, &picture, 0, 0, 711, 511));
    EXPECT_FALSE(Paint_Vert_Run(&picture, 0, 0, 512, 1, 2, 3, 4));
    EXPECT_LT(Board_Commands(), 178u);
}

TEST_F(DrawingTest, EventsRunLessOftenThanStepsButQuitIsSeenAtOnce) {
    Set_Event_Interval(Default_Event_Interval_ms);
    clock.Set_Step(0);  // the program's clock stands still: one event break only
    int turns = 0;
    Program_Services().process_events = [&] { ++turns; };
    Write_Register(Reg::QPH, 0x11);
    Write_Horiz_Run(0, 0, 712, 0);
    EXPECT_EQ(turns, 1);
    EXPECT_EQ(Board_Commands(), 178u);
    Request_Quit();
    EXPECT_FALSE(Write_Horiz_Run(0, 0, 712, 1));
    EXPECT_EQ(Board_Commands(), 178u);
}

TEST_F(DrawingTest, EventBreaksFollowTheProgramClockNotTheMachine) {
    Set_Event_Interval(Default_Event_Interval_ms);
    std::vector<std::uint64_t> commands_at_turn;
    Program_Services().process_events = [&] {
        commands_at_turn.push_back(Board_Commands());
        clock.Advance(Default_Event_Interval_ms);  // the next step is due for a break again
    };
    clock.Set_Step(0);
    Write_Register(Reg::QPH, 0x11);
    Write_Horiz_Run(0, 0, 712, 0);
    // One break before every step: the clock moved by a whole interval during each.
    ASSERT_EQ(commands_at_turn.size(), 178u);
    for (std::size_t i = 0; i < commands_at_turn.size(); ++i) EXPECT_EQ(commands_at_turn[i], i);
}

TEST_F(DrawingTest, RunStaysOnTrackWhenAnotherHandlerUsesTheBankMeanwhile) {
    Canvas picture;
    // Half-way through a row of a rectangle, a timer writes a quad elsewhere in the channel
    // and switches the increment off, as a freehand pixel would.
    On_Event_Call(60, [] {
        Write_Quad(0, 400, 300, 9, 9, 9, 9);
        Write_Pixel(0, 500, 301, 6);
    });
    Write_Solid_Rect(0, &picture, 0, 10, 711, 12, 1, 2, 3, 4);
    EXPECT_EQ(Mismatches(0, picture, 0, 10, 712, 13), 0);
    EXPECT_EQ(Chip().Quad(0, 300, 100), 0x9999);
    EXPECT_EQ(Chip().Pixel(0, 301, 500), 6u);
}

TEST_F(DrawingTest, CacheInvalidationDuringARunCostsOnlyAFewWrites) {
    Canvas picture;
    Write_Solid_Rect(0, &picture, 0, 0, 712, 0, 5, 5, 5, 5);  // warm the cache
    Reset_Board_Counters();
    Write_Solid_Rect(0, &picture, 0, 1, 712, 1, 5, 5, 5, 5);
    const auto normal = Board_Writes() + Board_Reads();

    Reset_Board_Counters();
    On_Event_Call(50, [] { Init_DUT_Bus(); });
    Write_Solid_Rect(0, &picture, 0, 2, 712, 2, 5, 5, 5, 5);
    EXPECT_LE(Board_Writes() + Board_Reads(), normal + 8);
    EXPECT_EQ(Mismatches(0, picture, 0, 0, 712, 3), 0);
}

}  // namespace
