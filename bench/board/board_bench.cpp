// Cost of the simulated board per register cycle, driven through the simulated port the
// way the port library drives it (seven port writes and the busy polls per write cycle).
#include <benchmark/benchmark.h>

#include "tests/board/pin_driver.h"

namespace {

using board::testing::PinDriver;

struct Rig {
    Rig() {
        bus.Enter_Byte_Mode();
        b.Chip().Set_Busy_Polls(0, 0);  // the library's cost, not the model's waiting
    }
    board::SimulatedBoard b;
    board::SimulatedPort port{&b};
    PinDriver bus{port};
};

void BM_RegisterWriteCycle(benchmark::State& state) {
    Rig rig;
    std::uint8_t value = 0;
    for (auto _ : state) {
        rig.bus.Write(0x17, value++);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RegisterWriteCycle);

void BM_RegisterReadCycle(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rig.bus.Read(0x17));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RegisterReadCycle);

// A horizontal run: one COMMAND write per quad with HINC on.
void BM_QuadCommandWithAutoIncrement(benchmark::State& state) {
    Rig rig;
    rig.bus.Write(board::kSTATUS, board::kStatusHinc);
    for (auto _ : state) {
        rig.bus.Write(board::kCOMMAND, board::kCommandWriteQuad);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QuadCommandWithAutoIncrement);

void BM_MwriteAllChannels(benchmark::State& state) {
    Rig rig;
    rig.bus.Write(board::kCONTROL, board::kStatusHinc);
    for (auto _ : state) {
        rig.bus.Write(board::kMWRITE, 0xFF);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MwriteAllChannels);

void BM_PortWriteNoPinChange(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        rig.port.Write_Data(0x55);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PortWriteNoPinChange);

}  // namespace
