#include "vanlpt/report.h"

#include <cstdio>
#include <set>

namespace vanlpt {

namespace {

struct Reports {
    std::set<std::string> told;
    std::vector<std::string> untaken;
};

Reports& All_Reports() {
    static Reports reports;
    return reports;
}

}  // namespace

void Report_Once(const std::string& message) {
    Reports& r = All_Reports();
    if (!r.told.insert(message).second) return;
    r.untaken.push_back(message);
    std::fprintf(stderr, "vanlpt: %s\n", message.c_str());
}

std::vector<std::string> Take_Reports() {
    std::vector<std::string> taken;
    taken.swap(All_Reports().untaken);
    return taken;
}

void Forget_Reports() {
    All_Reports() = Reports{};
}

}  // namespace vanlpt
