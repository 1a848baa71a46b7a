// Figures of the chip access layer on the simulated board:
//  - bus cycles of a full-screen erase of all eight channels (rows 0..512, the picture height
//    as the last row: 513 rows, the last one line 0 again) against the fewest for the rows
//    written (per row 178 MWRITE plus the line and column writes);
//  - bus cycles of a 200 x 40 upload with the cache on and off;
//  - wall time of the full erase with the Qt event pump running between steps;
//  - cost of Write_Register above the port library (cache and trace off).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "board/simulated_board.h"
#include "chip/canvas.h"
#include "chip/channel_pictures.h"
#include "chip/drawing_primitives.h"
#include "chip/luma.h"
#include "chip/register_bus.h"
#include "port/port_state.h"
#include "shell/event_pump.h"
#include "shell/services.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

board::SimulatedBoard* Fresh_Board() {
    vanlpt::testing::Reset_Library("1=sim");
    Select_LPT_123(1);
    Set_Register(0x402, 0x30);
    Port_State.Selected_Port = 1;
    Port_State.Log_Mask = 0;
    Cache_Enabled = 1;
    Verify_Writes = 0;
    Init_DUT_Bus();
    board::SimulatedBoard* board = vanlpt::testing::Simulated_Board(1);
    board->Reset_Counters();
    return board;
}

std::uint64_t Bus_Cycles(const board::SimulatedBoard& board) {
    const auto& c = board.Chip().Counters();
    return c.register_writes + c.register_reads;
}

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

void Report_Full_Erase_Cycles() {
    board::SimulatedBoard* board = Fresh_Board();
    Pictures pictures;
    Write_Solid_Rect_Multi(0xFF, &pictures.main_picture, 0, 0, 712, 512, 7, 7, 7, 7);
    const std::uint64_t rows = 513;
    const std::uint64_t fewest = rows * (178 + 2);
    const std::uint64_t cycles = Bus_Cycles(*board);
    std::printf(
        "full erase, 8 channels, rows 0..512: %llu bus cycles (%llu quad commands), fewest %llu "
        "(%llu x (178 + 2)), ratio %.4f\n",
        static_cast<unsigned long long>(cycles),
        static_cast<unsigned long long>(board->Chip().Counters().memory_commands),
        static_cast<unsigned long long>(fewest), static_cast<unsigned long long>(rows),
        static_cast<double>(cycles) / static_cast<double>(fewest));
}

void Report_Upload_Cycles() {
    Canvas picture;
    for (int y = 200; y < 240; ++y)
        for (int x = 100; x < 300; ++x) picture.Set_Pixel(x, y, OSD_To_Color((x / 3 + y) % 16));
    for (int cache = 1; cache >= 0; --cache) {
        board::SimulatedBoard* board = Fresh_Board();
        Cache_Enabled = static_cast<std::uint8_t>(cache);
        Upload_Picture(0, &picture, 100, 200, 299, 239);
        std::printf("upload 200 x 40, cache %s: %llu bus cycles (%llu quad commands)\n",
                    cache ? "on " : "off", static_cast<unsigned long long>(Bus_Cycles(*board)),
                    static_cast<unsigned long long>(board->Chip().Counters().memory_commands));
    }
    Cache_Enabled = 1;
}

struct EraseTime {
    double wall_ms;
    double cpu_ms;  // the process's CPU time: what the erase costs on an idle machine
};

EraseTime Full_Erase_Time() {
    Fresh_Board();
    Pictures pictures;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpu_start = std::clock();
    Write_Solid_Rect_Multi(0xFF, &pictures.main_picture, 0, 0, 712, 512, 3, 3, 3, 3);
    const double cpu_ms = 1000.0 * static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    const auto end = std::chrono::steady_clock::now();
    return {std::chrono::duration<double, std::milli>(end - start).count(), cpu_ms};
}

void Report_Full_Erase_Time() {
    const EraseTime without_pump = Full_Erase_Time();
    Program_Services().process_events = [] { QCoreApplication::processEvents(); };
    const EraseTime with_pump = Full_Erase_Time();
    Program_Services().process_events = nullptr;
    std::printf(
        "full erase, 8 channels: event pump running %.1f ms wall / %.1f ms CPU, "
        "without it %.1f ms wall / %.1f ms CPU\n",
        with_pump.wall_ms, with_pump.cpu_ms, without_pump.wall_ms, without_pump.cpu_ms);
}

// Write_Register with cache and trace off: the library write plus the statistics.
void BM_Write_Register(benchmark::State& state) {
    Fresh_Board();
    Cache_Enabled = 0;
    std::uint8_t value = 0;
    for (auto _ : state) Write_Register(39, ++value);
    Cache_Enabled = 1;
}
BENCHMARK(BM_Write_Register);

// The port library's own part of the same write, for the difference.
void BM_Library_Write(benchmark::State& state) {
    Fresh_Board();
    std::uint8_t value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Try_DUT_Register_Write(39, ++value));
        benchmark::DoNotOptimize(Get_DUT_BUSY_Highest_Count());
    }
}
BENCHMARK(BM_Library_Write);

// A write the cache drops: what every redundant position write of a run costs.
void BM_Write_Register_Cached_Hit(benchmark::State& state) {
    Fresh_Board();
    Write_Register(39, 5);
    for (auto _ : state) Write_Register(39, 5);
}
BENCHMARK(BM_Write_Register_Cached_Hit);

// One turn of the Qt event pump with nothing pending.
void BM_Process_Events(benchmark::State& state) {
    for (auto _ : state) QCoreApplication::processEvents();
}
BENCHMARK(BM_Process_Events);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Report_Full_Erase_Cycles();
    Report_Upload_Cycles();
    Report_Full_Erase_Time();
    std::printf("Write_Register above the library = BM_Write_Register - BM_Library_Write\n");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
