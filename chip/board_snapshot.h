// The whole board through the register bus: every channel register, the multi-channel bank
// and the display memory of all eight channels read back into a board state, and written
// from one. The position registers a read-back moves are put back afterwards, so saving
// leaves the board as it was. The crosspoint cannot be read over the bus: its routing comes
// from the port library when it knows it (a simulated board). The trigger registers (COMMAND,
// MWRITE) and LOSALL hold no setting and are kept as 0.
#pragma once

#include <cstdint>

#include "vanlpt/board_state.h"

// False when a transaction failed (the statistics say how many); *state is then incomplete.
bool Read_Board_Snapshot(vanlpt::BoardState* state);
// Registers and memory; the crosspoint is the caller's (a full initialization). False when a
// transaction failed.
bool Write_Board_Snapshot(const vanlpt::BoardState& state);

// One channel's display memory into its part of state->memory; the registers the read-back
// moves are read first and put back afterwards. False when a transaction failed.
bool Read_Channel_Snapshot(int channel, vanlpt::BoardState* state);

// One channel's display memory from its part of state.memory; the registers the upload
// moves are read first and put back afterwards. False when a transaction failed.
bool Write_Channel_Snapshot(int channel, const vanlpt::BoardState& state);

// Bus cycles the last read or write took, for the benchmark and for the user's estimate.
std::uint64_t Board_Snapshot_Cycles();
