// Which backend stands behind LPT1..LPT3. By default LPTn is the real port
// /dev/parport(n-1) when that device exists, and otherwise LPT1 is the simulated board and
// LPT2, LPT3 are absent. The environment variable VANLPT_PORTS overrides single ports:
//   VANLPT_PORTS="1=sim,2=/dev/parport0,3=none"
// Targets: sim, sim:FILE (the simulated board kept in a state file between runs; a suffix
// ?wait=SECONDS waits that long for another process to let go of it), unplugged (simulated port, no
// board on the cable), none, a device path starting with '/', io:ADDRESS (direct I/O, e.g.
// io:0x378), unix:PATH, tcp:HOST:PORT, server, server:NAME (a board served by osdex serve).
// See docs/port-backends.md.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "vanlpt/device_calls.h"

namespace vanlpt {

inline constexpr char kPortsVariable[] = "VANLPT_PORTS";
inline constexpr int kPortCount = 3;
// The longest wait for a board kept in a file that another process uses: an hour.
inline constexpr unsigned kMaxLockWaitMs = 3600 * 1000;

enum class TargetKind { None, Simulated, Unplugged, Ppdev, DirectIo, Remote };

struct PortTarget {
    TargetKind kind = TargetKind::None;
    // Ppdev: the device; Simulated: the state file, if any; Remote: where the server is
    std::string device;
    int lock_wait_ms = -1;  // Simulated with a state file: its ?wait=; -1 when not given
    unsigned base = 0;      // DirectIo
    // The real port is only the default choice: when it cannot be used, the simulated
    // board takes its place.
    bool simulated_fallback = false;

    bool operator==(const PortTarget&) const = default;
};

using PortMapping = std::array<PortTarget, kPortCount>;  // index n - 1 for LPTn

PortMapping Default_Port_Mapping(DeviceCalls& calls);

// Applies the entries of `text` over *mapping. All or nothing: on bad syntax *mapping is
// unchanged and *error names the bad entry and the expected form.
bool Apply_Mapping_Text(std::string_view text, PortMapping* mapping, std::string* error);

// "simulated board", "/dev/parport0", "direct I/O at 0x378", ...
std::string Describe_Target(const PortTarget& target);

}  // namespace vanlpt
