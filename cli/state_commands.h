// `osdex state save FILE` and `osdex state restore FILE`: the whole board through the
// register bus, in the board state format of the port library (docs/simulated-board.md).
#pragma once

#include <string>

// Reads every register, the display memory of all eight channels and the crosspoint routing
// (when the library knows it) and writes them to path atomically.
int Run_State_Save(const std::string& path, bool quiet);
// Refuses a damaged, truncated or wrong-version file before anything is sent; then writes
// memory and registers back and sends a full crosspoint initialization of the saved routing.
int Run_State_Restore(const std::string& path, bool quiet);
