// What keeps a real parallel port from working, found the way an engineer at the bench would
// look: each /dev/parportN and each port the mapping names (there? can it be opened and
// claimed alone? who holds it? can it float its data lines?), the user's groups, and whether
// direct I/O works (ioperm is tried). Every problem comes with the command that mends it.
#pragma once

#include <string>
#include <vector>

#include "vanlpt/device_calls.h"
#include "vanlpt/direct_io_port.h"

namespace vanlpt {

// The facts about this process the checks need besides the device calls.
struct System_Facts {
    std::vector<std::string> groups;  // the user's groups by name
    bool root = false;                // opens any device node whatever its group
    Io_Conditions io;
};
System_Facts Read_System_Facts();

// What the checks cover besides /dev/parport0..3 and direct I/O at 0x378.
struct Doctor_Scope {
    // False when LPT1 was chosen to be simulated: a machine without a port is then no problem.
    bool real_port_wanted = true;
    std::vector<std::string> devices;  // ppdev devices the mapping names
    std::vector<unsigned> io_bases;    // direct I/O addresses the mapping names
};

struct Doctor_Report {
    std::vector<std::string> lines;  // what was found, one line each
    int problems = 0;                // lines that say "problem:"
    int unusable = 0;                // ports present or mapped that cannot be used
};

// `io`: port I/O of this machine, nullptr where it has none.
Doctor_Report Diagnose_Real_Ports(DeviceCalls& calls, IoAccess* io, const System_Facts& facts,
                                  const Doctor_Scope& scope);

}  // namespace vanlpt
