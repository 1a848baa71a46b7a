// Figures of the port library on the simulated board: port I/O operations per register
// write and read, register transactions per second through the C interface, and the cost of
// fetching a channel's frame.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "board/simulated_board.h"
#include "board/simulated_port.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

// A selected simulated board in byte mode with the program's bus roles; `busy_polls` is
// the chip's busy time after a register access, in polls that still see it busy.
board::SimulatedBoard* Prepare(unsigned busy_polls) {
    vanlpt::testing::Reset_Library("1=sim");
    Select_LPT_123(1);
    Set_Register(0x402, 0x30);
    Set_Control(4);
    Set_DUT_BUSY_Pin(15, 0);
    Set_DUT_BUSY_LevelSync();
    Set_DUT_WR_Pin(1, 0);
    Set_DUT_RD_Pin(16, 0);
    Set_DUT_ADDR_Pin(14, 1);
    Set_DUT_CS_Pin(17, 1);
    Set_DUT_BUSY_Timeout(10000);
    board::SimulatedBoard* b = vanlpt::testing::Simulated_Board(1);
    b->Chip().Set_Busy_Polls(busy_polls, busy_polls);
    Try_DUT_Register_Write(7, 0);  // pins into their between-cycles state
    return b;
}

void Print_Io_Per_Cycle(unsigned busy_polls) {
    Prepare(busy_polls);
    board::SimulatedPort* port = vanlpt::testing::Simulated_Port(1);
    port->Reset_Counters();
    Try_DUT_Register_Write(7, 0x42);
    auto writes = port->Io_Operations();
    port->Reset_Counters();
    unsigned char v = 0;
    Try_DUT_Register_Read(7, &v);
    auto reads = port->Io_Operations();
    std::printf(
        "port I/O operations, chip busy for %u poll(s) after an access: "
        "%llu per register write, %llu per register read (%u status poll(s) each)\n",
        busy_polls, static_cast<unsigned long long>(writes), static_cast<unsigned long long>(reads),
        busy_polls + 1);
}

void BM_RegisterWrite(benchmark::State& state) {
    Prepare(static_cast<unsigned>(state.range(0)));
    unsigned char d = 0;
    for (auto _ : state) benchmark::DoNotOptimize(Try_DUT_Register_Write(7, ++d));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RegisterWrite)->Arg(0)->Arg(1);

void BM_RegisterRead(benchmark::State& state) {
    Prepare(static_cast<unsigned>(state.range(0)));
    unsigned char v = 0;
    for (auto _ : state) benchmark::DoNotOptimize(Try_DUT_Register_Read(7, &v));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RegisterRead)->Arg(0)->Arg(1);

// A quad stream as the drawing code sends it: MWRITE with horizontal increment.
void BM_MwriteStream(benchmark::State& state) {
    Prepare(1);
    Try_DUT_Register_Write(135, 0x08);
    Try_DUT_Register_Write(128, 0x12);
    Try_DUT_Register_Write(129, 0x34);
    int n = 0;
    for (auto _ : state) {
        if (n++ % 178 == 0) Try_DUT_Register_Write(130, 0);
        benchmark::DoNotOptimize(Try_DUT_Register_Write(134, 0xFF));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MwriteStream);

// What the monitor window pays per channel and frame: the call copies the whole frame and
// draws only what changed, here nothing or one line.
void BM_ChannelFrameCall(benchmark::State& state) {
    board::SimulatedBoard* b = Prepare(1);
    std::vector<std::uint32_t> pixels(VANLPT_FRAME_WIDTH * VANLPT_FRAME_HEIGHT);
    Vanlpt_Channel_Frame(0, 0, pixels.data(), nullptr);
    std::uint16_t value = 0;
    for (auto _ : state) {
        if (state.range(0) != 0) b->Chip().Set_Quad(0, 100, 10, ++value);
        benchmark::DoNotOptimize(Vanlpt_Channel_Frame(0, 0, pixels.data(), nullptr));
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(state.range(0) != 0 ? "one line changed" : "nothing changed");
}
BENCHMARK(BM_ChannelFrameCall)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    Print_Io_Per_Cycle(0);
    Print_Io_Per_Cycle(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    vanlpt::testing::Reset_Library();
    return 0;
}
