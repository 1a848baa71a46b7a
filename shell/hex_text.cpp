// Text helpers of module Misc.
#include "shell/hex_text.h"

#include <cstring>
#include <optional>

namespace {

constexpr const char* List_Delimiters = "{[( .,;-/|)]}";

std::string hex_prefix;

bool Is_Delimiter(char c) {
    return c != '\0' && std::strchr(List_Delimiters, c) != nullptr;
}

// Cuts the next token out of the text in place, like strtok but with the position kept by
// the caller, so that parses never share hidden state. Returns nullptr when none is left.
char* Next_Token(char*& cursor) {
    while (Is_Delimiter(*cursor)) ++cursor;
    if (*cursor == '\0') return nullptr;
    char* token = cursor;
    while (*cursor != '\0' && !Is_Delimiter(*cursor)) ++cursor;
    if (*cursor != '\0') *cursor++ = '\0';
    return token;
}

int Hex_Value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The leading hexadecimal number of the text, or nothing when it does not start with one.
// Only the low 16 bits matter to the callers, so longer numbers simply wrap.
std::optional<std::uint32_t> Leading_Hex(const char* text) {
    if (Hex_Value(*text) < 0) return std::nullopt;
    std::uint32_t value = 0;
    for (; Hex_Value(*text) >= 0; ++text) value = (value << 4) | Hex_Value(*text);
    return value;
}

// The characters after the opening quote up to the closing one or the token's end.
std::size_t Quoted_Length(const char* token, char quote) {
    const char* end = std::strchr(token + 1, quote);
    return end ? static_cast<std::size_t>(end - token - 1) : std::strlen(token + 1);
}

// A quoted token replaces everything parsed before it. With a length byte (single quote)
// the array holds that byte and then the characters; both forms are cut to the capacity.
void Store_Quoted(const char* token, bool length_byte, std::uint8_t* counter, std::uint8_t* bytes,
                  std::uint8_t capacity) {
    const std::size_t room = length_byte ? capacity - 1u : capacity;
    std::size_t n = Quoted_Length(token, token[0]);
    if (n > room) n = room;
    std::uint8_t* dest = length_byte ? bytes + 1 : bytes;
    std::memcpy(dest, token + 1, n);
    if (length_byte) bytes[0] = static_cast<std::uint8_t>(n);
    *counter = static_cast<std::uint8_t>(length_byte ? n + 1 : n);
}

// A "$" or "0x" number: more than two characters make a 16-bit value stored low byte
// first; in the last free slot only the low byte fits and is kept.
void Store_Prefixed(const char* digits, std::uint8_t* counter, std::uint8_t* bytes,
                    std::uint8_t capacity) {
    const std::optional<std::uint32_t> value = Leading_Hex(digits);
    const bool wide = std::strlen(digits) > 2;
    const bool room_for_two = *counter + 1u < capacity;
    if (value) {
        bytes[*counter] = static_cast<std::uint8_t>(*value);
        if (wide && room_for_two) bytes[*counter + 1] = static_cast<std::uint8_t>(*value >> 8);
    }
    *counter += (wide && room_for_two) ? 2 : 1;
}

void Store_Plain(const char* token, std::uint8_t* counter, std::uint8_t* bytes) {
    if (const std::optional<std::uint32_t> value = Leading_Hex(token)) {
        bytes[*counter] = static_cast<std::uint8_t>(*value);
    }
    *counter += 1;
}

}  // namespace

const std::string& Hex_Prefix() {
    return hex_prefix;
}

void Build_Hex_Prefix() {
    hex_prefix = Hex_Prefix_Literal;
}

void Release_Hex_Prefix() {
    hex_prefix.clear();
    hex_prefix.shrink_to_fit();
}

char HexDigit(int n) {
    if (n < 0 || n > 15) {
        throw HexTextError("hex digit out of range in HexDigit: " + std::to_string(n));
    }
    return "0123456789ABCDEF"[n];
}

std::string ByteToHexText(std::uint8_t b) {
    std::string text = Hex_Prefix_Literal;
    text += HexDigit(b >> 4);
    text += HexDigit(b & 0x0F);
    return text;
}

std::string ArrayToHexText(unsigned count, const std::uint8_t* bytes) {
    if (count > 0 && !bytes) throw HexTextError("null array pointer in ArrayToHexText");
    std::string text = "{";
    text += std::to_string(count);
    text += " bytes:";
    for (unsigned i = 0; i < count; ++i) {
        if (i > 0) text += ',';
        text += ByteToHexText(bytes[i]);
    }
    return text + "}";
}

void ArraytoHexList(char* text, std::uint8_t* counter, std::uint8_t* bytes, std::uint8_t capacity) {
    if (!text) throw HexTextError("null buffer pointer in ArraytoHexList");
    if (!counter) throw HexTextError("null counter pointer in ArraytoHexList");
    if (!bytes) throw HexTextError("null array pointer in ArraytoHexList");
    if (capacity == 0) throw HexTextError("zero array size in ArraytoHexList");

    char* cursor = text;
    char* token = Next_Token(cursor);
    *counter = 0;
    while (*counter < capacity && token != nullptr) {
        if (token[0] == '"' || token[0] == '\'') {
            if (Quoted_Length(token, token[0]) == 0) {
                *counter = 0;
            } else {
                Store_Quoted(token, token[0] == '\'', counter, bytes, capacity);
                return;
            }
        } else if (token[0] == '$') {
            Store_Prefixed(token + 1, counter, bytes, capacity);
        } else if (token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
            Store_Prefixed(token + 2, counter, bytes, capacity);
        } else {
            Store_Plain(token, counter, bytes);
        }
        token = Next_Token(cursor);
    }
}
