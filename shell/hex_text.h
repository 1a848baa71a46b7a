// Conversions between byte arrays and the hexadecimal lists a user types and reads
// (module Misc): "0x12,0x34,0x56" in, "{3 bytes:0x12,0x34,0x56}" out.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// A failure of the text helpers; what() is the message for the user.
class HexTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The hexadecimal prefix every byte text starts with.
inline constexpr const char* Hex_Prefix_Literal = "0x";

// The process-wide prefix text: built by the Misc start step, released by its end step
// (empty outside that span).
const std::string& Hex_Prefix();
void Build_Hex_Prefix();
void Release_Hex_Prefix();

// '0'..'9', 'A'..'F' for 0..15; HexTextError for anything else.
char HexDigit(int n);

// "0x" and two upper-case digits, e.g. "0x0A".
std::string ByteToHexText(std::uint8_t b);

// "{<count> bytes:0x12,0x34}" over the first count bytes; "{0 bytes:}" for none.
std::string ArrayToHexText(unsigned count, const std::uint8_t* bytes);

// Parses a typed list into bytes[0 .. capacity-1] and sets *counter to the number of bytes
// stored. Tokens are separated by any of "{[( .,;-/|)]}"; a token is "$hex", "0xhex", plain
// hex, "\"text" (the characters) or "'text" (a length byte, then the characters). A token
// without a leading hex number leaves its byte unchanged but still takes a slot. Nothing is
// ever written at or past bytes[capacity]. The text is cut into tokens in place.
// Raises HexTextError for a missing text, counter or array, or a zero capacity.
void ArraytoHexList(char* text, std::uint8_t* counter, std::uint8_t* bytes, std::uint8_t capacity);
