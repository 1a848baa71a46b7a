#include "vanlpt/board_state_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "board/simulated_board.h"

namespace vanlpt {

namespace {

// The biggest file worth reading: a board state is about 1.4 MB.
constexpr off_t kMaxStateBytes = 4 << 20;

std::string Errno_Text() {
    return std::strerror(errno);
}

bool Write_All(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::unique_ptr<BoardStateFile> BoardStateFile::Lock(const std::string& path, std::string* error) {
    const std::string lock_path = path + ".lock";
    const int fd = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        *error = "cannot make the lock " + lock_path + ": " + Errno_Text();
        return nullptr;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        *error = held ? "the simulated board in " + path + " is in use by another program"
                      : "cannot lock " + lock_path + ": " + Errno_Text();
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<BoardStateFile>(new BoardStateFile(path, fd));
}

BoardStateFile::~BoardStateFile() {
    close(lock_fd_);  // releases the lock; the lock file stays, empty, for the next run
}

bool BoardStateFile::Load(BoardState* state, std::string* error) const {
    const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
        board::SimulatedBoard fresh;
        fresh.Power_Up();
        *state = Capture_Board_State(fresh);
        return true;
    }
    if (fd < 0) {
        *error = "cannot read " + path_ + ": " + Errno_Text();
        return false;
    }
    struct stat st {};
    std::string bytes;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxStateBytes;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        while (ok && done < bytes.size()) {
            const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            ok = n > 0;
            if (ok) done += static_cast<std::size_t>(n);
        }
    }
    close(fd);
    if (!ok) {
        *error = "cannot read " + path_ + ": not a regular file of a board state";
        return false;
    }
    std::string why;
    if (!Decode_Board_State(bytes, state, &why)) {
        *error = path_ + ": " + why;
        return false;
    }
    return true;
}

bool BoardStateFile::Save(const BoardState& state, std::string* error) const {
    const std::string temporary = path_ + ".tmp";  // the lock keeps it ours
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = "cannot write " + temporary + ": " + Errno_Text();
        return false;
    }
    const bool written = Write_All(fd, Encode_Board_State(state)) && fsync(fd) == 0;
    const std::string why = written ? "" : Errno_Text();
    close(fd);
    if (!written || std::rename(temporary.c_str(), path_.c_str()) != 0) {
        *error = "cannot write " + path_ + ": " + (written ? Errno_Text() : why);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

BoardState Capture_Board_State(const board::SimulatedBoard& model) {
    BoardState s;
    const board::OsdexChip& chip = model.Chip();
    for (unsigned a = 0; a < kStateRegisters; ++a) s.registers[a] = chip.Register(a);
    // Loss of sync is a condition of the run, not a setting: a file never records it.
    s.registers[board::kLOSALL] = 0;
    for (int c = 0; c < kStateChannels; ++c)
        s.registers[board::kBankSize * c + board::kSTATUS] &= ~board::kStatusLos;
    for (int c = 0; c < kStateChannels; ++c)
        for (int line = 0; line < kStateLines; ++line)
            for (int q = 0; q < kStateQuadsPerLine; ++q) s.Quad(c, line, q) = chip.Quad(c, line, q);
    for (int o = 0; o < kStateOutputs; ++o) {
        const board::CrosspointRoute r = model.Crosspoint().Route(o);
        s.routing[o] = {r.enabled, r.input, r.gain};
    }
    s.routing_known = true;
    return s;
}

void Apply_Board_State(const BoardState& state, board::SimulatedBoard* model) {
    model->Power_Up();
    board::OsdexChip& chip = model->Chip();
    for (unsigned a = 0; a < kStateRegisters; ++a) chip.Set_Register(a, state.registers[a]);
    for (int c = 0; c < kStateChannels; ++c)
        for (int line = 0; line < kStateLines; ++line)
            for (int q = 0; q < kStateQuadsPerLine; ++q)
                chip.Set_Quad(c, line, q, state.Quad(c, line, q));
    if (!state.routing_known) return;
    for (int o = 0; o < kStateOutputs; ++o) {
        const StateRoute& r = state.routing[o];
        model->Crosspoint().Set_Route(o, {r.enabled, r.input, r.gain});
    }
}

}  // namespace vanlpt
