// Messages for the person at the machine that no caller can receive (a bad environment
// variable, a port that fell back to the simulated board). Each distinct text goes to
// stderr once per run.
#pragma once

#include <string>

namespace vanlpt {

void Report_Once(const std::string& message);

}  // namespace vanlpt
