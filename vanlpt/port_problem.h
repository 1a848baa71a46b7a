// What keeps a real port from working, told as the problem and the command or step that
// mends it. The library's messages join the two; `osdex doctor` prints them on two lines.
#pragma once

#include <string>

namespace vanlpt {

struct Port_Problem {
    std::string what;
    std::string fix;

    std::string Text() const { return fix.empty() ? what : what + ": " + fix; }
};

}  // namespace vanlpt
