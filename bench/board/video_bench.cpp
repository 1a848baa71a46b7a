// Cost of the board's video output: a whole frame of one channel drawn from scratch, with an
// empty and with a full display memory, and all eight channels brought up to date after one
// changed line, with the test pattern's sharing (channels 2..7 show lines 300..350 of
// channel 0 or 1).
#include <benchmark/benchmark.h>

#include "board/simulated_board.h"

namespace {

using board::SimulatedBoard;

// Every quad of every channel holds four different levels, none of them transparent.
void Fill_Memory(SimulatedBoard& b) {
    for (int c = 0; c < board::kChannels; ++c)
        for (int line = 0; line < board::kLines; ++line)
            for (int q = 0; q < board::kQuadsPerLine; ++q)
                b.Chip().Set_Quad(c, line, q, static_cast<std::uint16_t>(0x1234 + q + line));
}

void Share_Like_The_Test_Pattern(SimulatedBoard& b) {
    for (unsigned s = 32; s <= 112; s += 16) {
        b.Chip().Set_Register(s + board::kSHRBEGH, 1);
        b.Chip().Set_Register(s + board::kSHRBEGL, 44);
        b.Chip().Set_Register(s + board::kSHRENDH, 1);
        b.Chip().Set_Register(s + board::kSHRENDL, 94);
        b.Chip().Set_Register(s + board::kSHRSRC, (s & 16) != 0 ? 2 : 1);
    }
}

void BM_FullFrameFromScratch(benchmark::State& state) {
    SimulatedBoard b;
    if (state.range(0) != 0) Fill_Memory(b);
    for (auto _ : state) {
        b.Video().Set_Source(0, board::VideoSource::ColourBars);  // forgets what was drawn
        benchmark::DoNotOptimize(b.Render_Video(0, 0));
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(state.range(0) != 0 ? "full memory" : "empty memory");
}
BENCHMARK(BM_FullFrameFromScratch)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_EightChannelsAfterOneChangedLine(benchmark::State& state) {
    SimulatedBoard b;
    Fill_Memory(b);
    Share_Like_The_Test_Pattern(b);
    for (int c = 0; c < board::kChannels; ++c) b.Render_Video(c, 0);
    std::uint16_t value = 0;
    int rows = 0;
    for (auto _ : state) {
        b.Chip().Set_Quad(0, 320, 60, ++value);  // a time stamp's line, shared by 2, 4 and 6
        for (int c = 0; c < board::kChannels; ++c) rows += b.Render_Video(c, 0);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["rows_per_frame"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_EightChannelsAfterOneChangedLine)->Unit(benchmark::kMicrosecond);

void BM_EightChannelsNothingChanged(benchmark::State& state) {
    SimulatedBoard b;
    Fill_Memory(b);
    for (int c = 0; c < board::kChannels; ++c) b.Render_Video(c, 0);
    for (auto _ : state)
        for (int c = 0; c < board::kChannels; ++c) benchmark::DoNotOptimize(b.Render_Video(c, 0));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EightChannelsNothingChanged);

}  // namespace
