// The bookkeeping of the register diagnostics: the statistics text of the register
// transactions, the repeated write and read with their error record, clearing the counts for
// a repeat that halts on its first error, and the busy time-out as the user types it. The
// main window's diagnostics panel runs these; only the controls stay with it.
#pragma once

#include <cstdint>
#include <string>

// The transaction counts, failure rates, the last verify error and the busy time-outs, one
// per line, as the statistics memo shows them.
std::string Register_Statistics_Text();

// One repeated write of data to address. True when this write brought the first write-verify
// error (the counter was 0 before), which is when a repeat halts on verify errors.
bool Repeated_Write_Raised_First_Error(std::uint8_t address, std::uint8_t data);
// One repeated read of address against the expected value; a mismatch counts a read-verify
// error and becomes the recorded verify error.
void Repeated_Read(std::uint8_t address, std::uint8_t expected);

// Writes, reads and both verify error counts back to 0, so that the first error of a repeat
// is the one that halts it.
void Clear_Transaction_Counts();

// The busy time-out the user typed: the leading decimal number (blanks, a sign, the digits up
// to the first non-digit; none give 0), held to the int range, taken as the library's 32-bit
// poll count (a negative entry wraps there and never becomes a wait that does not end).
std::uint32_t Busy_Timeout_From_Text(const std::string& text);
