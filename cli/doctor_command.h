// `osdex doctor`: why a port will not open, and whether the board answers. Lists what the
// mapping makes of LPT1..LPT3, checks every /dev/parportN and every port the mapping names,
// the user's groups and direct I/O, then selects LPT1 and checks the board's loopback and a
// register round trip. Each problem comes with the command that mends it. Exit 0 only when
// the board answers and no real port on the machine or in the mapping is unusable; the last
// line then says which is wrong.
#pragma once

#include <string>

// port_option: the --port target, empty when none was given.
int Run_Doctor(const std::string& port_option);
