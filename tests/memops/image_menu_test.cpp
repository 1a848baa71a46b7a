// The main window's Image menu on the simulated board: erase of the selected channels with
// the erase button's minimise / restore, stopping when the program closes mid-erase, and
// picture files loaded into and saved from the selected channels.
#include <QAction>
#include <QFile>
#include <QImage>
#include <QToolButton>

#include "chip/canvas.h"
#include "chip/channel_pictures.h"
#include "chip/register_map.h"
#include "memops_fixture.h"
#include "ui/widgets/qp_level_picker.h"

namespace {

// Number of lines of the channel whose every pixel has the level.
int Lines_At_Level(const board::OsdexChip& chip, int channel, unsigned level) {
    int lines = 0;
    for (int line = 0; line < 512; ++line) {
        bool all = true;
        for (int x = 0; x < 712 && all; x += 4) all = chip.Pixel(channel, line, x) == level;
        lines += all;
    }
    return lines;
}

bool Picture_All(const Canvas& picture, int level) {
    const QImage& image = picture.Image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (From_QRgb(image.pixel(x, y)) != OSD_To_Color(level)) return false;
    return true;
}

}  // namespace

TEST_F(MemopsTest, EraseToGreyWritesTheSelectedChannelsAndTheirPicturesOnly) {
    Chip().Set_Pixel(1, 100, 40, 3);
    OsdexForm->MwriteMask = 0b101;
    OsdexForm->menuImageEraseGrey->trigger();

    EXPECT_EQ(Chip().Register(MReg::QPH), 0x88);
    EXPECT_EQ(Chip().Register(MReg::QPL), 0x88);
    for (QpLevelPicker* picker : OsdexForm->Quad_Pickers()) {
        EXPECT_EQ(picker->Shown_Row(), 8);
        EXPECT_EQ(picker->Selected_Row(), 8);
    }
    EXPECT_EQ(Lines_At_Level(Chip(), 0, 8), 512);
    EXPECT_EQ(Lines_At_Level(Chip(), 2, 8), 512);
    EXPECT_EQ(Chip().Pixel(1, 100, 40), 3u);
    EXPECT_EQ(Lines_At_Level(Chip(), 1, 0), 511);
    EXPECT_TRUE(Picture_All(OsdexForm->Picture, 8));
    EXPECT_TRUE(Picture_All(OsdexFormCH0->Picture, 8));
    EXPECT_TRUE(Picture_All(OsdexFormCH2->Picture, 8));
    EXPECT_TRUE(Picture_All(OsdexFormCH1->Picture, 0));
}

TEST_F(MemopsTest, EraseWithNoChannelSelectedStillRepaintsTheMainPicture) {
    OsdexForm->MwriteMask = 0;
    const std::uint64_t commands_before = Chip().Counters().memory_commands;
    OsdexForm->menuImageEraseWhite->trigger();
    EXPECT_TRUE(Picture_All(OsdexForm->Picture, 15));
    EXPECT_EQ(Chip().Register(MReg::MWRITE), 0);
    EXPECT_GT(Chip().Counters().memory_commands, commands_before);
    for (int channel = 0; channel < 8; ++channel)
        EXPECT_EQ(Lines_At_Level(Chip(), channel, 0), 512);
}

TEST_F(MemopsTest, EraseButtonKeepsTheWindowsMinimisedWhileItRuns) {
    OsdexForm->MwriteMask = 0xFF;
    OsdexForm->menuImageEraseBlack->trigger();
    OsdexFormCH3->showMaximized();
    bool minimised_meanwhile = false;
    // Runs from inside the erase, which lets events through between lines.
    QTimer::singleShot(0, [&] {
        minimised_meanwhile = OsdexForm->isMinimized() && OsdexFormCH0->isMinimized() &&
                              OsdexFormCH3->isMinimized() && !OsdexFormCH5->isMinimized();
    });
    Click(OsdexForm->ToolButtonErase);

    EXPECT_TRUE(minimised_meanwhile);
    for (int channel = 0; channel < 8; ++channel) {
        EXPECT_EQ(Lines_At_Level(Chip(), channel, 0), 512);
        EXPECT_EQ(OsdexFormCH[channel]->windowState(), Qt::WindowNoState);
    }
    EXPECT_EQ(OsdexForm->windowState(), Qt::WindowNoState);
    EXPECT_TRUE(OsdexFormCH0->isVisible());
    EXPECT_TRUE(OsdexFormCH3->isVisible());
    EXPECT_FALSE(OsdexFormCH5->isVisible());  // hidden windows stay hidden
}

TEST_F(MemopsTest, ClosingTheProgramDuringAFullEraseStopsBeforeTheNextLine) {
    OsdexForm->MwriteMask = 0xFF;
    OsdexForm->menuImageEraseWhite->trigger();
    int lines_at_close = -1;
    std::uint64_t commands_at_close = 0;
    dialogs.message_answers = {MsgResult::Yes};  // the close question
    // Closes once the board has seen twenty lines of memory commands.
    const std::uint64_t close_at = Chip().Counters().memory_commands + 20 * 178;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (lines_at_close >= 0 || Chip().Counters().memory_commands < close_at) return;
        OsdexForm->close();
        lines_at_close = Lines_At_Level(Chip(), 0, 0);
        commands_at_close = Chip().Counters().memory_commands;
    });
    closer.start(0);
    Click(OsdexForm->ToolButtonErase);
    closer.stop();

    ASSERT_TRUE(Quit_Requested());
    EXPECT_GT(lines_at_close, 0);
    EXPECT_LT(lines_at_close, 512);
    EXPECT_EQ(Lines_At_Level(Chip(), 0, 0), lines_at_close);
    EXPECT_EQ(Chip().Counters().memory_commands, commands_at_close);
    EXPECT_FALSE(OsdexForm->isVisible());
}

TEST_F(MemopsTest, LoadedBitmapIsCutAndUploadedToTheSelectedChannels) {
    QImage big(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            big.setPixel(x, y, To_QRgb(OSD_To_Color(Pattern_Level(x, y))));
    ASSERT_TRUE(big.save(scratch.filePath("big.bmp"), "BMP"));
    OsdexForm->MwriteMask = 0b10;
    dialogs.open_answers = {Path("big.bmp")};
    OsdexForm->menuImageLoad->trigger();

    ASSERT_EQ(dialogs.open_requests.size(), 1u);
    EXPECT_EQ(dialogs.open_requests[0].filter, Picture_Dialog_Filter);
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 712; ++x) {
            const unsigned expected = (x < 711 && y < 511) ? Pattern_Level(x, y) : 0;
            ASSERT_EQ(Chip().Pixel(1, y, x), expected) << x << "," << y;
            ASSERT_EQ(Color_To_OSD(OsdexForm->Picture.Pixel(x, y)), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(Lines_At_Level(Chip(), 0, 0), 512);
    // The channel window's picture is refreshed only by reading the chip back.
    EXPECT_TRUE(Picture_All(OsdexFormCH1->Picture, 0));
}

TEST_F(MemopsTest, UnreadablePictureIsReportedAndNothingIsDrawnOrWritten) {
    QFile corrupt(scratch.filePath("corrupt.bmp"));
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
    corrupt.write("BM\x10\x00garbage that is no bitmap");
    corrupt.close();
    const std::uint64_t writes_before = Chip().Counters().register_writes;

    dialogs.open_answers = {Path("corrupt.bmp")};
    OsdexForm->menuImageLoad->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, Application_Title);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Stop);
    EXPECT_NE(dialogs.messages[0].text.find("corrupt.bmp"), std::string::npos);
    EXPECT_EQ(Chip().Counters().register_writes, writes_before);
    EXPECT_TRUE(Picture_All(OsdexForm->Picture, 0));

    // Cancelled dialogs do nothing at all.
    OsdexForm->menuImageLoad->trigger();
    OsdexForm->menuImageSavetoFile->trigger();
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

// Pixels such files never supply would otherwise come from whatever memory held.
TEST_F(MemopsTest, IncompletePicturesAreRefusedAndNeverReachDisplayMemory) {
    QImage small(40, 30, QImage::Format_RGB888);
    small.fill(Qt::white);
    ASSERT_TRUE(small.save(scratch.filePath("whole.bmp"), "BMP"));
    QFile whole(scratch.filePath("whole.bmp"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    QFile cut(scratch.filePath("cut.bmp"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.readAll().chopped(400));
    cut.close();
    QFile rle(scratch.filePath("rle.bmp"));
    ASSERT_TRUE(rle.open(QIODevice::WriteOnly));
    // 8 x 2, RLE8, two colours: each line ends after 3 of its 8 pixels.
    rle.write(
        QByteArray("BM\x48\0\0\0\0\0\0\0\x3E\0\0\0\x28\0\0\0\x08\0\0\0\x02\0\0\0\x01\0\x08\0"
                   "\x01\0\0\0\x0C\0\0\0\0\0\0\0\0\0\0\0\x02\0\0\0\0\0\0\0"
                   "\xFF\xFF\xFF\0\x80\x80\x80\0\x03\x01\0\0\x03\x01\0\0\0\x01",
                   0x48));
    rle.close();
    OsdexForm->MwriteMask = 0xFF;
    Board().Reset_Counters();

    for (const char* name : {"cut.bmp", "rle.bmp"}) {
        dialogs.messages.clear();
        dialogs.open_answers = {Path(name)};
        OsdexForm->menuImageLoad->trigger();
        ASSERT_EQ(dialogs.messages.size(), 1u) << name;
        EXPECT_EQ(dialogs.messages[0].caption, "Osdex Evaluation Kit");
        EXPECT_NE(dialogs.messages[0].text.find("the picture is incomplete"), std::string::npos)
            << dialogs.messages[0].text;
        EXPECT_NE(dialogs.messages[0].text.find(name), std::string::npos);
    }
    EXPECT_EQ(Chip().Counters().register_writes, 0u);
    EXPECT_EQ(Chip().Counters().memory_commands, 0u);
    EXPECT_TRUE(Picture_All(OsdexForm->Picture, 0));
    for (int channel = 0; channel < 8; ++channel)
        EXPECT_EQ(Lines_At_Level(Chip(), channel, 0), 512);
}

TEST_F(MemopsTest, SavedMainPictureLoadedBackRestoresItsTopLeftPart) {
    Paint_Pattern(OsdexForm->Picture, 712, 512);
    dialogs.save_answers = {Path("main.bmp")};
    OsdexForm->menuImageSavetoFile->trigger();
    ASSERT_EQ(dialogs.save_requests.size(), 1u);
    EXPECT_EQ(dialogs.save_requests[0].default_extension, "BMP");
    ASSERT_TRUE(QFile::exists(scratch.filePath("main.bmp")));

    OsdexForm->MwriteMask = 1;
    OsdexForm->menuImageEraseTransparent->trigger();
    dialogs.open_answers = {Path("main.bmp")};
    OsdexForm->menuImageLoad->trigger();
    EXPECT_TRUE(dialogs.messages.empty());
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 712; ++x) {
            const unsigned expected = (x < 711 && y < 511) ? Pattern_Level(x, y) : 0;
            ASSERT_EQ(Chip().Pixel(0, y, x), expected) << x << "," << y;
        }
    }
}

TEST_F(MemopsTest, EraseButtonLeavesTheHiddenChannelWindowsUntouched) {
    OsdexForm->MwriteMask = 0xFF;
    Show_Channel_Window(4);
    Click(OsdexForm->ToolButtonErase);

    EXPECT_EQ(Lines_At_Level(Chip(), 6, 0), 512);
    EXPECT_TRUE(OsdexFormCH0->isVisible());
    EXPECT_TRUE(OsdexFormCH4->isVisible());
    for (int channel : {1, 2, 3, 5, 6, 7})
        EXPECT_TRUE(Still_Unmapped(OsdexFormCH[channel])) << channel;
}
