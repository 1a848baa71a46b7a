// A simulated board kept in a file between runs (the port target sim:FILE): the file is
// locked for as long as one process uses the board, read when the board is built and
// written back whole, through a temporary file and a rename, when the process ends normally.
#pragma once

#include <memory>
#include <string>

#include "board/simulated_board.h"
#include "vanlpt/board_state.h"

namespace vanlpt {

class BoardStateFile {
public:
    // Takes the lock beside path (path + ".lock"); nullptr with *error when another process
    // holds it or it cannot be made.
    static std::unique_ptr<BoardStateFile> Lock(const std::string& path, std::string* error);
    ~BoardStateFile();
    BoardStateFile(const BoardStateFile&) = delete;
    BoardStateFile& operator=(const BoardStateFile&) = delete;

    const std::string& Path() const { return path_; }

    // Reads the board; an absent file gives *state a powered-up board. False with *error
    // when the file cannot be read or is no intact board state.
    bool Load(BoardState* state, std::string* error) const;
    // Replaces the file with the state, or leaves it untouched and says why.
    bool Save(const BoardState& state, std::string* error) const;

private:
    BoardStateFile(std::string path, int lock_fd) : path_(std::move(path)), lock_fd_(lock_fd) {}
    std::string path_;
    int lock_fd_;
};

// Straight from and into the board model, behind the pins.
BoardState Capture_Board_State(const board::SimulatedBoard& model);
// Powers the board up, then sets every register, quad and route of the state.
void Apply_Board_State(const BoardState& state, board::SimulatedBoard* model);

}  // namespace vanlpt
