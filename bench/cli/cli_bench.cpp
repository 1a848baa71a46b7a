// Figures of `osdex` on the simulated board:
//  - replay of a 100,000-line batch file: parsing alone and parse + run, lines per second
//    (goal: at least 1 million lines a second, so that parsing is never the bottleneck);
//  - state save and state restore of a full board: wall time (goal: at most 1 s each) and
//    the bus cycles each takes, the figure that decides their time on a real port.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "chip/board_session.h"
#include "chip/board_snapshot.h"
#include "chip/register_batch.h"
#include "chip/register_bus.h"
#include "cli/exit_status.h"
#include "cli/register_commands.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

using Steady = std::chrono::steady_clock;

double Seconds_Since(Steady::time_point start) {
    return std::chrono::duration<double>(Steady::now() - start).count();
}

// A session's worth of lines, as the windows record them: mostly quad writes, some reads.
std::string Batch_Text(int lines) {
    std::string text;
    char line[32];
    for (int i = 0; i < lines; ++i) {
        const int n =
            i % 10 == 9 ? std::snprintf(line, sizeof line, "rdreg %d\r\n", i % 136)
                        : std::snprintf(line, sizeof line, "wrreg %d %d\r\n", 128 + i % 8, i % 256);
        text.append(line, static_cast<std::size_t>(n));
    }
    return text;
}

template <typename Work>
double Best_Of(int rounds, Work work) {
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        const auto start = Steady::now();
        work();
        best = std::min(best, Seconds_Since(start));
    }
    return best;
}

}  // namespace

int main() {
    constexpr int Lines = 100000;
    const std::string text = Batch_Text(Lines);
    std::vector<BatchStep> steps;
    BatchParseError error;
    const double parse = Best_Of(5, [&] { Parse_Register_Batch(text, &steps, &error); });

    const std::string path = "bench_cli_replay.bat";
    std::ofstream(path, std::ios::binary) << text;
    std::fflush(stdout);
    const int saved_stdout = dup(1);
    if (!std::freopen("/dev/null", "w", stdout)) {
        std::perror("bench_cli: /dev/null");
        return 1;
    }
    const double replay = Best_Of(3, [&] {
        vanlpt::testing::Reset_Library("1=sim");
        Run_Replay(path, ReplayOptions{.verify = false, .quiet = true});
    });
    std::fflush(stdout);
    dup2(saved_stdout, 1);
    std::remove(path.c_str());

    std::printf(
        "replay of %d lines: parsing %.1f ms (%.1f M lines/s); parse + run on the "
        "simulated board %.1f ms (%.2f M lines/s)\n",
        Lines, parse * 1e3, Lines / parse / 1e6, replay * 1e3, Lines / replay / 1e6);

    vanlpt::testing::Reset_Library("1=sim");
    Open_Board();
    vanlpt::BoardState state;
    const double save = Best_Of(3, [&] { Read_Board_Snapshot(&state); });
    const std::uint64_t save_cycles = Board_Snapshot_Cycles();
    Cache_Enabled = 1;
    const double restore = Best_Of(3, [&] {
        Init_DUT_Bus();  // a cache that knows nothing, as in a fresh osdex
        Write_Board_Snapshot(state);
    });
    const std::uint64_t restore_cycles = Board_Snapshot_Cycles();
    std::printf(
        "state save: %.0f ms, %llu bus cycles; state restore (erased board): %.0f ms, "
        "%llu bus cycles (goal: 1 s each)\n",
        save * 1e3, static_cast<unsigned long long>(save_cycles), restore * 1e3,
        static_cast<unsigned long long>(restore_cycles));
    return 0;
}
