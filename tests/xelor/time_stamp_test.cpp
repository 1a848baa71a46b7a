// The channel windows' time stamp on a controlled clock, against the simulated board.
#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "chip/luma.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "tests/ui/ui_fixture.h"
#include "ui/channel_window/time_stamp.h"
#include "ui/text_dialog/text_dialog.h"

namespace {

const QLocale English_US(QLocale::English, QLocale::UnitedStates);

class TimeStampTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        QLocale::setDefault(English_US);
        Start_Program();
        clock.Set(0);
        clock.Set_Epoch_At_Zero(
            QDateTime(QDate(2026, 1, 2), QTime(12, 59, 58)).toMSecsSinceEpoch());
    }
    void TearDown() override {
        QLocale::setDefault(QLocale::system());
        UiTest::TearDown();
    }

    const board::OsdexChip& Chip() { return Board().Chip(); }

    // Display memory of the window's channel holds exactly what its picture shows.
    ::testing::AssertionResult Memory_Matches_Picture(TOsdexFormCH0& w) {
        for (int y = 0; y < Canvas::Picture_Height; ++y)
            for (int x = 0; x < Canvas::Picture_Width; ++x) {
                const unsigned want = Color_To_OSD(w.Picture.Pixel(x, y));
                const unsigned got = Chip().Pixel(w.Channel(), y, x);
                if (got != want)
                    return ::testing::AssertionFailure()
                           << "(" << x << ", " << y << "): chip " << got << ", picture " << want;
            }
        return ::testing::AssertionSuccess();
    }

    // Nothing but the current box is visible in the channel (no stale box elsewhere).
    ::testing::AssertionResult Only_Box_In_Memory(TOsdexFormCH0& w) {
        const auto& box = w.TimeStampBox;
        for (int y = 0; y < Canvas::Picture_Height; ++y)
            for (int x = 0; x < Canvas::Picture_Width; ++x) {
                const bool inside =
                    x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom;
                if (!inside && Chip().Pixel(w.Channel(), y, x) != 0)
                    return ::testing::AssertionFailure()
                           << "level outside the box at (" << x << ", " << y << ")";
            }
        return ::testing::AssertionSuccess();
    }

    bool Channel_Blank(int channel) {
        for (int y = 0; y < Canvas::Picture_Height; ++y)
            for (int x = 0; x < Canvas::Picture_Width; ++x)
                if (Chip().Pixel(channel, y, x) != 0) return false;
        return true;
    }
};

TEST(TimeStampText, FollowsTheLocaleWithoutZone) {
    const QDateTime when(QDate(2026, 1, 2), QTime(13, 5, 9));
    EXPECT_EQ(Time_Stamp_Text(when, false, English_US), "1:05:09 PM");
    EXPECT_EQ(Time_Stamp_Text(when, true, English_US), "1/2/26 1:05:09 PM");
    EXPECT_EQ(Time_Stamp_Text(when, false, QLocale(QLocale::German, QLocale::Germany)), "13:05:09");
}

TEST_F(TimeStampTest, TickUploadsTheBoxAndRestoresTheSixRegisters) {
    TOsdexFormCH0& w = *OsdexFormCH1;
    const std::uint8_t bank = 16;
    // What the user left in the channel's registers, different from what an upload leaves.
    Write_Register(bank | Reg::STATUS, Status_HINC);
    Write_Register(bank | Reg::QPH, 0x12);
    Write_Register(bank | Reg::QPL, 0x34);
    Write_Register(bank | Reg::QPLINEH, 1);
    Write_Register(bank | Reg::QPLINEL, 44);
    Write_Register(bank | Reg::QPHORIZ, 77);

    w.PlaceTimeStamp(100, 120);

    EXPECT_TRUE(w.TimeStampRunning);
    EXPECT_TRUE(w.TimeStampDrawn);
    EXPECT_TRUE(w.ToolButtonTimeStampRun->isChecked());
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_EQ(w.Timer1->interval(), 1000);
    EXPECT_EQ(Chip().Register(bank | Reg::STATUS), Status_HINC);
    EXPECT_EQ(Chip().Register(bank | Reg::QPH), 0x12);
    EXPECT_EQ(Chip().Register(bank | Reg::QPL), 0x34);
    EXPECT_EQ(Chip().Register(bank | Reg::QPLINEH), 1);
    EXPECT_EQ(Chip().Register(bank | Reg::QPLINEL), 44);
    EXPECT_EQ(Chip().Register(bank | Reg::QPHORIZ), 77);

    // Black background (level 1) around white-ish text, in channel 1 only.
    EXPECT_EQ(Chip().Pixel(1, 120, 96), 1u);
    EXPECT_TRUE(Memory_Matches_Picture(w));
    EXPECT_TRUE(Only_Box_In_Memory(w));
    for (int c : {0, 2, 3, 4, 5, 6, 7}) EXPECT_TRUE(Channel_Blank(c)) << c;

    // The next second: the same registers survive again.
    clock.Advance(1000);
    w.Timer1Timer();
    EXPECT_EQ(Chip().Register(bank | Reg::QPHORIZ), 77);
    EXPECT_EQ(Chip().Register(bank | Reg::QPLINEL), 44);
    EXPECT_TRUE(Memory_Matches_Picture(w));
}

TEST_F(TimeStampTest, BoxOnlyGrowsAndAShorterTextLeavesBackground) {
    TOsdexFormCH0& w = *OsdexFormCH1;
    w.PlaceTimeStamp(60, 70);  // "12:59:58 PM", wider than the sample it was sized for
    const auto grown = w.TimeStampBox;
    EXPECT_EQ(grown.Left, 55);
    EXPECT_EQ(grown.Top, 65);
    const int long_width = w.Picture.Text_Width("12:59:58 PM");
    EXPECT_EQ(grown.Right, 60 + long_width + 5);

    clock.Advance(2000);  // "1:00:00 PM": one digit less
    w.Timer1Timer();
    EXPECT_EQ(w.TimeStampBox.Right, grown.Right);
    EXPECT_EQ(w.TimeStampBox.Bottom, grown.Bottom);
    const int short_end = 60 + w.Picture.Text_Width("1:00:00 PM");
    for (int x = short_end + 1; x < grown.Right - 1; ++x)
        EXPECT_EQ(w.Picture.Pixel(x, 72), 0u) << x;  // black, not the old digits
    EXPECT_TRUE(Memory_Matches_Picture(w));
    EXPECT_TRUE(Only_Box_In_Memory(w));
}

TEST_F(TimeStampTest, StopErasesToLevelZeroOnceAndPressErasesRunningStamp) {
    TOsdexFormCH0& w = *OsdexFormCH1;
    w.ToolButtonDate->setChecked(true);
    w.PlaceTimeStamp(300, 200);
    EXPECT_GT(w.TimeStampBox.Right - w.TimeStampBox.Left,
              w.Picture.Text_Width("1/2/26 12:59:58 PM"));

    w.StopTimeStamp();
    EXPECT_FALSE(w.TimeStampRunning);
    EXPECT_FALSE(w.TimeStampDrawn);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_FALSE(w.ToolButtonDate->isChecked());
    EXPECT_TRUE(w.ToolButtonTimeStampRun->isChecked());  // stop leaves the run button alone
    EXPECT_TRUE(Channel_Blank(1));
    EXPECT_EQ(w.Picture.Pixel(305, 205), Transparent_Color);

    // Neither a second stop nor a tool press touches the bus again.
    const auto writes = Chip().Counters().register_writes;
    w.StopTimeStamp();
    w.TimeStampToolPress();
    EXPECT_EQ(Chip().Counters().register_writes, writes);
    EXPECT_FALSE(w.Timer1->isActive());

    // Start where it was; a press erases the running stamp at once; the release places it.
    w.StartTimeStamp();
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_FALSE(Channel_Blank(1));
    w.TimeStampToolPress();
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_TRUE(Channel_Blank(1));
    w.StopTimeStamp();
    w.PlaceTimeStamp(10, 400);  // starts it even though it was stopped
    EXPECT_TRUE(w.TimeStampRunning);
    EXPECT_TRUE(Memory_Matches_Picture(w));
    EXPECT_TRUE(Only_Box_In_Memory(w));
}

TEST_F(TimeStampTest, RunButtonStartsAndStops) {
    TOsdexFormCH0& w = *OsdexFormCH0;
    QTest::mouseClick(w.ToolButtonTimeStampRun, Qt::LeftButton);
    EXPECT_TRUE(w.TimeStampRunning);
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_FALSE(Channel_Blank(0));
    QTest::mouseClick(w.ToolButtonTimeStampRun, Qt::LeftButton);
    EXPECT_FALSE(w.TimeStampRunning);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_TRUE(Channel_Blank(0));
}

TEST_F(TimeStampTest, SurvivesHideAndShowWithoutLeavingAStaleBox) {
    TOsdexFormCH0& w = *OsdexFormCH0;
    ASSERT_TRUE(w.isVisible());
    w.PlaceTimeStamp(200, 315);
    w.hide();
    clock.Advance(1000);
    w.Timer1Timer();
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_TRUE(Memory_Matches_Picture(w));

    // The show puts the stamp back to its default place; the old box does not stay behind.
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(w.TimeStampX, 50);
    EXPECT_TRUE(w.TimeStampRunning);
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_TRUE(Channel_Blank(0));
    clock.Advance(1000);
    w.Timer1Timer();
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_TRUE(Memory_Matches_Picture(w));
    EXPECT_TRUE(Only_Box_In_Memory(w));
    EXPECT_EQ(w.TimeStampBox.Left, 45);
}

TEST_F(TimeStampTest, StampAtThePictureEdgeDoesNotWrap) {
    TOsdexFormCH0& w = *OsdexFormCH1;
    w.PlaceTimeStamp(690, 500);
    EXPECT_TRUE(Memory_Matches_Picture(w));
    // Nothing wrapped onto the left edge or the top lines.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(Chip().Pixel(1, y, x), 0u) << x << "," << y;
    for (int y = 480; y < 512; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(Chip().Pixel(1, y, x), 0u) << x << "," << y;
}

TEST_F(TimeStampTest, FontChoiceCancelRestoresAndOkRestyles) {
    TOsdexFormCH0& w = *OsdexFormCH1;
    w.PlaceTimeStamp(100, 100);
    const TextFont dialog_font = CGForm->EditText_Font();
    const std::string dialog_text = CGForm->Text();
    const auto box = w.TimeStampBox;
    const TextFont stamp_font = w.TimeStampFont;

    QTimer::singleShot(0, [] { QTest::mouseClick(CGForm->btnCancel, Qt::LeftButton); });
    QTest::mouseClick(w.ToolButtonTimeStampFont, Qt::LeftButton);
    EXPECT_EQ(CGForm->EditText_Font(), dialog_font);
    EXPECT_EQ(CGForm->Text(), dialog_text);
    EXPECT_EQ(w.TimeStampFont, stamp_font);
    EXPECT_EQ(w.TimeStampBox.Right, box.Right);
    EXPECT_TRUE(w.TimeStampRunning);
    EXPECT_TRUE(w.Timer1->isActive());

    std::string shown_text;
    QTimer::singleShot(0, [&shown_text] {
        shown_text = CGForm->Text();
        CGForm->UpDownBorderSize->setValue(2);
        QTest::mouseClick(CGForm->ToolButtonText0BkWhite, Qt::LeftButton);
        QTest::mouseClick(CGForm->btnOk, Qt::LeftButton);
    });
    QTest::mouseClick(w.ToolButtonTimeStampFont, Qt::LeftButton);
    EXPECT_EQ(shown_text.substr(0, 4), "12:5");  // the dialog showed the stamp's text
    EXPECT_EQ(CGForm->EditText_Font(), dialog_font);
    EXPECT_EQ(CGForm->Text(), dialog_text);
    EXPECT_EQ(w.TimeStampBorder, 2);
    EXPECT_TRUE(w.TimeStampWhiteBackground);
    EXPECT_EQ(w.TimeStampFont.Color, 0u);
    EXPECT_EQ(w.TimeStampBox.Left, 98);
    EXPECT_TRUE(w.TimeStampRunning);
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_EQ(Chip().Pixel(1, 100, 99), 15u);  // white background
    // The smaller box replaced the old one entirely.
    EXPECT_TRUE(Memory_Matches_Picture(w));
    EXPECT_TRUE(Only_Box_In_Memory(w));
}

}  // namespace
