// Figures of the register batch file on the disk of the current folder:
//  - a full erase of all eight channels on the simulated board, batch file off and on, and
//    their ratio (goal: at most 2);
//  - the cost of one line for each mapping of "write the line and push it to disk":
//    write alone (survives a crash of the program only), write + fdatasync, write + fsync,
//    an O_DSYNC file, and Line_File as the program uses it.
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "chip/canvas.h"
#include "chip/channel_pictures.h"
#include "chip/drawing_primitives.h"
#include "chip/register_bus.h"
#include "port/port_state.h"
#include "shell/event_pump.h"
#include "shell/line_file.h"
#include "shell/services.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

using Steady = std::chrono::steady_clock;

constexpr const char* Scratch_Name = "batch_bench_scratch.txt";
constexpr const char* Line = "wrreg 134 255\r\n";

double Seconds_Since(Steady::time_point start) {
    return std::chrono::duration<double>(Steady::now() - start).count();
}

void Fresh_Board() {
    vanlpt::testing::Reset_Library("1=sim");
    Select_LPT_123(1);
    Set_Register(0x402, 0x30);
    Port_State.Selected_Port = 1;
    Port_State.Log_Mask = 0;
    Cache_Enabled = 1;
    Verify_Writes = 0;
    Init_DUT_Bus();
}

// The main picture and the eight channel pictures an erase repaints, as in the program.
struct Pictures {
    Canvas main_picture;
    Canvas channels[8];
    Pictures() {
        for (int n = 0; n < 8; ++n) Set_Channel_Picture(n, &channels[n]);
    }
    ~Pictures() {
        for (int n = 0; n < 8; ++n) Set_Channel_Picture(n, nullptr);
    }
};

// Seconds for a full erase of all eight channels, with the event pump running between steps
// as in the program; the lines written to the batch file, if on.
double Full_Erase_Seconds(bool batch, std::int32_t* lines) {
    Fresh_Board();
    Pictures pictures;
    if (batch) {
        std::remove(Batch_File_Name);
        Open_Register_Batch_File();
    }
    const Steady::time_point start = Steady::now();
    Write_Solid_Rect_Multi(0xFF, &pictures.main_picture, 0, 0, 712, 512, 5, 5, 5, 5);
    const double seconds = Seconds_Since(start);
    *lines = Batch_File->Line_Count();
    Close_Register_Batch_File();
    std::remove(Batch_File_Name);
    return seconds;
}

// Microseconds per line of `count` lines written to a fresh file opened with extra_flags,
// each followed by `sync` (if any).
double Per_Line_Us(int extra_flags, const std::function<int(int)>& sync, int count) {
    std::remove(Scratch_Name);
    const int fd = ::open(Scratch_Name, O_WRONLY | O_CREAT | O_APPEND | extra_flags, 0666);
    if (fd < 0) return -1;
    const std::size_t length = std::char_traits<char>::length(Line);
    const Steady::time_point start = Steady::now();
    for (int i = 0; i < count; ++i) {
        if (::write(fd, Line, length) != static_cast<ssize_t>(length)) break;
        if (sync) sync(fd);
    }
    const double us = Seconds_Since(start) * 1e6 / count;
    ::close(fd);
    std::remove(Scratch_Name);
    return us;
}

double Line_File_Us(int count) {
    std::remove(Scratch_Name);
    Line_File file;
    file.Line_File_Open(Scratch_Name);
    const Steady::time_point start = Steady::now();
    for (int i = 0; i < count; ++i) file.Line_File_Write_Line("wrreg 134 255");
    const double us = Seconds_Since(start) * 1e6 / count;
    file.Line_File_Close();
    std::remove(Scratch_Name);
    return us;
}

// The median of several rounds, the variants taking turns: the disk's cost of a sync varies
// with what else it is doing, and the first file of a run pays for the journal's start.
void Report_Line_Costs() {
    constexpr int Lines = 500;
    constexpr int Rounds = 7;
    struct Variant {
        const char* name;
        std::function<double()> run;
        std::vector<double> us;
    } variants[] = {
        {"write only (kernel, not disk)", [] { return Per_Line_Us(0, {}, Lines * 20); }, {}},
        {"write + fdatasync", [] { return Per_Line_Us(0, ::fdatasync, Lines); }, {}},
        {"write + fsync", [] { return Per_Line_Us(0, ::fsync, Lines); }, {}},
        {"O_DSYNC write", [] { return Per_Line_Us(O_DSYNC, {}, Lines); }, {}},
        {"Line_File (the program's)", [] { return Line_File_Us(Lines); }, {}},
    };
    for (int round = 0; round < Rounds; ++round)
        for (Variant& v : variants) v.us.push_back(v.run());
    std::printf("one batch line, microseconds (median of %d rounds of %d lines; min, max):\n",
                Rounds, Lines);
    for (Variant& v : variants) {
        std::sort(v.us.begin(), v.us.end());
        std::printf("  %-32s %9.2f  (%.2f, %.2f)\n", v.name, v.us[Rounds / 2], v.us.front(),
                    v.us.back());
    }
}

void Report_Erase_Ratio() {
    std::int32_t lines = 0;
    const double off = Full_Erase_Seconds(false, &lines);
    const double on = Full_Erase_Seconds(true, &lines);
    std::printf(
        "full erase of 8 channels: batch file off %.3f s, on %.3f s (%d lines, %.1f us a "
        "line); on / off = %.1f (goal: at most 2)\n",
        off, on, lines, (on - off) * 1e6 / (lines > 0 ? lines : 1), on / off);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Drawing_Module_Start();
    Program_Services().process_events = [] { QCoreApplication::processEvents(); };
    Report_Line_Costs();
    Report_Erase_Ratio();
    Program_Services().process_events = nullptr;
    Drawing_Module_End();
    return 0;
}
