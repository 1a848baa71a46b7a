// For tests and tools only: reach behind the port library's interface. Lets a test run the
// program's code against a fresh simulated board, look at that board, remap the ports, or
// put a recording port or recording device calls in place of the real ones.
#pragma once

#include <string>

#include "vanlpt/device_calls.h"
#include "vanlpt/raw_port.h"

namespace board {
class SimulatedBoard;
class SimulatedPort;
}  // namespace board

namespace vanlpt::testing {

// The library as at load, but with `mapping` (VANLPT_PORTS syntax) applied over a mapping
// with every port absent, so neither the environment nor /dev counts. Every simulated port
// gets a fresh, powered-up board; no port is selected; pin roles unassigned; time-out
// 10000; data-enable mask 0x20; the system's device calls. False with *error on bad syntax
// (all ports then absent).
bool Reset_Library(const std::string& mapping = "1=sim", std::string* error = nullptr);

// Applies entries over the current mapping and deselects the port. Boards of ports that
// stay simulated are kept.
bool Apply_Port_Mapping(const std::string& mapping, std::string* error = nullptr);

// Builds the mapping as at the start of a run: the default from the devices present (asked
// through the device calls in use) with the entries of VANLPT_PORTS over it. Deselects.
void Reload_Mapping_From_Environment();

// The board and port behind LPTn when it is simulated (board nullptr when unplugged).
board::SimulatedBoard* Simulated_Board(int n);
board::SimulatedPort* Simulated_Port(int n);

// The requests the client of a served board behind LPTn has sent so far (0 when LPTn is no
// served board): what a bulk transfer costs, counted instead of timed.
unsigned long Server_Requests(int n);

// Puts `port` behind LPTn in place of the mapping until the next reset; nullptr removes it.
// The caller keeps ownership. Deselects the port.
void Install_Raw_Port(int n, RawPort* port);

// Device calls for ppdev and direct I/O ports opened from now on; nullptr restores the
// system's. The caller keeps ownership.
void Use_Device_Calls(DeviceCalls* calls, IoAccess* io);

}  // namespace vanlpt::testing
