// A simulated board kept in a file between runs (the port target sim:FILE): the file is
// locked for as long as one process uses the board, read when the board is built and
// written back whole, through a temporary file and a rename, when the process ends normally.
// A symbolic link stands for the file it names: the target is locked and rewritten, so two
// names of one board exclude each other and the link stays a link.
#pragma once

#include <memory>
#include <string>

#include "board/simulated_board.h"
#include "vanlpt/board_state.h"

namespace vanlpt {

class BoardStateFile {
public:
    // Takes the lock beside the file (its target + ".lock"), waiting up to wait_ms for
    // another process to let go of it, writes who holds it into the lock file and removes a
    // temporary file a killed process left. nullptr with *error when the file is read-only,
    // another process holds the lock (named as the lock file names it), or the lock cannot
    // be made.
    static std::unique_ptr<BoardStateFile> Lock(const std::string& path, std::string* error,
                                                unsigned wait_ms = 0);
    ~BoardStateFile();
    BoardStateFile(const BoardStateFile&) = delete;
    BoardStateFile& operator=(const BoardStateFile&) = delete;

    // The name the board was given.
    const std::string& Path() const { return path_; }

    // Reads the board; an absent file gives *state a powered-up board. False with *error
    // when the file cannot be read or is no intact board state; *bad_input (when given) is
    // then true when the fault is in the file's content (damaged, not a board state, another
    // version) rather than in reaching it.
    bool Load(BoardState* state, std::string* error, bool* bad_input = nullptr) const;
    // Replaces the file with the state, keeping its permissions, or leaves it untouched and
    // says why.
    bool Save(const BoardState& state, std::string* error) const;

private:
    BoardStateFile(std::string path, std::string target, int lock_fd, bool holder_written)
        : path_(std::move(path)),
          target_(std::move(target)),
          lock_fd_(lock_fd),
          holder_written_(holder_written) {}
    std::string path_;
    std::string target_;
    int lock_fd_;
    bool holder_written_;  // the lock file names this process, to be emptied at the end
};

// Straight from and into the board model, behind the pins.
BoardState Capture_Board_State(const board::SimulatedBoard& model);
// True when capturing the board would give `state`.
bool Board_Holds(const board::SimulatedBoard& model, const BoardState& state);
// Powers the board up, then sets every register, quad and route of the state.
void Apply_Board_State(const BoardState& state, board::SimulatedBoard* model);

}  // namespace vanlpt
