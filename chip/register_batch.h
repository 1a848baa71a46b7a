// The register batch file as a script: the lines "wrreg A D" and "rdreg A" that
// Write_Register and Read_Register record, read back so that a session can be replayed.
// Also as people write them by hand: lines end in LF or CR LF; a UTF-8 byte order mark may
// start the file; blank lines, blanks around the words and comments from a "#" to the end of
// the line are allowed; the commands may be in capitals (WRREG, RDREG); numbers are decimal
// or 0x hexadecimal, each a byte. The program itself writes only the plain form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct BatchStep {
    enum class Kind : std::uint8_t { Write, Read };
    Kind kind;
    std::uint8_t address;
    std::uint8_t data;  // Write only
    int line;           // 1-based line of the file, for messages
};

struct BatchParseError {
    int line = 0;         // 1-based
    std::string problem;  // what is wrong with that line
    // The bad line is the last and has no line end: most likely a write that was cut off
    // (a full disk, a killed program), not a line someone wrote.
    bool torn_end = false;
};

// Parses the whole text. On the first malformed line, returns false with *error naming the
// line and the problem, and *steps holds nothing: a script either runs whole or not at all.
bool Parse_Register_Batch(std::string_view text, std::vector<BatchStep>* steps,
                          BatchParseError* error);

// The text without its last line when that line has no line end.
std::string_view Without_Torn_End(std::string_view text);

// Parses one number of a command line or a batch line: decimal or 0x hexadecimal, no sign,
// at most `max`. False for anything else.
bool Parse_Byte_Number(std::string_view text, unsigned max, unsigned* value);
