#include "shell/message_text.h"

#include <cstdio>

namespace {

std::string Escaped(std::string_view text, bool keep_line_feeds) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 0x20 && byte != 0x7F) || (keep_line_feeds && c == '\n')) {
            out += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        out += escaped;
    }
    return out;
}

// Where a cut of text at max bytes ends: before a UTF-8 sequence it would split.
std::size_t Cut_Point(std::string_view text, std::size_t max) {
    std::size_t cut = max;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
}

std::string Shortened(std::string_view word) {
    return Printable_Text(word.substr(0, Cut_Point(word, Max_Quoted_Chars))) + "... (" +
           std::to_string(word.size()) + " bytes)";
}

}  // namespace

std::string Printable_Text(std::string_view text) {
    return Escaped(text, false);
}

std::string Printable_Lines(std::string_view text) {
    return Escaped(text, true);
}

std::string Printable_Message(std::string_view text, std::size_t max_word) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(" \n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view word = text.substr(start, end - start);
        out += word.size() > max_word ? Shortened(word) : Printable_Text(word);
        if (end < text.size()) out += text[end];
        start = end + 1;
    }
    return out;
}

std::string Quoted_Token(std::string_view token, std::size_t max_chars) {
    if (token.size() <= max_chars) return '"' + Printable_Text(token) + '"';
    const std::size_t cut = Cut_Point(token, max_chars);
    return '"' + Printable_Text(token.substr(0, cut)) + "...\" (" + std::to_string(token.size()) +
           " bytes)";
}
