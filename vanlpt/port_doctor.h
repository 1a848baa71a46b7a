// What keeps a real parallel port from working, found the way an engineer at the bench would
// look: each /dev/parportN (there? can it be opened and claimed? who holds it? can it float
// its data lines?), the user's groups, and whether direct I/O is possible. Every problem
// comes with the command that mends it.
#pragma once

#include <string>
#include <vector>

#include "vanlpt/device_calls.h"
#include "vanlpt/direct_io_port.h"

namespace vanlpt {

// The facts about this process the checks need besides the device calls.
struct System_Facts {
    std::vector<std::string> groups;  // the user's groups by name
    bool io_instructions = false;     // the machine has port I/O instructions
    Io_Conditions io;
};
System_Facts Read_System_Facts();

struct Doctor_Report {
    std::vector<std::string> lines;  // what was found, one line each
    int problems = 0;                // lines that say "problem:"
};

Doctor_Report Diagnose_Real_Ports(DeviceCalls& calls, const System_Facts& facts);

}  // namespace vanlpt
