// Messages for the person at the machine that no single call can return (a bad environment
// variable, a port that fell back to the simulated board, a port that failed mid-run, a board
// file that could not be written at the process's end). Each distinct text goes to stderr
// once per run, after the program's name, and is kept until the program takes it to show it
// in its own window. Safe to use from exit handlers: nothing here is ever destroyed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vanlpt {

void Report_Once(const std::string& message);
// The reports not taken yet, oldest first; taking them empties the list.
std::vector<std::string> Take_Reports();
// Forgets every report, so that the same text is reported again (tests).
void Forget_Reports();

// The name before each report on stderr; "vanlpt" while it is empty.
void Set_Report_Program_Name(std::string_view name);
// The name the program set; "" when it set none.
const std::string& Report_Program_Name();

// Who this process is, for the lock file and a board server: the program's name (as set,
// else the process's own) and the user's name; "" when the system does not say.
std::string This_Program_Name();
std::string This_User_Name();

// Text from outside the library (a file name, the environment, a lock file) made fit for a
// message: control bytes and DEL as \xNN, everything else as it is.
std::string Printable(std::string_view text);

inline constexpr std::size_t kMaxQuotedChars = 40;

// The text in double quotes, printable, cut after max_chars bytes with "..." and its whole
// length after the closing quote: "1=sim:aaaa..." (5000 bytes).
std::string Quoted(std::string_view text, std::size_t max_chars = kMaxQuotedChars);

}  // namespace vanlpt
