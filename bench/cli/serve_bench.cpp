// Figures of the board server on this machine: a replay through a local server against the
// same replay in-process on the simulated board, an erase of all eight channels through the
// server, a channel's memory saved through the server and in-process, the windows' erase of
// all eight channels (their drawing primitive, in this process, on a unix: target), and one
// rdreg round trip on the Unix socket. Prints; asserts nothing.
//   bench_serve [OSDEX]   (default: the osdex built beside it)
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "chip/canvas.h"
#include "chip/drawing_primitives.h"
#include "chip/luma.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "vanlpt/vanlpt.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds_Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

pid_t Spawn(std::vector<std::string> words) {
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The median time of running the words five times.
double Run_Time(const std::vector<std::string>& words) {
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        int status = 0;
        waitpid(Spawn(words), &status, 0);
        times.push_back(Seconds_Since(start));
    }
    std::sort(times.begin(), times.end());
    return times[2];
}

int Connect(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    close(fd);
    return -1;
}

std::string Read_Line(int fd) {
    std::string line;
    char c = 0;
    while (read(fd, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

double Round_Trip_Us(const std::string& path) {
    const int fd = Connect(path);
    Read_Line(fd);
    const std::string bus = "bus 1:0 16:0 14:1 17:1 15:0 10000 32\n";
    (void)!write(fd, bus.data(), bus.size());
    Read_Line(fd);
    constexpr int count = 20000;
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        (void)!write(fd, "rdreg 7\n", 8);
        Read_Line(fd);
    }
    close(fd);
    return Seconds_Since(start) / count * 1e6;
}

// Every quad of every channel through the multi-channel bank, as the windows' erase sends it.
std::string Erase_Batch() {
    std::string text = "wrreg 135 8\nwrreg 128 0\nwrreg 129 0\n";
    for (int line = 0; line < 512; ++line) {
        text += "wrreg 131 " + std::to_string(line >> 8) + "\nwrreg 132 " +
                std::to_string(line & 255) + "\nwrreg 130 0\n";
        for (int q = 0; q < 178; ++q) text += "wrreg 134 255\n";
    }
    return text + "rdreg 133\n";
}

// The main window's erase of every channel to level 0: the quad data, then one solid
// rectangle through the multi-channel bank, painted on the window's picture as it goes.
void Windows_Erase(Canvas& picture) {
    const std::uint8_t pattern = Quad_Byte(0, 0);
    Write_Register(MReg::QPH, pattern);
    Write_Register(MReg::QPL, pattern);
    Write_Solid_Rect_Multi(0xFF, &picture, 0, 0, picture.Width(), picture.Height(), 0, 0, 0, 0);
}

// The median of five erases as the windows do them, in this process on target.
double Windows_Erase_Time(const std::string& target) {
    if (!Vanlpt_Map_Port(1, target.c_str()) || !Select_LPT_123(1)) {
        std::fprintf(stderr, "bench_serve: %s: %s\n", target.c_str(), Vanlpt_Last_Error());
        return -1;
    }
    Set_Register(0x402, 0x30);
    Canvas picture;
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        Init_DUT_Bus();
        const auto start = Clock::now();
        Windows_Erase(picture);
        times.push_back(Seconds_Since(start));
    }
    Select_LPT_123(0);
    std::sort(times.begin(), times.end());
    return times[2];
}

}  // namespace

int main(int argc, char** argv) {
    const std::string self = argv[0];
    const std::string osdex =
        argc > 1 ? argv[1] : self.substr(0, self.rfind("/bench/")) + "/cli/osdex";
    char folder[] = "/tmp/bench-serve-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string batch = std::string(folder) + "/erase.bat";
    std::ofstream(batch) << Erase_Batch();
    const std::string sock = std::string(folder) + "/sim.sock";
    const pid_t server = Spawn({osdex, "--port", "sim", "serve", "--listen", "unix:" + sock});
    for (int i = 0; i < 500 && Connect(sock) < 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const double local = Run_Time({osdex, "--port", "sim", "--quiet", "replay", batch});
    const double served = Run_Time({osdex, "--port", "unix:" + sock, "--quiet", "replay", batch});
    const double erase = Run_Time({osdex, "--port", "unix:" + sock, "memory", "erase", "all", "3"});
    const std::string png = std::string(folder) + "/ch3.png";
    const double save_local = Run_Time({osdex, "--port", "sim", "memory", "save", "3", png});
    const double save_served =
        Run_Time({osdex, "--port", "unix:" + sock, "memory", "save", "3", png});
    const double windows_local = Windows_Erase_Time("sim");
    const double windows_served = Windows_Erase_Time("unix:" + sock);
    std::printf("replay of %s, in-process on sim:        %.3f s\n", "an 8-channel erase", local);
    std::printf("the same replay through a local server:   %.3f s (%.1fx; goal <= 4x)\n", served,
                served / local);
    std::printf("memory erase all through a local server:  %.3f s (goal <= 1 s)\n", erase);
    std::printf("memory save of one channel, in-process:   %.3f s\n", save_local);
    std::printf("the same through a local server:          %.3f s (%.1fx)\n", save_served,
                save_served / save_local);
    std::printf("the windows' erase of 8 channels, sim:    %.3f s\n", windows_local);
    std::printf("the same through a local server (unix:):  %.3f s (goal <= 1 s)\n", windows_served);
    std::printf("one rdreg round trip on the Unix socket:  %.1f us (goal <= 100 us)\n",
                Round_Trip_Us(sock));
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    std::remove(batch.c_str());
    std::remove(png.c_str());
    rmdir(folder);
    return 0;
}
