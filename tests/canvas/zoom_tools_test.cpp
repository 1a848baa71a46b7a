// The canvas tools at other zooms than 1x: the same picture pixels from the press, the moves
// and the release, the caption naming the pixel under the pointer, the zoom keys and the
// wheel, and the shared band over the lines it names.
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "canvas_fixture.h"
#include "chip/channel_pictures.h"
#include "ui/channel_window/channel_windows.h"
#include "ui/widgets/picture_zoom.h"

class ZoomToolsTest : public CanvasTest {
protected:
    static TOsdexFormCH0* Shown_Channel(int n) {
        Show_Channel_Window(n);
        return OsdexFormCH[n];
    }
    // Where a picture pixel lies on the view at the window's zoom: `inside` device pixels into
    // it (0 = its top-left corner).
    static QPoint At(TDrawingForm* form, QPoint picture, int inside = 0) {
        const PixelScale s = form->Image1->Scale();
        return (s.View_Point(picture) + QPointF(inside, inside) / s.ratio).toPoint();
    }
    static void Drag_Picture(TDrawingForm* form, QPoint from, QPoint via, QPoint to, int inside) {
        Press(form, At(form, from, inside));
        Move(form, At(form, via, inside));
        Release(form, At(form, to, inside));
    }
    // Every tool that draws on a drag, the same picture pixels in both windows.
    void Draw_The_Same(TOsdexFormCH0* form, int inside) {
        form->SelectLevel(11);
        for (int tool : {Tool_Solid_Rect, Tool_Open_Rect, Tool_Freehand, Tool_Quad_Pixel}) {
            form->SelectTool(tool);
            const int k = tool * 40;
            Drag_Picture(form, {10 + k, 20 + k}, {30 + k, 45 + k}, {53 + k, 71 + k}, inside);
        }
    }
    static void Activate(QWidget* window) {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QApplication::processEvents();
    }
    static std::string Caption(QWidget* window) { return window->windowTitle().toStdString(); }
};

TEST_F(ZoomToolsTest, APressDragReleaseAtThreeTimesWritesWhatOneTimesWrites) {
    TOsdexFormCH0* one = Shown_Channel(1);
    TOsdexFormCH0* three = Shown_Channel(2);
    three->Zoom->Set_Zoom(3);
    ASSERT_EQ(three->Image1->Device_Pixels(), 3);

    Draw_The_Same(one, 0);
    Draw_The_Same(three, 2);  // the last device pixel of each picture pixel: still that pixel

    ASSERT_GT(Drawn_Quads(1), 100);
    int differing = 0;
    for (int line = 0; line < board::kLines; ++line)
        for (int q = 0; q < board::kQuadsPerLine; ++q)
            differing += Chip().Quad(1, line, q) != Chip().Quad(2, line, q);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(Mismatches(three->Picture, 2), 0);
    EXPECT_EQ(three->Picture.Image(), one->Picture.Image());
}

TEST_F(ZoomToolsTest, ControlPlusDoublesThePictureAndControlZeroGoesBack) {
    TOsdexFormCH0* form = Shown_Channel(0);
    Activate(form);
    ASSERT_EQ(form->Image1->size(), QSize(712, 512));
    QTest::keyClick(form, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(form->Image1->size(), QSize(1424, 1024));
    EXPECT_EQ(form->Zoom->Selector->currentText(), "2\u00D7");
    QTest::keyClick(form, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(form->Image1->size(), QSize(2136, 1536));
    QTest::keyClick(form, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(form->Image1->size(), QSize(1424, 1024));
    QTest::keyClick(form, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(form->Image1->size(), QSize(712, 512));

    // The main window's View menu has the same commands at its end.
    Activate(OsdexForm);
    OsdexForm->Zoom->ZoomIn->trigger();
    EXPECT_EQ(OsdexForm->Image1->size(), QSize(1424, 1024));
    EXPECT_EQ(form->Image1->size(), QSize(712, 512));  // each window its own zoom
}

TEST_F(ZoomToolsTest, TheCaptionAtTwoTimesNamesThePixelUnderThePointer) {
    OsdexForm->Zoom->Set_Zoom(2);
    Move(OsdexForm, At(OsdexForm, {100, 37}, 1));
    EXPECT_EQ(Caption(OsdexForm),
              "Osdex On-Screen Display: Multi-Channel Write (row 37 column 100) (field 2 line 39)");
    TOsdexFormCH0* form = Shown_Channel(0);
    form->Zoom->Set_Zoom(2);
    Move(form, QPoint(201, 75));  // widget (201, 75) is picture (100, 37)
    EXPECT_EQ(Caption(form), "Osdex Channel 0 (row 37 column 100) (field 2 line 39)");
}

TEST_F(ZoomToolsTest, ControlWheelZoomsAboutThePointer) {
    TOsdexFormCH0* form = Shown_Channel(0);
    form->resize(640, 447);
    QApplication::processEvents();
    QWidget* viewport = form->ScrollBoxImage->viewport();
    const QPoint pointer(150, 120);  // in the viewport
    const QPoint picture =
        form->Image1->Scale().Picture_Point(form->Image1->mapFrom(viewport, pointer));
    for (int turn = 0; turn < 3; ++turn) {
        const QPoint in_view = form->Image1->mapFrom(viewport, pointer);
        QWheelEvent wheel(in_view, form->Image1->mapToGlobal(in_view), {}, {0, 120}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form->Image1, &wheel);
        EXPECT_EQ(form->Image1->Scale().Picture_Point(form->Image1->mapFrom(viewport, pointer)),
                  picture)
            << turn;
    }
    EXPECT_EQ(form->Zoom->Zoom(), 4);
    EXPECT_GT(form->ScrollBoxImage->horizontalScrollBar()->value(), 0);
    // Without Ctrl the wheel scrolls, as before.
    QWheelEvent plain(QPointF(10, 10), form->Image1->mapToGlobal(QPointF(10, 10)), {}, {0, -120},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form->Image1, &plain);
    EXPECT_EQ(form->Zoom->Zoom(), 4);
}

TEST_F(ZoomToolsTest, TheSharedBandCoversItsLinesAtEveryZoom) {
    TOsdexFormCH0* form = Shown_Channel(0);
    form->SelectTool(Tool_Share_Mem);
    Drag(form, {100, 100}, {200, 160});
    EXPECT_EQ(form->PanelSHRSRC->geometry(), QRect(0, 100, 708, 60));
    form->Zoom->Set_Zoom(4);
    EXPECT_EQ(form->PanelSHRSRC->geometry(), QRect(0, 400, 2832, 240));
    // A press on the band records the picture pixel under it.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(41, 9),
                      form->PanelSHRSRC->mapToGlobal(QPointF(41, 9)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->PanelSHRSRC, &press);
    EXPECT_EQ(form->PressX, 10);
    EXPECT_EQ(form->PressY, 102);
}

TEST_F(ZoomToolsTest, FitTakesTheLargestWholeScaleThatShowsThePicture) {
    TOsdexFormCH0* form = Shown_Channel(0);
    form->Zoom->Set_Zoom(PictureZoom::Fit);
    form->resize(1800, 1300);
    QApplication::processEvents();
    const QSize viewport = form->ScrollBoxImage->viewport()->size();
    const int k = form->Image1->Device_Pixels();
    EXPECT_EQ(k, std::min(viewport.width() / 712, viewport.height() / 512));
    EXPECT_GE(k, 1);
    form->resize(640, 447);
    QApplication::processEvents();
    EXPECT_EQ(form->Image1->Device_Pixels(), 1);
    EXPECT_EQ(form->Zoom->Selector->currentText(), "Fit");
}
