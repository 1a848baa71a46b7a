#include "vanlpt/report.h"

#include <cstdio>
#include <set>

namespace vanlpt {

void Report_Once(const std::string& message) {
    static std::set<std::string> reported;
    if (!reported.insert(message).second) return;
    std::fprintf(stderr, "vanlpt: %s\n", message.c_str());
}

}  // namespace vanlpt
