// A 112-bit crosspoint-style load (14 words of 8 bits) through Generic_SPI_Transfer with
// the start-up SPI settings, on the virtual clock so that only the port work counts.
// Prints the port register accesses per load and per bit, and the host time per load.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "board/simulated_port.h"
#include "port/loopback_hunt.h"
#include "port/port_state.h"
#include "port/spi.h"
#include "shell/clock.h"
#include "shell/services.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

constexpr int Words = 14;
constexpr int Bits_Per_Word = 8;

void Start_Up_Settings() {
    vanlpt::testing::Reset_Library("1=sim");
    Port_State = TPort_State{};
    Port_State.Hunt_Called = true;
    Select_LPT_Port(1);
    Set_Board_Wiring_Defaults();
}

void Load_112_Bits() {
    SPI_CS_Assert();
    for (int i = 0; i < Words; ++i) {
        Generic_SPI_Transfer(static_cast<std::uint8_t>(0x11 * i), Bits_Per_Word);
    }
    SPI_CS_Release();
}

void BM_Crosspoint_112_Bits(benchmark::State& state) {
    VirtualClock clock;
    Program_Services().clock = &clock;
    Start_Up_Settings();
    board::SimulatedPort& port = *vanlpt::testing::Simulated_Port(1);
    std::uint64_t io = 0;
    std::uint32_t virtual_ms = 0;
    std::int64_t loads = 0;
    for (auto _ : state) {
        const std::uint64_t io_before = port.Io_Operations();
        const std::uint32_t ms_before = clock.Peek();
        Load_112_Bits();
        io += port.Io_Operations() - io_before;
        virtual_ms += clock.Peek() - ms_before;
        ++loads;
    }
    state.counters["port_io_per_load"] = static_cast<double>(io) / static_cast<double>(loads);
    state.counters["port_io_per_bit"] =
        static_cast<double>(io) / static_cast<double>(loads * Words * Bits_Per_Word);
    state.counters["virtual_ms_per_load"] =
        static_cast<double>(virtual_ms) / static_cast<double>(loads);
    Program_Services().clock = nullptr;
}
BENCHMARK(BM_Crosspoint_112_Bits);

}  // namespace

BENCHMARK_MAIN();
