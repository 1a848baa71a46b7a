// Messages for the person at the machine that no single call can return (a bad environment
// variable, a port that fell back to the simulated board, a port that failed mid-run). Each
// distinct text goes to stderr once per run, and is kept until the program takes it to show
// it in its own window.
#pragma once

#include <string>
#include <vector>

namespace vanlpt {

void Report_Once(const std::string& message);
// The reports not taken yet, oldest first; taking them empties the list.
std::vector<std::string> Take_Reports();
// Forgets every report, so that the same text is reported again (tests).
void Forget_Reports();

}  // namespace vanlpt
