// The windows at their start sizes under Qt's own widgets: every tool button shown, none
// behind a tool bar's extension arrow; the crosspoint window back at its size after expert
// mode; the main window's statistics readable with low-level access on.
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "chip/register_bus.h"
#include "port/window/port_window.h"
#include "ui/crosspoint/crosspoint_window.h"
#include "ui/text_dialog/text_dialog.h"
#include "ui_fixture.h"

namespace {

::testing::AssertionResult All_Tool_Buttons_Shown(QWidget* window) {
    window->show();
    QApplication::processEvents();
    for (const QToolBar* bar : window->findChildren<QToolBar*>()) {
        for (const QToolButton* button : bar->findChildren<QToolButton*>()) {
            const bool extension = button->objectName() == "qt_toolbar_ext_button";
            if (extension == button->isVisible())
                return ::testing::AssertionFailure()
                       << window->objectName().toStdString() << " "
                       << bar->objectName().toStdString() << ": "
                       << (extension ? "extension arrow shown" : "hidden button ")
                       << (extension ? "" : button->objectName().toStdString()) << " at "
                       << window->width() << " x " << window->height();
        }
    }
    return ::testing::AssertionSuccess();
}

class WindowFitTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Start_Program();
    }
    static void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
};

TEST_F(WindowFitTest, EveryWindowShowsAllItsToolButtonsAtItsStartSize) {
    EXPECT_TRUE(All_Tool_Buttons_Shown(OsdexForm));
    EXPECT_TRUE(All_Tool_Buttons_Shown(OsdexFormCH0));
    EXPECT_TRUE(All_Tool_Buttons_Shown(XelorForm));
    EXPECT_TRUE(All_Tool_Buttons_Shown(CGForm));
    EXPECT_TRUE(All_Tool_Buttons_Shown(LptConForm));
    CGForm->hide();
}

TEST_F(WindowFitTest, CrosspointWindowGrowsOnlyAsMuchAsItsToolBarsNeed) {
    XelorForm->show();
    QApplication::processEvents();
    const QSize start = XelorForm->size();
    // One pixel less would hide a button again.
    XelorForm->resize(start.width() - 1, start.height());
    QApplication::processEvents();
    const QToolButton* arrow =
        XelorForm->ToolBarView->findChild<QToolButton*>("qt_toolbar_ext_button");
    ASSERT_NE(arrow, nullptr);
    EXPECT_TRUE(arrow->isVisible());
    XelorForm->resize(start);
    QApplication::processEvents();

    Click(XelorForm->ToolButtonAdvancedFeatures);
    QApplication::processEvents();
    EXPECT_TRUE(XelorForm->PanelOut0815->isVisible());
    EXPECT_GT(XelorForm->width() * XelorForm->height(), start.width() * start.height());
    Click(XelorForm->ToolButtonAdvancedFeatures);
    QApplication::processEvents();
    EXPECT_FALSE(XelorForm->PanelOut0815->isVisible());
    EXPECT_EQ(XelorForm->size(), start);
    EXPECT_TRUE(All_Tool_Buttons_Shown(XelorForm));
}

TEST_F(WindowFitTest, StatisticsKeepOneLineEachAndShowAllElevenAtTheStartSize) {
    // The 100 ms tick rewrites the statistics; on a slow machine it would fire inside the
    // event turns below and put back the text this test sets.
    OsdexForm->Timer1->stop();
    Click(OsdexForm->ToolButtonAdvancedFeatures);
    QApplication::processEvents();
    OsdexForm->Timer1Timer();
    QApplication::processEvents();
    const QPlainTextEdit* memo = OsdexForm->MemoErrorStats;
    ASSERT_TRUE(memo->isVisible());
    const QTextDocument* text = memo->document();
    ASSERT_EQ(text->blockCount(), 11);
    int widest = 0;
    for (QTextBlock line = text->begin(); line.isValid(); line = line.next()) {
        EXPECT_EQ(line.layout()->lineCount(), 1) << line.text().toStdString();
        widest = std::max(widest, memo->fontMetrics().horizontalAdvance(line.text()));
    }
    // Every line can be read: in view, or scrolled to sideways; all eleven within its height.
    EXPECT_GE(memo->viewport()->width() + memo->horizontalScrollBar()->maximum(), widest);
    EXPECT_EQ(memo->verticalScrollBar()->maximum(), 0);
    // Longer figures than the window was fitted to scroll sideways.
    OsdexForm->MemoErrorStats->setPlainText(
        QString(" verify_error_address: 0x%1").arg(QString(200, 'F')));
    QApplication::processEvents();
    EXPECT_GT(memo->horizontalScrollBar()->maximum(), 0);
    EXPECT_TRUE(All_Tool_Buttons_Shown(OsdexForm));
}

TEST_F(WindowFitTest, StatisticsShowTheirWidestFiguresWhole) {
    OsdexForm->Timer1->stop();
    Click(OsdexForm->ToolButtonAdvancedFeatures);
    num_reg_writes = num_write_verify_errors = 1000000000;
    num_reg_reads = num_read_verify_errors = 2000000000;
    num_busy_timeout_errors = max_busy_timeout_count = 1000000000;
    verify_error_address = 0x8C;
    verify_error_name = "reservedE";
    verify_error_data = verify_error_readback = 0xAB;
    OsdexForm->Timer1Timer();
    QApplication::processEvents();
    const QPlainTextEdit* memo = OsdexForm->MemoErrorStats;
    ASSERT_TRUE(memo->toPlainText().contains("100.00 %"));
    ASSERT_TRUE(memo->toPlainText().contains("max_busy_timeout_count: 1000000000"));
    // Nothing to scroll to: every line whole in view.
    EXPECT_EQ(memo->horizontalScrollBar()->maximum(), 0);
    for (QTextBlock line = memo->document()->begin(); line.isValid(); line = line.next())
        EXPECT_LE(memo->fontMetrics().horizontalAdvance(line.text()), memo->viewport()->width())
            << line.text().toStdString();
}

}  // namespace
