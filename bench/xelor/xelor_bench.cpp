// Figures of the time stamp and the test pattern on the simulated board, with the program's
// windows up (offscreen):
//  - one time-stamp tick in a channel window: bus cycles (the twelve save / restore accesses
//    plus the box upload) and wall time;
//  - the whole test pattern, its busy waits (crosspoint commands) on the real clock and on a
//    virtual clock: the difference is what the waits cost, the virtual run what the rest costs.
#include <QApplication>
#include <QDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "board/simulated_board.h"
#include "chip/register_bus.h"
#include "shell/clock.h"
#include "shell/dialogs.h"
#include "shell/event_pump.h"
#include "shell/services.h"
#include "ui/app/application.h"
#include "ui/app/forms.h"
#include "ui/channel_window/channel_window.h"
#include "ui/channel_window/time_stamp.h"
#include "ui/crosspoint/crosspoint_window.h"
#include "ui/main_window/main_window.h"
#include "ui/qt/qt_event_pump.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

using Wall = std::chrono::steady_clock;

double Ms_Since(Wall::time_point start) {
    return std::chrono::duration<double, std::milli>(Wall::now() - start).count();
}

board::SimulatedBoard& Board() {
    return *vanlpt::testing::Simulated_Board(1);
}

std::uint64_t Bus_Cycles() {
    const auto& c = Board().Chip().Counters();
    return c.register_writes + c.register_reads;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Tick_Figures() {
    TOsdexFormCH0& window = *OsdexFormCH1;
    window.PlaceTimeStamp(200, 315);
    const auto& box = window.TimeStampBox;
    constexpr int Ticks = 21;
    std::vector<double> wall;
    std::uint64_t cycles = 0, reads = 0, writes = 0;
    for (int i = 0; i < Ticks; ++i) {
        Board().Reset_Counters();
        const auto start = Wall::now();
        window.Timer1Timer();
        wall.push_back(Ms_Since(start));
        cycles = Bus_Cycles();
        reads = Board().Chip().Counters().register_reads;
        writes = Board().Chip().Counters().register_writes;
    }
    std::printf("One time-stamp tick, box %d x %d pixels (%d ticks)\n", box.Right - box.Left,
                box.Bottom - box.Top, Ticks);
    std::printf("  bus cycles %llu (%llu reads, %llu writes); wall median %.2f ms, min %.2f ms\n",
                static_cast<unsigned long long>(cycles), static_cast<unsigned long long>(reads),
                static_cast<unsigned long long>(writes), Median(wall),
                *std::min_element(wall.begin(), wall.end()));
    window.StopTimeStamp();
}

double Test_Pattern_Ms() {
    const auto start = Wall::now();
    OsdexForm->menuDiagnosticTestPattern1Click();
    return Ms_Since(start);
}

void Test_Pattern_Figures(VirtualClock& clock) {
    constexpr int Runs = 3;
    std::vector<double> virtual_runs, real_runs;
    std::uint64_t cycles = 0;
    for (int i = 0; i < Runs; ++i) {
        Program_Services().clock = &clock;
        Board().Reset_Counters();
        virtual_runs.push_back(Test_Pattern_Ms());
        cycles = Bus_Cycles();
        Program_Services().clock = nullptr;
        real_runs.push_back(Test_Pattern_Ms());
    }
    const double real = Median(real_runs), virt = Median(virtual_runs);
    std::printf("Whole test pattern (%d runs each)\n", Runs);
    std::printf("  busy waits on the real clock:    wall median %8.1f ms\n", real);
    std::printf("  busy waits on the virtual clock: wall median %8.1f ms (%llu bus cycles)\n", virt,
                static_cast<unsigned long long>(cycles));
    std::printf("  the waits cost about %.1f ms, the rest about %.1f ms\n", real - virt, virt);
    for (TOsdexFormCH0* channel : OsdexFormCH) channel->StopTimeStamp();
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    vanlpt::testing::Reset_Library("1=sim");
    ScriptedDialogs dialogs;
    Program_Services().dialogs = &dialogs;
    VirtualClock clock;
    Program_Services().clock = &clock;
    Install_Qt_Event_Pump(app);
    Drawing_Module_Start();
    // The logo is opened from the current folder.
    QDir::setCurrent(OSDEX_SOURCE_DIR "/ui");

    Show_Memory_Report();
    Create_Application_Windows();
    OsdexForm->show();
    QApplication::processEvents();

    Tick_Figures();
    Test_Pattern_Figures(clock);

    Destroy_All_Windows();
    Drawing_Module_End();
    Remove_Qt_Event_Pump();
    Program_Services().clock = nullptr;
    Program_Services().dialogs = nullptr;
    return 0;
}
