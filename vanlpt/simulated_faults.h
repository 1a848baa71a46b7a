// The library's calls onto a simulated board's faults (VANLPT_FAULT_... numbers and their
// values): arguments checked, failures as messages.
#pragma once

#include <string>

#include "board/simulated_board.h"

namespace vanlpt {

// Each returns "" on success, else why nothing was done.
std::string Set_Simulated_Fault(board::SimulatedBoard& model, int fault, unsigned value);
std::string Get_Simulated_Fault(const board::SimulatedBoard& model, int fault, unsigned* value);

}  // namespace vanlpt
