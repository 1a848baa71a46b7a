#include "vanlpt/report.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <set>

namespace vanlpt {

namespace {

constexpr std::size_t kMaxProgramName = 40;

struct Reports {
    std::set<std::string> told;
    std::vector<std::string> untaken;
    std::string program;  // as the program set it; "" for the library's own name
};

// Never destroyed: the boards kept in files are written back by an exit handler, which may
// run after the static objects of this file would have gone, and reports what fails.
Reports& All_Reports() {
    static Reports* reports = new Reports;
    return *reports;
}

}  // namespace

void Report_Once(const std::string& message) {
    Reports& r = All_Reports();
    if (!r.told.insert(message).second) return;
    r.untaken.push_back(message);
    std::fprintf(stderr, "%s: %s\n", r.program.empty() ? "vanlpt" : r.program.c_str(),
                 message.c_str());
}

std::vector<std::string> Take_Reports() {
    std::vector<std::string> taken;
    taken.swap(All_Reports().untaken);
    return taken;
}

void Forget_Reports() {
    Reports& r = All_Reports();
    r.told.clear();
    r.untaken.clear();
}

void Set_Report_Program_Name(std::string_view name) {
    All_Reports().program = Printable(name.substr(0, kMaxProgramName));
}

const std::string& Report_Program_Name() {
    return All_Reports().program;
}

std::string Printable(std::string_view text) {
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

std::string Quoted(std::string_view text, std::size_t max_chars) {
    if (text.size() <= max_chars) return '"' + Printable(text) + '"';
    // Cut on a character boundary, so that the quote never ends in half a UTF-8 sequence.
    std::size_t cut = max_chars;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return '"' + Printable(text.substr(0, cut)) + "...\" (" + std::to_string(text.size()) +
           " bytes)";
}

std::string This_Program_Name() {
    if (!Report_Program_Name().empty()) return Report_Program_Name();
    char name[64] = {};
    const int fd = open("/proc/self/comm", O_RDONLY | O_CLOEXEC);
    const ssize_t n = fd < 0 ? -1 : read(fd, name, sizeof name - 1);
    if (fd >= 0) close(fd);
    std::string text(name, n > 0 ? static_cast<std::size_t>(n) : 0);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::string This_User_Name() {
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[1024];
    if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr)
        return found->pw_name;
    return "";
}

}  // namespace vanlpt
