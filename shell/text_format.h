// printf-style formatting into a std::string, for the system's message and log texts whose
// format strings are fixed ("%2.2X", "%d", ...). Hot paths that format into a small stack
// buffer may keep doing so; this is for everything else. Numbers come out in the C locale.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

#include "shell/c_numbers.h"

[[gnu::format(printf, 1, 2)]] inline std::string Format_Text(const char* format, ...) {
    const CNumbersScope numbers;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (size > 0) {
        text.resize(static_cast<std::size_t>(size));
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}

// A number 0..99 as two decimal digits ("07"), as object names and list entries number
// their items.
inline std::string Two_Digits(int n) {
    return Format_Text("%02d", n);
}
