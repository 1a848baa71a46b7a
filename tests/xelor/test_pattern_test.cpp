// The main window's test pattern and blank-all, against the simulated board.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QWindowStateChangeEvent>

#include "chip/luma.h"
#include "chip/register_map.h"
#include "tests/ui/ui_fixture.h"
#include "ui/channel_window/time_stamp.h"

namespace {

constexpr const char* Logo_Source = OSDEX_SOURCE_DIR "/ui/VANLOGO1A.BMP";

class TestPatternTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        previous_folder = QDir::currentPath();
        QDir::setCurrent(folder.path());
        Start_Program();
        // One moment for the whole test, so that every run draws the same time stamps.
        clock.Hold_Epoch(QDateTime(QDate(2026, 1, 2), QTime(9, 41, 0)).toMSecsSinceEpoch());
    }
    void TearDown() override {
        QDir::setCurrent(previous_folder);
        UiTest::TearDown();
    }

    void Provide_Logo() {
        ASSERT_TRUE(QFile::copy(Logo_Source, folder.filePath("VANLOGO1A.BMP")));
        logo = QImage(Logo_Source);
        ASSERT_FALSE(logo.isNull());
    }
    bool In_Logo(int x, int y) const {
        return x >= 100 && x < 100 + logo.width() && y >= 150 && y < 150 + logo.height();
    }
    unsigned Logo_Level(int x, int y) const {
        return Color_To_OSD(From_QRgb(logo.pixel(x - 100, y - 150) & 0xFFFFFF));
    }

    const board::OsdexChip& Chip() { return Board().Chip(); }

    // Channel n's memory: the logo in its rectangle, elsewhere exactly its window's picture.
    ::testing::AssertionResult Channel_Shows_Logo_And_Picture(int n) {
        const Canvas& picture = OsdexFormCH[n]->Picture;
        for (int y = 0; y < Canvas::Picture_Height; ++y)
            for (int x = 0; x < Canvas::Picture_Width; ++x) {
                const unsigned want =
                    In_Logo(x, y) ? Logo_Level(x, y) : Color_To_OSD(picture.Pixel(x, y));
                const unsigned got = Chip().Pixel(n, y, x);
                if (got != want)
                    return ::testing::AssertionFailure()
                           << "channel " << n << " (" << x << ", " << y << "): chip " << got
                           << ", want " << want;
            }
        return ::testing::AssertionSuccess();
    }

    std::vector<std::uint16_t> All_Memory() {
        std::vector<std::uint16_t> quads;
        for (int c = 0; c < 8; ++c)
            for (int line = 0; line < 512; ++line)
                for (int q = 0; q < 178; ++q) quads.push_back(Chip().Quad(c, line, q));
        return quads;
    }

    QTemporaryDir folder;
    QString previous_folder;
    QImage logo;
};

TEST_F(TestPatternTest, FillsEveryChannelRoutesTheSwitchAndStartsTwoStamps) {
    Provide_Logo();
    OsdexForm->SetMwriteMask(1);
    OsdexForm->menuDiagnosticTestPattern1->trigger();
    EXPECT_TRUE(dialogs.messages.size() == 1u);  // only the start-up report

    for (int n = 0; n < 8; ++n) {
        EXPECT_TRUE(Channel_Shows_Logo_And_Picture(n));
        EXPECT_EQ(Chip().Pixel(n, 232, 198), 1u) << n;  // the label's black box
        EXPECT_EQ(Chip().Pixel(n, 226, 198), 0u) << n;  // above its 3-pixel border
    }
    // Horizontal bars in 0 and 1: level 15 at rows 265..274, level 0 at 415..424.
    for (int n : {0, 1}) {
        EXPECT_EQ(Chip().Pixel(n, 265, 96), 15u);  // from the quad nearest column 94
        EXPECT_EQ(Chip().Pixel(n, 274, 400), 15u);
        EXPECT_EQ(Chip().Pixel(n, 275, 400), 14u);
        EXPECT_EQ(Chip().Pixel(n, 400, 100), 2u);
        EXPECT_EQ(Chip().Pixel(n, 420, 100), 0u);
    }
    // Vertical bars in 2..7: level 15 at columns 96..127, level 0 at 576..607.
    for (int n = 2; n < 8; ++n) {
        EXPECT_EQ(Chip().Pixel(n, 400, 96), 15u) << n;
        EXPECT_EQ(Chip().Pixel(n, 400, 127), 15u) << n;
        EXPECT_EQ(Chip().Pixel(n, 400, 128), 14u) << n;
        EXPECT_EQ(Chip().Pixel(n, 425, 575), 1u) << n;
        EXPECT_EQ(Chip().Pixel(n, 400, 95), 0u) << n;
        EXPECT_EQ(Chip().Pixel(n, 426, 100), 0u) << n;
        const unsigned s = 16 * n;
        EXPECT_EQ(Chip().Register(s + Reg::SHRBEGH), 1u);
        EXPECT_EQ(Chip().Register(s + Reg::SHRBEGL), 44u);
        EXPECT_EQ(Chip().Register(s + Reg::SHRENDH), 1u);
        EXPECT_EQ(Chip().Register(s + Reg::SHRENDL), 94u);
        EXPECT_EQ(Chip().Register(s + Reg::SHRSRC), n % 2 ? 2u : 1u) << n;
    }
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(OsdexFormCH[n]->TimeStampRunning, n < 2) << n;
        EXPECT_EQ(OsdexFormCH[n]->Timer1->isActive(), n < 2) << n;
    }
    EXPECT_EQ(OsdexFormCH0->TimeStampX, 200);
    EXPECT_EQ(OsdexFormCH1->TimeStampX, 500);
    for (int o = 0; o < 16; ++o)
        EXPECT_EQ(Board().Crosspoint().Route(o), (board::CrosspointRoute{true, 0u, 1u})) << o;

    EXPECT_EQ(OsdexForm->MwriteMask, 255);
    for (int n = 0; n < 8; ++n) {
        EXPECT_TRUE(OsdexForm->cbMWRITE[n]->isChecked()) << n;
        EXPECT_TRUE(OsdexForm->ToolButtonWrite[n]->isChecked()) << n;
    }
    EXPECT_FALSE(OsdexForm->windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(OsdexFormCH0->windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(OsdexFormCH1->isHidden());

    // A second run stops and erases the two stamps first and draws the same memory again.
    const std::vector<std::uint16_t> first = All_Memory();
    OsdexForm->menuDiagnosticTestPattern1Click();
    EXPECT_TRUE(All_Memory() == first);
    EXPECT_TRUE(Channel_Shows_Logo_And_Picture(0));
    EXPECT_TRUE(Channel_Shows_Logo_And_Picture(5));
}

// As a window manager does (openbox among them): a window brought back from minimised gets
// the focus.
class FocusOnRestore : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange) {
            auto* window = static_cast<QWidget*>(watched);
            const auto* change = static_cast<QWindowStateChangeEvent*>(event);
            if ((change->oldState() & Qt::WindowMinimized) && !window->isMinimized())
                window->activateWindow();
        }
        return false;
    }
};

// F5 or F10 pressed next must reach the main window, not the channel window restored last.
TEST_F(TestPatternTest, EndsWithTheMainWindowActiveAsBefore) {
    Provide_Logo();
    FocusOnRestore window_manager;
    // Events run between the steps, as in the program.
    Program_Services().process_events = [] { QApplication::processEvents(); };
    OsdexForm->installEventFilter(&window_manager);
    for (QWidget* channel : OsdexFormCH) channel->installEventFilter(&window_manager);
    OsdexFormCH0->activateWindow();
    OsdexForm->activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), OsdexForm);
    OsdexForm->menuDiagnosticTestPattern1->trigger();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), OsdexForm);
    // The erase of the Image menu the same.
    OsdexForm->ToolButtonErase->click();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), OsdexForm);
}

TEST_F(TestPatternTest, LeavesTheHiddenChannelWindowsUntouched) {
    Provide_Logo();
    Show_Channel_Window(6);
    OsdexForm->menuDiagnosticTestPattern1->trigger();

    EXPECT_TRUE(Channel_Shows_Logo_And_Picture(3));
    EXPECT_EQ(OsdexFormCH6->windowState(), Qt::WindowNoState);
    EXPECT_TRUE(OsdexFormCH6->isVisible());
    for (int n : {1, 2, 3, 4, 5, 7}) EXPECT_TRUE(Still_Unmapped(OsdexFormCH[n])) << n;
    // The missing logo leaves the shown windows minimised, the hidden ones still untouched.
    QFile::remove(folder.filePath("VANLOGO1A.BMP"));
    OsdexForm->menuDiagnosticTestPattern1->trigger();
    EXPECT_TRUE(OsdexFormCH6->isMinimized());
    for (int n : {1, 2, 3, 4, 5, 7}) EXPECT_TRUE(Still_Unmapped(OsdexFormCH[n])) << n;
}

TEST_F(TestPatternTest, MissingLogoIsReportedAndLeavesTheChannelsErased) {
    Board().Chip().Set_Pixel(3, 10, 10, 7);
    OsdexForm->menuDiagnosticTestPattern1Click();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].caption, Application_Title);
    EXPECT_EQ(dialogs.messages[1].icon, MsgIcon::Stop);
    EXPECT_NE(dialogs.messages[1].text.find("VANLOGO1A.BMP"), std::string::npos);
    EXPECT_EQ(Chip().Pixel(3, 10, 10), 0u);
    EXPECT_TRUE(OsdexForm->windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(OsdexFormCH0->TimeStampRunning);
}

TEST_F(TestPatternTest, BlankAllTogglesEachChannelOnItsOwn) {
    Board().Chip().Set_Register(16 * 3 + Reg::STATUS, Status_BLANK);
    Board().Chip().Set_Register(16 * 5 + Reg::STATUS, Status_HINC);
    std::array<std::uint8_t, 8> before{};
    for (int n = 0; n < 8; ++n) before[n] = Chip().Register(16 * n + Reg::STATUS);

    OsdexForm->menuDiagnosticBlankAll->trigger();
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(Chip().Register(16 * n + Reg::STATUS), before[n] ^ Status_BLANK) << n;
    OsdexForm->menuDiagnosticBlankAllClick();
    for (int n = 0; n < 8; ++n) EXPECT_EQ(Chip().Register(16 * n + Reg::STATUS), before[n]) << n;
}

}  // namespace
