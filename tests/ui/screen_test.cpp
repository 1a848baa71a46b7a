// The windows on a 1920 x 1080 screen, run once at 100 % and once at 150 % (then 1280 x 720
// logical pixels): where they start, what the low-level panels take, the Video Monitor within
// the screen, channel windows back where they were closed, and pictures crisp at the scale.
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

#include "ui/channel_window/channel_windows.h"
#include "ui/monitor/monitor_window.h"
#include "ui/widgets/picture_view.h"
#include "ui/widgets/picture_zoom.h"
#include "ui_fixture.h"

namespace {

class ScreenTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Start_Program();
    }
    static QRect Available() { return QApplication::primaryScreen()->availableGeometry(); }
    static ::testing::AssertionResult On_Screen(const QWidget* window) {
        if (Available().contains(window->frameGeometry())) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << window->objectName().toStdString() << " at " << window->frameGeometry().x() << ","
               << window->frameGeometry().y() << " " << window->frameGeometry().width() << " x "
               << window->frameGeometry().height() << " beyond " << Available().width() << " x "
               << Available().height();
    }
    // Whether every k x k block of the view's device pixels is one picture pixel's colour.
    static ::testing::AssertionResult Even_Blocks(TDrawingForm* form, int k) {
        const QImage shown = form->Image1->grab().toImage();
        const QImage& picture = form->Picture.Image();
        for (int y = 0; y < 40 * k; ++y) {
            for (int x = 0; x < 40 * k; ++x) {
                if (shown.pixel(x, y) != picture.pixel(x / k, y / k))
                    return ::testing::AssertionFailure()
                           << "device pixel " << x << "," << y << " is not picture pixel " << x / k
                           << "," << y / k << " (" << k << " x " << k << " blocks)";
            }
        }
        return ::testing::AssertionSuccess();
    }
};

TEST_F(ScreenTest, ChannelWindowZeroStartsBesideTheMainWindow) {
    if (Available().width() < 1900) GTEST_SKIP() << "only a full HD screen has room for both";
    QApplication::processEvents();
    EXPECT_FALSE(OsdexFormCH0->frameGeometry().intersects(OsdexForm->frameGeometry()));
    EXPECT_TRUE(On_Screen(OsdexForm));
    EXPECT_TRUE(On_Screen(OsdexFormCH0));
}

TEST_F(ScreenTest, LowLevelPanelsKeepThePictureRowsAndShowEveryRegisterRow) {
    QApplication::processEvents();
    const int picture_height = OsdexForm->ScrollBoxImage->height();
    QTest::mouseClick(OsdexForm->ToolButtonAdvancedFeatures, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(On_Screen(OsdexForm));
    if (OsdexForm->frameGeometry().height() >= Available().height()) return;  // as tall as can be
    EXPECT_GE(OsdexForm->ScrollBoxImage->height(), picture_height);
    EXPECT_GE(OsdexForm->ScrollBoxRegs->viewport()->height(), OsdexForm->PanelRegs->height());
}

TEST_F(ScreenTest, TheVideoMonitorFitsTheScreen) {
    Show_Monitor_Window();
    QApplication::processEvents();
    EXPECT_TRUE(On_Screen(MonitorForm));
    const QSize room = Available().size();
    EXPECT_LE(MonitorForm->minimumSizeHint().width(), room.width());
    EXPECT_LE(MonitorForm->minimumSizeHint().height(), room.height());
    // The fault switches are in view, or reached by scrolling.
    QWidget* box = MonitorForm->CheckStuckBusy;
    for (QWidget* w = box->parentWidget(); w; w = w->parentWidget()) {
        if (auto* scroll = qobject_cast<QScrollArea*>(w->parentWidget())) {
            scroll->ensureWidgetVisible(box);
            break;
        }
    }
    QApplication::processEvents();
    EXPECT_TRUE(MonitorForm->rect().contains(box->mapTo(MonitorForm, box->rect().bottomRight())));
}

TEST_F(ScreenTest, AChannelWindowReopensWhereItWasClosed) {
    Show_Channel_Window(3);
    TOsdexFormCH0* window = OsdexFormCH[3];
    QApplication::processEvents();
    window->move(Available().topLeft() + QPoint(300, 200));
    QApplication::processEvents();
    const QPoint place = window->pos();
    window->close();
    QApplication::processEvents();
    ASSERT_FALSE(window->isVisible());
    Show_Channel_Window(3);
    QApplication::processEvents();
    EXPECT_EQ(window->pos(), place);
    EXPECT_TRUE(window->testAttribute(Qt::WA_Moved));  // a place the window system keeps
}

TEST_F(ScreenTest, ACheckerboardShowsAsEvenBlocksAtTheScreenScale) {
    TOsdexFormCH0* form = OsdexFormCH0;
    QImage board(712, 512, QImage::Format_RGB32);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 712; ++x) board.setPixel(x, y, (x + y) % 2 ? 0xFFFFFFFF : 0xFF0000FF);
    form->Picture.Draw(0, 0, board);
    QApplication::processEvents();
    const double ratio = form->devicePixelRatioF();
    // At 150 % one picture pixel is 2 x 2 device pixels, at 100 % one.
    EXPECT_TRUE(Even_Blocks(form, Device_Pixels_For_Zoom(1, ratio)));
    form->Zoom->Set_Zoom(2);
    QApplication::processEvents();
    EXPECT_TRUE(Even_Blocks(form, Device_Pixels_For_Zoom(2, ratio)));
    form->Zoom->QuadGrid->setChecked(true);
    form->Zoom->Set_Zoom(4);
    QApplication::processEvents();
    EXPECT_TRUE(form->Image1->Grid_Shown());
}

}  // namespace
