// The main window's canvas tools driven by mouse drags on its picture, checked against the
// simulated board's display memory and the pictures of all windows.
#include <QCheckBox>
#include <QSpinBox>
#include <QToolButton>

#include "canvas_fixture.h"
#include "chip/channel_pictures.h"
#include "chip/register_bus.h"
#include "shell/text_format.h"
#include "ui/text_dialog/text_dialog.h"

namespace {

std::string Write(int address, int data) {
    return Format_Text("Write_Register(%2.2X, %2.2X)", address, data);
}

}  // namespace

class MainToolsTest : public CanvasTest {
protected:
    TOsdexForm* form() { return OsdexForm; }

    // Every picture mirrors its channel's display memory, and only the channels of `mask`
    // hold anything.
    void Expect_Only_Channels(int mask) {
        for (int n = 0; n < 8; ++n) {
            SCOPED_TRACE(n);
            EXPECT_EQ(Mismatches(*Channel_Picture(n), n), 0);
            if (!(mask >> n & 1)) {
                EXPECT_EQ(Drawn_Quads(n), 0);
            }
        }
    }
};

TEST_F(MainToolsTest, SolidRectangleInChannelsZeroAndTwoWithTheTypicalBusTraffic) {
    form()->cbMWRITE[2]->click();
    ASSERT_EQ(form()->MwriteMask, 5);
    form()->ToolButtonSolidRect->click();
    Scroll_Pattern(form(), 1, 2, 3, 4);
    Init_DUT_Bus();  // a cache that knows nothing yet
    BusWriteRecorder bus;

    Drag(form(), {10, 20}, {50, 22});

    // The press loads the quad data; the first row sets up CONTROL and the position; every
    // later row sends only its line and start column. One MWRITE per quad, 10 per row.
    std::vector<std::string> expected = {Write(128, 0x12), Write(129, 0x34), Write(135, 0x08),
                                         Write(131, 0)};
    for (int line = 20; line <= 22; ++line) {
        expected.push_back(Write(132, line));
        expected.push_back(Write(130, 3));  // Column_To_Quad(10)
        for (int q = 0; q < 10; ++q) expected.push_back(Write(134, 5));
    }
    EXPECT_EQ(bus.Writes(), expected);

    for (int channel : {0, 2}) {
        for (int line = 20; line <= 22; ++line) {
            for (int q = 3; q <= 12; ++q) EXPECT_EQ(Chip().Quad(channel, line, q), 0x1234);
        }
        EXPECT_EQ(Drawn_Quads(channel), 30);
    }
    Expect_Only_Channels(5);
    EXPECT_EQ(Mismatches(form()->Picture, 0), 0);
    EXPECT_EQ(Drawn_Pixels(*Channel_Picture(0)), 120);
}

TEST_F(MainToolsTest, DragsOutsideThePictureDoNotWrapRoundDisplayMemory) {
    form()->ToolButtonSolidRect->click();
    Scroll_Pattern(form(), 9, 9, 9, 9);
    Drag(form(), {100, 100}, {200, -40});
    for (int line = 472; line < 512; ++line) ASSERT_TRUE(Line_Blank(0, line)) << line;
    EXPECT_EQ(Chip().Quad(0, 0, 25), 0x9999);
    EXPECT_EQ(Chip().Quad(0, 100, 25), 0x9999);

    // Upward bars pressed near the bottom: the level-15 bar would run on into lines 0..3.
    form()->ToolButtonLumaHoriz->click();
    Drag(form(), {300, 510}, {500, 400});
    EXPECT_EQ(Chip().Quad(0, 511, 80), 0xFFFF);
    for (int line = 0; line < 4; ++line) EXPECT_EQ(Chip().Quad(0, line, 80), 0) << line;

    // A drag far to the left must not come back in from the right through the 8-bit column.
    form()->ToolButtonOpenRect->click();
    Drag(form(), {20, 300}, {-400, 320});
    for (int q = 0; q < board::kQuadsPerLine; ++q)
        EXPECT_EQ(Chip().Quad(0, 300, q), q <= 5 ? 0x9999 : 0) << q;
    EXPECT_EQ(Mismatches(form()->Picture, 0), 0);
    for (int n = 1; n < 8; ++n) EXPECT_EQ(Drawn_Quads(n), 0);
}

TEST_F(MainToolsTest, LumaBarsNeedSixteenRowsOrQuads) {
    form()->ToolButtonLumaHoriz->click();
    Drag(form(), {40, 100}, {200, 115});
    Drag(form(), {40, 100}, {200, 85});
    form()->ToolButtonLumaVert->click();
    Drag(form(), {40, 100}, {96, 300});  // 15 quads
    EXPECT_EQ(Drawn_Quads(0), 0);
    EXPECT_EQ(Drawn_Pixels(form()->Picture), 0);

    // Thirty-two rows down: sixteen bars two rows high, level 15 on top.
    form()->ToolButtonLumaHoriz->click();
    Drag(form(), {40, 100}, {80, 132});
    EXPECT_EQ(Chip().Quad(0, 100, 10), 0xFFFF);
    EXPECT_EQ(Chip().Quad(0, 101, 10), 0xFFFF);
    EXPECT_EQ(Chip().Quad(0, 102, 10), 0xEEEE);
    EXPECT_EQ(Chip().Quad(0, 129, 10), 0x1111);
    EXPECT_EQ(Chip().Quad(0, 131, 10), 0);
    Expect_Only_Channels(1);
    EXPECT_EQ(Mismatches(form()->Picture, 0), 0);
}

TEST_F(MainToolsTest, CrosshairReadsTheQuadAsDisplayMemoryHoldsItWhicheverToolDrewIt) {
    Scroll_Pattern(form(), 1, 2, 3, 4);
    form()->ToolButtonSolidRect->click();
    Drag(form(), {40, 40}, {80, 44});
    Scroll_Pattern(form(), 5, 6, 7, 8);
    form()->ToolButtonQuadPixel->click();
    Click(form(), {100, 60});
    ASSERT_EQ(Chip().Quad(0, 60, 25), 0x5678);

    form()->ToolButtonCrosshair->click();
    form()->ToolButtonFILL[0]->click();
    Press(form(), {48, 42});
    Move(form(), {50, 42});
    EXPECT_EQ(Selected_Rows(form()), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(form()->ListBoxQP3->Shown_Row(), 1);
    EXPECT_EQ(form()->UpDownQPHORIZ->value(), 12);
    EXPECT_EQ(form()->UpDownQPLINE->value(), 42);
    Move(form(), {103, 60});
    EXPECT_EQ(Selected_Rows(form()), (std::vector<int>{5, 6, 7, 8}));
    Release(form(), {103, 60});
}

TEST_F(MainToolsTest, QuadToolTruncatesColumnsWhereRectanglesRoundThem) {
    Scroll_Pattern(form(), 3, 3, 3, 3);
    form()->ToolButtonQuadPixel->click();
    Click(form(), {6, 10});
    EXPECT_EQ(Chip().Quad(0, 10, 1), 0x3333);
    EXPECT_EQ(Chip().Quad(0, 10, 2), 0);

    form()->ToolButtonSolidRect->click();
    Drag(form(), {6, 30}, {20, 30});
    EXPECT_EQ(Chip().Quad(0, 30, 1), 0);
    EXPECT_EQ(Chip().Quad(0, 30, 2), 0x3333);

    // Dragged past the right and bottom edges the quad tool keeps writing the edge quads.
    form()->ToolButtonQuadPixel->click();
    Press(form(), {700, 100});
    Move(form(), {900, 100});
    Move(form(), {900, 700});
    Release(form(), {900, 700});
    EXPECT_EQ(Chip().Quad(0, 100, 177), 0x3333);
    EXPECT_EQ(Chip().Quad(0, 511, 177), 0x3333);
    EXPECT_EQ(form()->UpDownQPHORIZ->value(), 177);
    EXPECT_EQ(form()->UpDownQPLINE->value(), 511);
    Expect_Only_Channels(1);
    EXPECT_EQ(Mismatches(form()->Picture, 0), 0);
}

TEST_F(MainToolsTest, OpenRectangleIsNotPaintedOnTheChannelPictures) {
    form()->ToolButtonOpenRect->click();
    Scroll_Pattern(form(), 6, 6, 6, 6);
    Drag(form(), {20, 20}, {60, 40});
    EXPECT_EQ(Chip().Quad(0, 20, 5), 0x6666);
    EXPECT_EQ(Chip().Quad(0, 30, 15), 0x6666);
    EXPECT_EQ(Chip().Quad(0, 30, 10), 0);
    EXPECT_EQ(Mismatches(form()->Picture, 0), 0);
    EXPECT_EQ(Drawn_Pixels(*Channel_Picture(0)), 0);

    // A right-button drag repeats what the last left press loaded into QPH/QPL.
    Scroll_Pattern(form(), 2, 2, 2, 2);
    Drag(form(), {100, 100}, {140, 120}, Qt::RightButton);
    EXPECT_EQ(Chip().Quad(0, 100, 25), 0x6666);
}

TEST_F(MainToolsTest, LoadedBitmapIsCutAndUploadedIntoTheSelectedChannels) {
    dialogs.messages.clear();
    dialogs.open_answers = {Write_Level_Bitmap("big.bmp", 800, 600)};
    form()->cbMWRITE[3]->click();
    form()->ToolButtonLoad->click();
    Click(form(), {0, 0});

    ASSERT_EQ(dialogs.open_requests.size(), 1u);
    EXPECT_EQ(dialogs.open_requests[0].filter, Picture_Dialog_Filter);
    EXPECT_TRUE(dialogs.messages.empty());
    // Cut to 711 x 511: the last column and row keep what the picture showed.
    EXPECT_EQ(Color_To_OSD(form()->Picture.Pixel(710, 510)), Pattern_Level(710, 510));
    EXPECT_EQ(Color_To_OSD(form()->Picture.Pixel(711, 300)), 0);
    EXPECT_EQ(Color_To_OSD(form()->Picture.Pixel(300, 511)), 0);
    EXPECT_EQ(Mismatches(form()->Picture, 0), 0);
    EXPECT_EQ(Mismatches(form()->Picture, 3), 0);
    Expect_Only_Channels(9);
}

TEST_F(MainToolsTest, UnreadablePictureFilesShowAnErrorAndChangeNothing) {
    const std::pair<std::string, const char*> files[] = {
        {Write_File("corrupt.bmp", QByteArray("BM\x10\x00garbage", 11)), "not a readable picture"},
        {Write_File("drawing.emf", QByteArray(200, '\x01')), "metafiles"},
        {QDir(files_.path()).filePath("none.bmp").toStdString(), "does not exist"},
    };
    form()->ToolButtonLoad->click();
    for (const auto& [path, reason] : files) {
        SCOPED_TRACE(path);
        dialogs.messages.clear();
        dialogs.open_answers = {path};
        Click(form(), {50, 50});
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Stop);
        EXPECT_EQ(dialogs.messages[0].caption, Application_Title);
        EXPECT_NE(dialogs.messages[0].text.find(path), std::string::npos);
        EXPECT_NE(dialogs.messages[0].text.find(reason), std::string::npos);
    }
    EXPECT_EQ(Drawn_Quads(0), 0);
    EXPECT_EQ(Drawn_Pixels(form()->Picture), 0);
    EXPECT_EQ(Drawn_Pixels(*Channel_Picture(0)), 0);

    // Cancelling the dialog does nothing at all.
    dialogs.messages.clear();
    Click(form(), {50, 50});
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainToolsTest, TextBoxIsUploadedAndDrawnOnTheSelectedChannelPictures) {
    CGForm->Set_Text("Ab");
    CGForm->Set_Border_Size(3);
    form()->ToolButtonText->click();

    Answer_Text_Dialog(false);
    Click(form(), {103, 200});
    EXPECT_EQ(Drawn_Pixels(form()->Picture), 0);

    Answer_Text_Dialog(true);
    Click(form(), {103, 200});
    EXPECT_GT(Drawn_Pixels(form()->Picture), 0);
    EXPECT_EQ(Mismatches(form()->Picture, 0), 0);
    // The channel picture has the box where it lands, the text one pixel up and left.
    const Canvas& channel = *Channel_Picture(0);
    EXPECT_EQ(channel.Pixel(101, 198), form()->Picture.Pixel(101, 198));
    EXPECT_GT(Drawn_Pixels(channel), 0);
    EXPECT_EQ(Drawn_Pixels(*Channel_Picture(1)), 0);
    EXPECT_EQ(Drawn_Quads(1), 0);
}

TEST_F(MainToolsTest, CaptionShowsRowColumnFieldAndLine) {
    Move(form(), {3, 0});
    EXPECT_EQ(form()->windowTitle(),
              "Osdex On-Screen Display: Multi-Channel Write (row 0 column 3) (field 1 line 21)");
    Move(form(), {9, 5});
    EXPECT_EQ(form()->windowTitle(),
              "Osdex On-Screen Display: Multi-Channel Write (row 5 column 9) (field 2 line 23)");
    Press(form(), {9, 5});
    Move(form(), {9, -4});
    EXPECT_EQ(form()->windowTitle(),
              "Osdex On-Screen Display: Multi-Channel Write (row -4 column 9)");
    Release(form(), {9, -4});
}
