#include "vanlpt/board_state_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>
#include <thread>

#include "board/simulated_board.h"
#include "vanlpt/report.h"

namespace vanlpt {

namespace {

// The biggest file worth reading: a board state is about 1.4 MB.
constexpr off_t kMaxStateBytes = 4 << 20;
constexpr int kMaxLinkHops = 40;  // as the kernel allows
// How often a waiting process asks for the lock again.
constexpr std::chrono::milliseconds kLockPoll{25};
// At most this much of what another process wrote into the lock file reaches a message.
constexpr std::size_t kMaxHolderChars = 160;

std::string Errno_Text() {
    return std::strerror(errno);
}

bool Write_All(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads size bytes; "" when they came, else why not.
std::string Read_All(int fd, char* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = read(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Errno_Text();
        if (n == 0) return "it got shorter while it was read";
        done += static_cast<std::size_t>(n);
    }
    return "";
}

// The folder part of a path: "" for a bare name.
std::string Folder_Of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty() || name.front() == '/') return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string Real_Path(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) return "";
    std::string resolved(real);
    std::free(real);
    return resolved;
}

// The file a name stands for behind its symbolic links. A link to a file that does not exist
// yet is followed by its text, so that the board is made where the link points.
std::string Resolve_Links(const std::string& path) {
    const std::string real = Real_Path(path);
    if (!real.empty()) return real;
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st {};
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::string text(PATH_MAX, '\0');
        const ssize_t n = readlink(current.c_str(), text.data(), text.size());
        if (n <= 0) break;
        text.resize(static_cast<std::size_t>(n));
        current = Join(Folder_Of(current), text);
    }
    // The folder's own links count too: two names of one board must meet at one lock.
    const std::size_t slash = current.rfind('/');
    const std::string folder = Real_Path(slash == std::string::npos ? "." : Folder_Of(current));
    if (folder.empty()) return current;
    return Join(folder, slash == std::string::npos ? current : current.substr(slash + 1));
}

// Why the board could not be written back: the file has no write permission (refused even
// for root, who could write it: someone meant it to stay as it is), or this user cannot write
// the file or replace it in its folder. "" when it can, or when the file is not there yet.
std::string Read_Only_Reason(const std::string& target) {
    struct stat st {};
    if (stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "";
    const std::string folder = Folder_Of(target);
    if (access(folder.empty() ? "." : folder.c_str(), W_OK) != 0)
        return "its folder cannot be written (" + Errno_Text() + ")";
    if ((st.st_mode & 0222) == 0) {
        char text[64];
        std::snprintf(text, sizeof text, "it has no write permission (mode %04o)",
                      static_cast<unsigned>(st.st_mode & 07777));
        return text;
    }
    if (access(target.c_str(), W_OK) != 0) return Errno_Text();
    return "";
}

std::string Program_Name() {
    const std::string name = This_Program_Name();
    return name.empty() ? "a program" : Printable(name);
}

std::string User_Name() {
    const std::string name = This_User_Name();
    return name.empty() ? "uid " + std::to_string(geteuid()) : Printable(name);
}

std::string Now_Text() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32] = {};
    if (localtime_r(&now, &local) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// Who holds the board, for whoever finds it in use: "osdex, pid 1234, user ann, since
// 2026-12-09 20:51:03".
void Write_Holder(int fd) {
    const std::string text = Program_Name() + ", pid " + std::to_string(getpid()) + ", user " +
                             User_Name() + ", since " + Now_Text() + "\n";
    if (ftruncate(fd, 0) == 0) (void)Write_All(fd, text);
}

std::string Read_Holder(int fd) {
    char buffer[kMaxHolderChars + 1];
    const ssize_t n = pread(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return "";
    std::string_view text(buffer, static_cast<std::size_t>(n));
    text = text.substr(0, std::min(text.find('\n'), kMaxHolderChars));
    return Printable(text);
}

// "5", "0.5", "2.25": a wait in seconds as the user wrote it.
std::string Seconds_Text(unsigned ms) {
    std::string text = std::to_string(ms / 1000);
    if (ms % 1000 == 0) return text;
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03u", ms % 1000);
    std::string digits = fraction;
    while (digits.back() == '0') digits.pop_back();
    return text + digits;
}

std::string In_Use_Text(const std::string& shown, int lock_fd, unsigned waited_ms) {
    std::string text = "the simulated board in " + shown;
    text += waited_ms == 0 ? " is in use"
                           : " is still in use after waiting " + Seconds_Text(waited_ms) + " s";
    text += " by another program";
    const std::string holder = Read_Holder(lock_fd);
    if (!holder.empty()) text += " (" + holder + ")";
    if (waited_ms == 0) text += "; to wait for it, name it as sim:" + shown + "?wait=SECONDS";
    return text;
}

// Takes the lock on fd, asking again until wait_ms have passed; false with errno set.
bool Take_Lock(int fd, unsigned wait_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kLockPoll);
    }
    return true;
}

// The folder's entry of a renamed file reaches the disk too.
void Sync_Folder_Of(const std::string& path) {
    const std::string folder = Folder_Of(path);
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)fsync(fd);
    close(fd);
}

}  // namespace

std::unique_ptr<BoardStateFile> BoardStateFile::Lock(const std::string& path, std::string* error,
                                                     unsigned wait_ms) {
    const std::string shown = Printable(path);
    const std::string target = Resolve_Links(path);
    const std::string read_only = Read_Only_Reason(target);
    if (!read_only.empty()) {
        *error = "the board file " + shown + " is read-only: " + read_only +
                 "; the board could not be written back: make the file writable or name "
                 "a copy of it";
        return nullptr;
    }
    const std::string lock_path = target + ".lock";
    constexpr int kFlags = O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW;
    int fd = open(lock_path.c_str(), O_RDWR | kFlags, 0644);
    // Another user's lock file still locks; it just cannot name this process.
    const bool writable = fd >= 0;
    if (fd < 0 && errno == EACCES) fd = open(lock_path.c_str(), O_RDONLY | kFlags, 0644);
    if (fd < 0) {
        *error = "cannot make the lock " + Printable(lock_path) + ": " + Errno_Text();
        return nullptr;
    }
    if (!Take_Lock(fd, wait_ms)) {
        *error = errno == EWOULDBLOCK ? In_Use_Text(shown, fd, wait_ms)
                                      : "cannot lock " + Printable(lock_path) + ": " + Errno_Text();
        close(fd);
        return nullptr;
    }
    if (writable) Write_Holder(fd);
    // The lock is ours, so a temporary file beside the board is what a killed process left.
    unlink((target + ".tmp").c_str());
    return std::unique_ptr<BoardStateFile>(new BoardStateFile(path, target, fd, writable));
}

BoardStateFile::~BoardStateFile() {
    if (holder_written_) (void)!ftruncate(lock_fd_, 0);  // the lock file stays, empty
    close(lock_fd_);                                     // releases the lock
}

bool BoardStateFile::Load(BoardState* state, std::string* error, bool* bad_input) const {
    bool bad = false;
    if (bad_input == nullptr) bad_input = &bad;
    *bad_input = false;
    const std::string shown = Printable(path_);
    const int fd = open(target_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
        board::SimulatedBoard fresh;
        fresh.Power_Up();
        *state = Capture_Board_State(fresh);
        return true;
    }
    if (fd < 0) {
        *error = "cannot read " + shown + ": " + Errno_Text();
        return false;
    }
    struct stat st {};
    const bool fits = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxStateBytes;
    const std::size_t size = fits ? static_cast<std::size_t>(st.st_size) : 0;
    // Not zeroed first: read() fills it.
    const auto bytes = std::make_unique_for_overwrite<char[]>(size);
    const std::string why = fits ? Read_All(fd, bytes.get(), size) : "";
    close(fd);
    if (!fits) {
        *error = "cannot read " + shown + ": not a regular file of a board state";
        *bad_input = true;
        return false;
    }
    if (!why.empty()) {
        *error = "cannot read " + shown + ": " + why;
        return false;
    }
    std::string reason;
    if (!Decode_Board_State(std::string_view(bytes.get(), size), state, &reason)) {
        *error = shown + ": " + reason;
        *bad_input = true;
        return false;
    }
    return true;
}

bool BoardStateFile::Save(const BoardState& state, std::string* error) const {
    const std::string temporary = target_ + ".tmp";  // the lock keeps it ours
    struct stat old {};
    const bool existed = stat(target_.c_str(), &old) == 0;
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        *error = "cannot write " + Printable(temporary) + ": " + Errno_Text();
        return false;
    }
    if (existed) {
        // The new file takes the old one's owner and mode (a 0640 board stays 0640).
        if (old.st_uid != geteuid() || old.st_gid != getegid())
            (void)!fchown(fd, old.st_uid, old.st_gid);
        (void)!fchmod(fd, old.st_mode & 07777);
    }
    bool written = Write_All(fd, Encode_Board_State(state)) && fsync(fd) == 0;
    const std::string why = written ? "" : Errno_Text();
    written = close(fd) == 0 && written;
    if (!written || std::rename(temporary.c_str(), target_.c_str()) != 0) {
        *error = "cannot write " + Printable(path_) + ": " + (why.empty() ? Errno_Text() : why);
        std::remove(temporary.c_str());
        return false;
    }
    Sync_Folder_Of(target_);
    return true;
}

namespace {

// The registers as a file keeps them. Loss of sync is a condition of the run, not a setting:
// a file never records it.
std::array<std::uint8_t, kStateRegisters> Kept_Registers(const board::OsdexChip& chip) {
    std::array<std::uint8_t, kStateRegisters> registers{};
    for (unsigned a = 0; a < kStateRegisters; ++a) registers[a] = chip.Register(a);
    registers[board::kLOSALL] = 0;
    for (int c = 0; c < kStateChannels; ++c)
        registers[board::kBankSize * c + board::kSTATUS] &= ~board::kStatusLos;
    return registers;
}

std::array<StateRoute, kStateOutputs> Kept_Routing(const board::SimulatedBoard& model) {
    std::array<StateRoute, kStateOutputs> routing{};
    for (int o = 0; o < kStateOutputs; ++o) {
        const board::CrosspointRoute r = model.Crosspoint().Route(o);
        routing[o] = {r.enabled, r.input, r.gain};
    }
    return routing;
}

static_assert(kStateQuadsPerLine == board::kQuadsPerLine);

}  // namespace

BoardState Capture_Board_State(const board::SimulatedBoard& model) {
    BoardState s;
    const board::OsdexChip& chip = model.Chip();
    s.registers = Kept_Registers(chip);
    for (int c = 0; c < kStateChannels; ++c)
        for (int line = 0; line < kStateLines; ++line) {
            const auto quads = chip.Line_Quads(c, line);
            std::copy(quads.begin(), quads.end(), &s.Quad(c, line, 0));
        }
    s.routing = Kept_Routing(model);
    s.routing_known = true;
    return s;
}

// A line at a time and without a copy: every end of a run asks it of every board kept in a
// file.
bool Board_Holds(const board::SimulatedBoard& model, const BoardState& state) {
    const board::OsdexChip& chip = model.Chip();
    if (!state.routing_known || Kept_Registers(chip) != state.registers ||
        Kept_Routing(model) != state.routing)
        return false;
    const std::uint16_t* kept = state.memory.data();  // channel by channel, line by line
    for (int c = 0; c < kStateChannels; ++c)
        for (int line = 0; line < kStateLines; ++line, kept += kStateQuadsPerLine) {
            const auto quads = chip.Line_Quads(c, line);
            if (!std::equal(quads.begin(), quads.end(), kept)) return false;
        }
    return true;
}

void Apply_Board_State(const BoardState& state, board::SimulatedBoard* model) {
    model->Power_Up();
    board::OsdexChip& chip = model->Chip();
    for (unsigned a = 0; a < kStateRegisters; ++a) chip.Set_Register(a, state.registers[a]);
    for (int c = 0; c < kStateChannels; ++c)
        for (int line = 0; line < kStateLines; ++line) {
            const auto quads = chip.Line_Quads(c, line);  // mostly what power-up left
            for (int q = 0; q < kStateQuadsPerLine; ++q)
                if (quads[q] != state.Quad(c, line, q))
                    chip.Set_Quad(c, line, q, state.Quad(c, line, q));
        }
    if (!state.routing_known) return;
    for (int o = 0; o < kStateOutputs; ++o) {
        const StateRoute& r = state.routing[o];
        model->Crosspoint().Set_Route(o, {r.enabled, r.input, r.gain});
    }
}

}  // namespace vanlpt
