// The whole board in one state file, for every script-facing user (`osdex state`, the Python
// module): registers, display memory and the crosspoint routing read over the bus and written
// back. The file is read and checked before anything is sent, and written whole or not at all.
#pragma once

#include <optional>
#include <string>

#include "vanlpt/board_state.h"

// Reads and decodes a board state file: the message when it cannot be used, which is always
// the caller's input ("...; nothing was sent").
std::optional<std::string> Read_Board_State_File(const std::string& path,
                                                 vanlpt::BoardState* state);
// Writes a board state file through a whole-file write: the reason when it cannot.
std::optional<std::string> Write_Board_State_File(const std::string& path,
                                                  const vanlpt::BoardState& state);

// Reads the whole board into *state: the failure when a transaction failed. A real board's
// crosspoint cannot be read back: state->routing_known says whether the routing is in it.
std::optional<std::string> Save_Board(vanlpt::BoardState* state);
// Writes the whole board from state (the crosspoint when its routing is known, as one full
// initialization): the failure when a transaction failed.
std::optional<std::string> Restore_Board(const vanlpt::BoardState& state);
