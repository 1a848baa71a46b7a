// What keeping the board in a file costs one `osdex` call: the median wall time of
// `osdex --port sim read 133` against `osdex --port sim:FILE read 133` on a board file that
// exists (a read changes nothing, so the file need not be written back), and of a write
// (which must be written back). Goal: the sim:FILE read at most twice the plain sim read.
// Usage: bench_sim_file [RUNS [OSDEX]]: 21 runs of each by default, of the osdex built beside
// it unless another (an older build, to compare) is named.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::string osdex = OSDEX_EXECUTABLE;

// One osdex run with its output thrown away; wall time in ms, or a negative value when it
// did not exit with status 0.
double Run_Ms(const std::vector<std::string>& args) {
    std::vector<std::string> words = {osdex};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        waitpid(pid, &status, 0);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    if (argc > 2) osdex = argv[2];
    unsetenv("VANLPT_PORTS");
    char folder[] = "/tmp/bench-sim-file-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        std::perror("bench_sim_file: mkdtemp");
        return 1;
    }
    const std::string file = std::string(folder) + "/board.osdex";
    const std::string board = "--port=sim:" + file;
    // The board file exists, as it does for every call after the first.
    if (Run_Ms({board, "write", "23", "136"}) < 0) {
        std::fprintf(stderr, "bench_sim_file: osdex failed on %s\n", file.c_str());
        return 1;
    }
    Run_Ms({"--port=sim", "read", "133"});  // warm the caches once
    // The three kinds of run take turns, so that the load of the machine falls on all alike.
    std::vector<double> plain, read, write;
    for (int run = 0; run < runs; ++run) {
        plain.push_back(Run_Ms({"--port=sim", "read", "133"}));
        read.push_back(Run_Ms({board, "read", "133"}));
        // Every write changes the board, so every one writes the file back.
        write.push_back(Run_Ms({board, "write", "23", std::to_string(137 + run % 2)}));
    }
    const auto any_failed = [](const std::vector<double>& times) {
        return std::ranges::any_of(times, [](double ms) { return ms < 0; });
    };
    const bool failed = any_failed(plain) || any_failed(read) || any_failed(write);
    for (const char* suffix : {"", ".lock", ".tmp"}) std::remove((file + suffix).c_str());
    rmdir(folder);
    if (failed) {
        std::fprintf(stderr, "bench_sim_file: an osdex run failed\n");
        return 1;
    }
    std::printf(
        "osdex read 133, median of %d runs: --port sim %.1f ms; --port sim:FILE %.1f ms "
        "(%.2f x)\n",
        runs, Median(plain), Median(read), Median(read) / Median(plain));
    std::printf(
        "osdex write 23 137 / 138 on sim:FILE (the board changes and is written back): %.1f ms\n",
        Median(write));
    return 0;
}
