// The Video Monitor as a user reaches it: from the main window's View menu and the crosspoint
// window's view band, live while the board's memory changes, and switching the simulated
// board's faults that the other windows then see.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <set>

#include "ui/crosspoint/crosspoint_window.h"
#include "ui/monitor/monitor_window.h"
#include "ui_fixture.h"

namespace {

class MonitorTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Start_Program();
        dialogs.messages.clear();
    }

    // Each refresh fetches at least one channel within its frame's budget; eight fetch all.
    static void Refresh_All() {
        for (int n = 0; n < 8; ++n) MonitorForm->Refresh_Frames();
    }

    TMonitorForm* Open_From_View_Menu() {
        QAction* item = OsdexForm->menuViewMonitor;
        EXPECT_EQ(item->text(), "Video &Monitor");
        item->trigger();
        QApplication::processEvents();
        if (MonitorForm) Refresh_All();
        return MonitorForm;
    }

    static QRgb Pixel(int channel, int x, int y) { return MonitorForm->Frame(channel).pixel(x, y); }
    static std::set<QRgb> Colours_On_Row(int channel, int y) {
        std::set<QRgb> colours;
        for (int x = 0; x < 712; x += 8) colours.insert(Pixel(channel, x, y));
        return colours;
    }
};

TEST_F(MonitorTest, OpensFromTheViewMenuAndTheCrosspointWindowShowingColourBars) {
    TMonitorForm* monitor = Open_From_View_Menu();
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(monitor->isVisible());
    EXPECT_EQ(monitor->windowTitle(), "Video Monitor");
    EXPECT_FALSE(monitor->LabelSimulatedOnly->isVisibleTo(monitor));
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(monitor->ComboSource[n]->currentText(), "Colour bars") << n;
        EXPECT_GE(Colours_On_Row(n, 100).size(), 6u) << n;  // bars, not a blank screen
    }
    monitor->hide();
    XelorForm->ToolButtonViewMonitor->click();
    EXPECT_TRUE(monitor->isVisible());
    EXPECT_EQ(MonitorForm, monitor);  // one monitor for the run
}

TEST_F(MonitorTest, FollowsDisplayMemoryAndTheChosenSource) {
    TMonitorForm* monitor = Open_From_View_Menu();
    // Level 15 (100 IRE) in channel 3's memory at quad 20 of line 200: white on the monitor
    // where the offsets (128, 128) put it, nowhere else changed.
    const QRgb before = Pixel(3, 80, 200);
    Board().Chip().Set_Quad(3, 200, 20, 0xFFFF);
    Board().Chip().Write(0x38, 128);  // a bus write of VOFFSET, as the panel makes it
    Refresh_All();
    EXPECT_EQ(Pixel(3, 80, 200), qRgb(255, 255, 255));
    EXPECT_EQ(Pixel(3, 83, 200), qRgb(255, 255, 255));
    EXPECT_NE(before, qRgb(255, 255, 255));

    monitor->ComboSource[3]->setCurrentIndex(2);
    emit monitor->ComboSource[3]->activated(2);  // "Black"
    Refresh_All();
    EXPECT_EQ(Pixel(3, 300, 100), qRgb(0, 0, 0));
    EXPECT_EQ(Pixel(3, 80, 200), qRgb(255, 255, 255));  // the overlay stays over it

    // A picture file that cannot be read keeps the source and says so.
    dialogs.open_answers.push_back("/nonexistent/picture.bmp");
    emit monitor->ComboSource[3]->activated(4);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Video Monitor");
    EXPECT_EQ(monitor->ComboSource[3]->currentText(), "Black");
}

TEST_F(MonitorTest, LossOfSyncBoxDrivesLosallAndTheNoSignalScreen) {
    TMonitorForm* monitor = Open_From_View_Menu();
    monitor->CheckLossOfSync[2]->click();
    EXPECT_TRUE(Board().Chip().Loss_Of_Sync(2));
    EXPECT_FALSE(Board().Chip().Loss_Of_Sync(1));
    EXPECT_EQ(monitor->LabelFaults->text(), "Faults on: loss of sync on channel 2");
    Refresh_All();
    EXPECT_LE(Colours_On_Row(2, 100).size(), 3u);  // no bars on a channel without sync

    // The main window's LOSALL read sees it.
    OsdexForm->btnGetLOSALLClick();
    EXPECT_TRUE(OsdexForm->cbLOS[2]->isChecked());
    EXPECT_FALSE(OsdexForm->cbLOS[1]->isChecked());

    monitor->CheckLossOfSync[2]->click();
    EXPECT_FALSE(Board().Chip().Loss_Of_Sync(2));
    EXPECT_EQ(monitor->LabelFaults->text(), "Faults on: none");
}

TEST_F(MonitorTest, BusFaultsSwitchOnTheBoardAndShowInTheFaultsLine) {
    TMonitorForm* monitor = Open_From_View_Menu();
    monitor->CheckUnplugged->click();
    EXPECT_FALSE(Board().Connected());
    monitor->CheckUnplugged->click();
    EXPECT_TRUE(Board().Connected());

    monitor->CheckReadFlip[0]->click();
    monitor->CheckReadFlip[5]->click();
    EXPECT_EQ(Board().Read_Flip_Mask(), 0x21);
    monitor->CheckStuckBusy->click();
    EXPECT_EQ(monitor->LabelFaults->text(),
              "Faults on: chip stuck busy; read-back bits flipped on D0, D5");
    // A register read now fails its busy wait, as verification and the statistics see it.
    Read_Register(0x07);
    EXPECT_GE(num_busy_timeout_errors, 1);
    monitor->CheckStuckBusy->click();
}

TEST(MonitorOnARealPort, SaysItShowsTheSimulatedBoardOnly) {
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=none"));
    TMonitorForm monitor;
    monitor.show();
    EXPECT_TRUE(monitor.LabelSimulatedOnly->isVisible());
    EXPECT_TRUE(monitor.LabelSimulatedOnly->text().startsWith(
        "The monitor shows the simulated board only"));
    EXPECT_FALSE(monitor.CheckLossOfSync[0]->isEnabled());
    EXPECT_FALSE(monitor.CheckUnplugged->isEnabled());
    monitor.Refresh_Frames();  // nothing to fetch, nothing breaks
    EXPECT_EQ(monitor.Frame(0).pixel(10, 10), qRgb(0, 0, 0));
}

}  // namespace
