// C-locale number formatting and parsing on top of the POSIX per-thread locale.
#include "shell/c_numbers.h"

#include <stdlib.h>

namespace {

locale_t C_Locale() {
    // Made once and kept for the whole run; "C" always exists.
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c_locale;
}

}  // namespace

CNumbersScope::CNumbersScope() : previous_(uselocale(C_Locale())) {}

CNumbersScope::~CNumbersScope() {
    uselocale(previous_);
}

double C_Leading_Double(const char* text, char** end) {
    return strtod_l(text, end, C_Locale());
}
