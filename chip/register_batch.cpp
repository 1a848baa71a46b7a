#include "chip/register_batch.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "shell/message_text.h"

namespace {

bool Is_Blank(char c) {
    return c == ' ' || c == '\t';
}

// Splits the next blank-separated word off the front of *rest.
std::string_view Next_Word(std::string_view* rest) {
    std::size_t i = 0;
    while (i < rest->size() && Is_Blank((*rest)[i])) ++i;
    std::size_t j = i;
    while (j < rest->size() && !Is_Blank((*rest)[j])) ++j;
    const std::string_view word = rest->substr(i, j - i);
    rest->remove_prefix(j);
    return word;
}

constexpr std::string_view Byte_Order_Mark = "\xEF\xBB\xBF";

// The line up to its comment, if it has one.
std::string_view Without_Comment(std::string_view line) {
    return line.substr(0, line.find('#'));
}

bool Is_Command(std::string_view word, std::string_view command) {
    return std::equal(word.begin(), word.end(), command.begin(), command.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

// One line without its line end; empty problem when it is fine or blank.
std::string Parse_Line(std::string_view line, int number, std::vector<BatchStep>* steps) {
    std::string_view rest = Without_Comment(line);
    const std::string_view command = Next_Word(&rest);
    if (command.empty()) return {};
    const bool write = Is_Command(command, "wrreg");
    if (!write && !Is_Command(command, "rdreg"))
        return "unknown command " + Quoted_Token(command) + " (expected wrreg or rdreg)";
    unsigned address = 0, data = 0;
    const std::string_view address_word = Next_Word(&rest);
    if (address_word.empty())
        return std::string(write ? "wrreg" : "rdreg") + " needs a register address";
    if (!Parse_Byte_Number(address_word, 255, &address))
        return "bad register address " + Quoted_Token(address_word) + " (0..255)";
    if (write) {
        const std::string_view data_word = Next_Word(&rest);
        if (data_word.empty()) return "wrreg needs a value after the address";
        if (!Parse_Byte_Number(data_word, 255, &data))
            return "bad register value " + Quoted_Token(data_word) + " (0..255)";
    }
    const std::string_view extra = Next_Word(&rest);
    if (!extra.empty()) return "unexpected " + Quoted_Token(extra) + " at the end of the line";
    steps->push_back({write ? BatchStep::Kind::Write : BatchStep::Kind::Read,
                      static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(data), number});
    return {};
}

}  // namespace

bool Parse_Byte_Number(std::string_view text, unsigned max, unsigned* value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    unsigned result = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), end, result, base);
    if (ec != std::errc() || ptr != end || result > max) return false;
    *value = result;
    return true;
}

bool Parse_Register_Batch(std::string_view text, std::vector<BatchStep>* steps,
                          BatchParseError* error) {
    steps->clear();
    if (text.substr(0, Byte_Order_Mark.size()) == Byte_Order_Mark)
        text.remove_prefix(Byte_Order_Mark.size());
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        const bool last_without_end = end == std::string_view::npos;
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string problem = Parse_Line(line, number, steps);
        if (line.find('\0') != std::string_view::npos) problem = "a NUL byte in the line";
        if (!problem.empty()) {
            steps->clear();
            *error = {number, std::move(problem), last_without_end};
            return false;
        }
    }
    return true;
}

std::string_view Without_Torn_End(std::string_view text) {
    const std::size_t last_end = text.rfind('\n');
    return text.substr(0, last_end == std::string_view::npos ? 0 : last_end + 1);
}
