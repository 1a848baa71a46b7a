// Puts the C library into a comma-decimal user locale for one test, as the toolkit does at
// start-up for a German user, and back afterwards.
#pragma once

#include <clocale>
#include <string>

class GermanUserLocale {
public:
    GermanUserLocale() : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~GermanUserLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    GermanUserLocale(const GermanUserLocale&) = delete;
    GermanUserLocale& operator=(const GermanUserLocale&) = delete;

    // False when the machine lacks de_DE.UTF-8 (scripts/install-deps.sh makes it).
    bool Active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};
