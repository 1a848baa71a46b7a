// Text from outside the program (a file's bytes, a file name, an argument) made fit for a
// message: bounded in length, and with no byte that a terminal or a message box would act on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// At most this many characters of a token are quoted in a message.
inline constexpr std::size_t Max_Quoted_Chars = 40;

// The text with control bytes (and DEL) as \xNN; everything else, UTF-8 included, as it is.
std::string Printable_Text(std::string_view text);

// As Printable_Text, but the text keeps its line breaks: a box shows several lines. Line feeds
// stay, and so does a carriage return right before one (CR LF); every other control byte is
// \xNN.
std::string Printable_Lines(std::string_view text);

// A whole message made fit to show: Printable_Lines, and every word (a stretch without
// blanks or line feeds) longer than max_word bytes cut to Max_Quoted_Chars with "..." and
// its length, so that no input, however large, makes a message large.
inline constexpr std::size_t Max_Message_Word = 256;
std::string Printable_Message(std::string_view text, std::size_t max_word = Max_Message_Word);

// The token in double quotes, printable, cut after max_chars bytes with "..." and the whole
// length in bytes after the closing quote: "abc..." (1048576 bytes).
std::string Quoted_Token(std::string_view token, std::size_t max_chars = Max_Quoted_Chars);
