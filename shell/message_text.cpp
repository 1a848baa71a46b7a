#include "shell/message_text.h"

#include <cstdio>

namespace {

bool Is_Control(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

void Append_Escaped(std::string& out, char c) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
    out += escaped;
}

// Whether the byte at i is part of a line break: a line feed, or a carriage return before one.
bool Is_Line_Break(std::string_view text, std::size_t i) {
    return text[i] == '\n' || (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n');
}

std::string Printable(std::string_view text, bool keep_lines) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!Is_Control(text[i]) || (keep_lines && Is_Line_Break(text, i)))
            out += text[i];
        else
            Append_Escaped(out, text[i]);
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
    return Printable(word.substr(0, Cut_Point(word, Max_Quoted_Chars)), false) + "... (" +
           std::to_string(word.size()) + " bytes)";
}

}  // namespace

std::string Printable_Text(std::string_view text) {
    return Printable(text, false);
}

std::string Printable_Lines(std::string_view text) {
    return Printable(text, true);
}

std::string Printable_Message(std::string_view text, std::size_t max_word) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(" \n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view word = text.substr(start, end - start);
        out += word.size() > max_word ? Shortened(word) : Printable_Lines(word);
        if (end < text.size()) out += text[end];
        start = end + 1;
    }
    return out;
}

std::string Quoted_Token(std::string_view token, std::size_t max_chars) {
    if (token.size() <= max_chars) return '"' + Printable_Text(token) + '"';
    return '"' + Printable_Text(token.substr(0, Cut_Point(token, max_chars))) + "...\" (" +
           std::to_string(token.size()) + " bytes)";
}
