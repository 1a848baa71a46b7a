#include "shell/message_text.h"

#include <cstdio>

std::string Printable_Text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        out += escaped;
    }
    return out;
}

std::string Quoted_Token(std::string_view token, std::size_t max_chars) {
    if (token.size() <= max_chars) return '"' + Printable_Text(token) + '"';
    // Cut on a character boundary, so that the quote never ends in half a UTF-8 sequence.
    std::size_t cut = max_chars;
    while (cut > 0 && (static_cast<unsigned char>(token[cut]) & 0xC0) == 0x80) --cut;
    return '"' + Printable_Text(token.substr(0, cut)) + "...\" (" + std::to_string(token.size()) +
           " bytes)";
}
