// The numbers in the system's own texts (SPI rates, failure percentages, memo formats) are
// written and read with a decimal point, whatever the user's locale: the toolkit switches the
// C library to the user's locale at start-up, and a comma-decimal locale would otherwise
// read "0.5" as 0 and write 12,50. Dates and times keep the user's locale.
#pragma once

#include <locale.h>

// Formats and parses in the C locale on this thread while it lives.
class CNumbersScope {
public:
    CNumbersScope();
    ~CNumbersScope();
    CNumbersScope(const CNumbersScope&) = delete;
    CNumbersScope& operator=(const CNumbersScope&) = delete;

private:
    locale_t previous_;
};

// strtod in the C locale: the leading number of text, *end just past it (text when none).
double C_Leading_Double(const char* text, char** end);
