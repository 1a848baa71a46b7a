// Figures of the canvas tools, through mouse events on the real windows and the simulated
// board:
//  - bus cycles of the typical solid-rectangle drag on the main window (channels 0 and 2,
//    a 1, 2, 3, 4 pattern, 40 quads wide): the press, the first row and each following row,
//    from a cache that knows nothing yet;
//  - wall time of a full read-back of one channel: the reading alone, as the tool was (a
//    synchronous repaint after every quad), and the tool now (repaints merged until the
//    event breaks), with the paints it made. Run it under X (DISPLAY set, QT_QPA_PLATFORM=xcb)
//    for the figures a user sees.
#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QToolButton>
#include <chrono>
#include <cstdio>

#include "board/simulated_board.h"
#include "chip/drawing_primitives.h"
#include "chip/register_bus.h"
#include "port/port_state.h"
#include "shell/clock.h"
#include "shell/dialogs.h"
#include "shell/services.h"
#include "ui/app/application.h"
#include "ui/app/forms.h"
#include "ui/channel_window/channel_window.h"
#include "ui/main_window/main_window.h"
#include "ui/qt/qt_event_pump.h"
#include "ui/widgets/picture_view.h"
#include "ui/widgets/qp_level_picker.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

using Clock = std::chrono::steady_clock;

board::SimulatedBoard& Board() {
    return *vanlpt::testing::Simulated_Board(1);
}

struct BusCount {
    std::uint64_t writes = 0;
    std::uint64_t reads = 0;
    std::uint64_t cycles() const { return writes + reads; }
};

BusCount Count_Now() {
    const auto& c = Board().Chip().Counters();
    return {c.register_writes, c.register_reads};
}

BusCount Since(const BusCount& start) {
    const BusCount now = Count_Now();
    return {now.writes - start.writes, now.reads - start.reads};
}

void Mouse(QWidget* view, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
}

void Press(QWidget* view, QPoint at) {
    Mouse(view, QEvent::MouseButtonPress, at, Qt::LeftButton);
}

void Release(QWidget* view, QPoint at) {
    Mouse(view, QEvent::MouseMove, at, Qt::LeftButton);
    Mouse(view, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

// Bus cycles of the press and of the release of a solid-rectangle drag over `rows` rows.
std::pair<BusCount, BusCount> Solid_Rect_Drag(int rows) {
    Init_DUT_Bus();  // a cache that knows nothing yet
    QWidget* view = OsdexForm->Image1;
    const BusCount before_press = Count_Now();
    Press(view, {10, 20});
    const BusCount press = Since(before_press);
    const BusCount before_release = Count_Now();
    Release(view, {170, 20 + rows - 1});
    return {press, Since(before_release)};
}

void Report_Solid_Rect_Cycles() {
    OsdexForm->ToolButtonSolidRect->click();
    OsdexForm->cbMWRITE[2]->click();
    OsdexForm->ListBoxQP3->Set_Shown_Row(1);
    OsdexForm->ListBoxQP2->Set_Shown_Row(2);
    OsdexForm->ListBoxQP1->Set_Shown_Row(3);
    OsdexForm->ListBoxQP0->Set_Shown_Row(4);

    constexpr int Rows = 100;
    const auto [press, one_row] = Solid_Rect_Drag(1);
    const auto [press_again, all_rows] = Solid_Rect_Drag(Rows);
    const double following = static_cast<double>(all_rows.cycles() - one_row.cycles()) / (Rows - 1);
    std::printf("Solid rectangle drag, channels 0 and 2 (MwriteMask 5), 40 quads wide:\n");
    std::printf("  press (QPH, QPL):           %llu bus cycles (%llu writes)\n",
                static_cast<unsigned long long>(press.cycles()),
                static_cast<unsigned long long>(press.writes));
    std::printf("  first row:                  %llu bus cycles (%llu writes, %llu reads)\n",
                static_cast<unsigned long long>(one_row.cycles()),
                static_cast<unsigned long long>(one_row.writes),
                static_cast<unsigned long long>(one_row.reads));
    std::printf("  each following row:         %.2f bus cycles (40 MWRITE + line + column)\n",
                following);
    std::printf("  fewest possible per row:    %d (one MWRITE per quad)\n", 40);
    std::printf("  %d rows in all:            %llu bus cycles\n", Rows,
                static_cast<unsigned long long>(all_rows.cycles()));
}

// Counts the paint events a widget gets.
struct PaintCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

void Report_Read_Back_Time() {
    Show_Channel_Window(1);
    QApplication::processEvents();
    TOsdexFormCH0* window = OsdexFormCH[1];
    window->ToolButtonReadOSD->click();
    QWidget* view = window->Image1;

    // The same read-back without repainting, to tell the two apart.
    Init_DUT_Bus();
    auto start = Clock::now();
    Read_Back_Picture(&window->Picture, 16, 0, 0, 705, 511);  // the region the tool reads
    const double bare = std::chrono::duration<double>(Clock::now() - start).count();

    // As the tool did before: a synchronous repaint after every quad.
    Init_DUT_Bus();
    start = Clock::now();
    Read_Back_Picture(&window->Picture, 16, 0, 0, 705, 511,
                      [window] { window->Image1->Repaint_Changes(); });
    const double per_quad = std::chrono::duration<double>(Clock::now() - start).count();

    // The tool now: a repaint asked for after every quad, painted when events run.
    PaintCounter paints;
    view->installEventFilter(&paints);
    Init_DUT_Bus();
    start = Clock::now();
    Press(view, {0, 0});
    Release(view, {711, 511});
    const double tool = std::chrono::duration<double>(Clock::now() - start).count();
    view->removeEventFilter(&paints);
    std::printf("Full read-back of one channel (512 lines x 178 quads):\n");
    std::printf("  reading alone:                         %.3f s\n", bare);
    std::printf("  before, a repaint after every quad:    %.3f s\n", per_quad);
    std::printf("  the read-back tool, repaints merged:   %.3f s (goal <= 0.2 s), %d paints\n",
                tool, paints.count);
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vanlpt::testing::Reset_Library("1=sim");
    ScriptedDialogs dialogs;
    Program_Services().dialogs = &dialogs;
    VirtualClock clock;  // the board check's settle waits take no time
    Program_Services().clock = &clock;

    Create_Application_Windows();
    OsdexForm->show();
    QApplication::processEvents();

    Report_Solid_Rect_Cycles();
    // The read-back as in the program: the system clock paces the event breaks, which let
    // the toolkit paint.
    Program_Services().clock = nullptr;
    Install_Qt_Event_Pump(app);
    Report_Read_Back_Time();
    Remove_Qt_Event_Pump();

    Destroy_All_Windows();
    Program_Services().clock = nullptr;
    Program_Services().dialogs = nullptr;
    return 0;
}
