// Puts the C library into a comma-decimal user locale for one test, as the toolkit does at
// start-up for a German user, and back afterwards.
#pragma once

#include <clocale>
#include <string>

class German_User_Locale {
public:
    German_User_Locale() : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~German_User_Locale() { std::setlocale(LC_ALL, previous_.c_str()); }
    German_User_Locale(const German_User_Locale&) = delete;
    German_User_Locale& operator=(const German_User_Locale&) = delete;

    // False when the machine lacks de_DE.UTF-8 (scripts/install-deps.sh makes it).
    bool Active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};
