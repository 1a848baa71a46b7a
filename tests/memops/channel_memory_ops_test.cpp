// The channel window's whole-memory operations with real clicks on its command buttons,
// checked against the simulated board: moves, blank toggling, share buttons, erase, and a
// picture saved and loaded back.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QToolButton>

#include "chip/drawing_primitives.h"
#include "chip/register_map.h"
#include "memops_fixture.h"
#include "ui/widgets/qp_level_picker.h"

TEST_F(MemopsTest, ThreeMoveRightPressesGiveHoffset131) {
    TOsdexFormCH0* window = OsdexFormCH0;
    ASSERT_EQ(window->UpDownHOFFSET->value(), 128);
    for (int press = 0; press < 3; ++press) Click(window->ToolButtonMoveRight);
    EXPECT_EQ(window->UpDownHOFFSET->value(), 131);
    EXPECT_EQ(window->UpDownHOFFSET->text(), "131");
    EXPECT_EQ(Chip().Register(Reg::HOFFSET), 131);

    Click(window->ToolButtonMoveUp);
    Click(window->ToolButtonMoveUp);
    Click(window->ToolButtonMoveDown);
    EXPECT_EQ(Chip().Register(Reg::VOFFSET), 127);
    EXPECT_EQ(Chip().Register(Reg::HOFFSET), 131);
}

TEST_F(MemopsTest, MoveButtonsStayAtTheEndsOfTheOffsetRange) {
    Show_Channel_Window(6);
    TOsdexFormCH0* window = OsdexFormCH6;
    const std::uint8_t bank = Channel_Bank(6);
    window->UpDownHOFFSET->setValue(255);
    Click(window->ToolButtonMoveRight);
    EXPECT_EQ(window->UpDownHOFFSET->value(), 255);
    EXPECT_EQ(Chip().Register(bank | Reg::HOFFSET), 255);  // not wrapped to 0

    window->UpDownVOFFSET->setValue(0);
    Click(window->ToolButtonMoveUp);
    EXPECT_EQ(window->UpDownVOFFSET->value(), 0);
    EXPECT_EQ(Chip().Register(bank | Reg::VOFFSET), 0);

    // With automatic updates postponed the move still writes.
    window->cbNoAutoUpdate->setChecked(true);
    Click(window->ToolButtonMoveLeft);
    EXPECT_EQ(Chip().Register(bank | Reg::HOFFSET), 254);
}

TEST_F(MemopsTest, BlankTogglesBetween0x18And0x1A) {
    Show_Channel_Window(3);
    TOsdexFormCH0* window = OsdexFormCH3;
    const std::uint8_t status = Channel_Bank(3) | Reg::STATUS;
    Chip().Set_Register(status, 0x18);

    Click(window->ToolButtonBlankOSD);
    EXPECT_EQ(Chip().Register(status), 0x1A);
    EXPECT_TRUE(window->ToolButtonBlankOSD->isChecked());
    EXPECT_TRUE(window->cbBLANK->isChecked());
    EXPECT_TRUE(window->cbVINC->isChecked());
    EXPECT_TRUE(window->cbHINC->isChecked());
    EXPECT_FALSE(window->cbASYNC->isChecked());

    Click(window->ToolButtonBlankOSD);
    EXPECT_EQ(Chip().Register(status), 0x18);
    EXPECT_FALSE(window->ToolButtonBlankOSD->isChecked());
    EXPECT_FALSE(window->cbBLANK->isChecked());
    for (int other = 0; other < 8; ++other) {
        if (other != 3) {
            EXPECT_EQ(Chip().Register(Channel_Bank(other) | Reg::STATUS), 0);
        }
    }
}

TEST_F(MemopsTest, ShareButtonsWriteTheSourceBitOfTheChannelsParity) {
    Show_Channel_Window(5);
    Show_Channel_Window(4);
    const std::uint8_t shrsrc5 = Channel_Bank(5) | Reg::SHRSRC;
    const std::uint8_t shrsrc4 = Channel_Bank(4) | Reg::SHRSRC;
    Click(OsdexFormCH5->ToolButtonShareMem45);
    Click(OsdexFormCH4->ToolButtonShareMem45);
    EXPECT_EQ(Chip().Register(shrsrc5), 32);
    EXPECT_EQ(Chip().Register(shrsrc4), 16);
    EXPECT_EQ(OsdexFormCH5->ListBoxSHRSRC->currentRow(), 3);
    EXPECT_EQ(OsdexFormCH5->PanelSHRSRC->text(), "SHARED SOURCE: Channel 4/5");

    Click(OsdexFormCH5->ToolButtonShareMem67);
    EXPECT_EQ(Chip().Register(shrsrc5), 128);
    Click(OsdexFormCH4->ToolButtonShareMem01);
    EXPECT_EQ(Chip().Register(shrsrc4), 1);

    // Off writes 0 and hides the band, also when sharing was off already.
    OsdexFormCH5->PanelSHRSRC->show();
    for (int press = 0; press < 2; ++press) {
        Click(OsdexFormCH5->ToolButtonShareMemOff);
        EXPECT_EQ(Chip().Register(shrsrc5), 0);
        EXPECT_TRUE(OsdexFormCH5->PanelSHRSRC->isHidden());
        EXPECT_EQ(OsdexFormCH5->ListBoxSHRSRC->currentRow(), 0);
        EXPECT_EQ(OsdexFormCH5->PanelSHRSRC->text(), "SHARED SOURCE: No Sharing");
    }
}

TEST_F(MemopsTest, ChannelEraseClearsOnlyItsChannelAndReturnsToNormalState) {
    Show_Channel_Window(2);
    TOsdexFormCH0* window = OsdexFormCH2;
    for (int channel : {1, 2, 3}) Chip().Set_Pixel(channel, 300, 100, 9);
    window->SelectLevel(6);
    window->showMaximized();
    bool minimised_meanwhile = false;
    QTimer::singleShot(0, [&] { minimised_meanwhile = window->isMinimized(); });
    Click(window->ToolButtonErase);

    EXPECT_TRUE(minimised_meanwhile);
    EXPECT_EQ(window->windowState(), Qt::WindowNoState);
    EXPECT_EQ(Chip().Pixel(2, 300, 100), 0u);
    EXPECT_EQ(Chip().Pixel(1, 300, 100), 9u);
    EXPECT_EQ(Chip().Pixel(3, 300, 100), 9u);
    EXPECT_EQ(Chip().Register(Channel_Bank(2) | Reg::QPH), 0);
    EXPECT_EQ(Chip().Register(Channel_Bank(2) | Reg::QPL), 0);
    for (QpLevelPicker* picker : window->Quad_Pickers()) {
        EXPECT_EQ(picker->Shown_Row(), 0);
        EXPECT_EQ(picker->Selected_Row(), 0);
    }
}

TEST_F(MemopsTest, ChannelPictureSavedAndLoadedBackGivesTheSameLevels) {
    TOsdexFormCH0* window = OsdexFormCH0;
    Paint_Pattern(window->Picture, 712, 512);
    dialogs.save_answers = {Path("channel.wmf")};  // a bitmap whatever the extension
    Click(window->ToolButtonSaveAll);
    QFile saved(scratch.filePath("channel.wmf"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.read(2), "BM");

    Click(window->ToolButtonErase);
    dialogs.open_answers = {Path("channel.wmf")};
    Click(window->ToolButtonLoadAll);
    EXPECT_TRUE(dialogs.messages.empty());
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 712; ++x) {
            const unsigned expected = (x < 711 && y < 511) ? Pattern_Level(x, y) : 0;
            ASSERT_EQ(Chip().Pixel(0, y, x), expected) << x << "," << y;
            ASSERT_EQ(Color_To_OSD(window->Picture.Pixel(x, y)), expected) << x << "," << y;
        }
    }
    for (int channel = 1; channel < 8; ++channel) EXPECT_EQ(Chip().Pixel(channel, 10, 10), 0u);
}

TEST_F(MemopsTest, FailedChannelSaveLeavesTheOldFile) {
    // A picture that cannot be encoded cannot be made from the window; a folder in the way of
    // the name is the failure a user meets.
    QDir(scratch.path()).mkdir("taken.bmp");
    dialogs.save_answers = {Path("taken.bmp")};
    Click(OsdexFormCH0->ToolButtonSaveAll);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("taken.bmp"), std::string::npos);
    EXPECT_TRUE(QFileInfo(scratch.filePath("taken.bmp")).isDir());
}

TEST_F(MemopsTest, SeeThroughPixelsOfALoadedIconKeepThePicture) {
    TOsdexFormCH0* window = OsdexFormCH0;
    for (int x = 0; x < 8; ++x) window->Picture.Set_Pixel(x, 0, OSD_To_Color(9));
    Upload_Picture(0, &window->Picture, 0, 0, 8, 0);
    QImage icon(8, 1, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    for (int x = 0; x < 4; ++x) icon.setPixel(x, 0, To_QRgb(OSD_To_Color(5)));
    ASSERT_TRUE(icon.save(scratch.filePath("icon.png"), "PNG"));

    dialogs.open_answers = {Path("icon.png")};
    Click(window->ToolButtonLoadAll);
    for (int x = 0; x < 8; ++x) {
        const unsigned expected = x < 4 ? 5 : 9;
        EXPECT_EQ(Color_To_OSD(window->Picture.Pixel(x, 0)), expected) << x;
        EXPECT_EQ(Chip().Pixel(0, 0, x), expected) << x;
    }
}
