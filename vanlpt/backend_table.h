// The kinds of port target, one row each: how a target is written, how it is read and what
// backend it makes. The mapping (VANLPT_PORTS, Vanlpt_Map_Port) reads targets through it and
// the library builds each port's backend from it, so a new kind of port is one row here and
// one Backend.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "vanlpt/backend.h"
#include "vanlpt/device_calls.h"
#include "vanlpt/port_mapping.h"

namespace vanlpt {

// What a backend may need from the library when it is built or opened.
struct BackendEnv {
    std::function<DeviceCalls&()> calls;  // the device calls in use when the port is opened
    std::function<IoAccess*()> io;
    unsigned lock_wait_ms = 0;  // for targets without a wait of their own
};

struct BackendKind {
    TargetKind kind;
    std::string_view prefix;  // the target starts with it ...
    bool whole;               // ... or is exactly it
    // Reads what follows the prefix into *target (kind already set); false when malformed.
    bool (*parse)(std::string_view rest, PortTarget* target);
    std::unique_ptr<Backend> (*make)(const PortTarget& target, const BackendEnv& env);
};

std::span<const BackendKind> Backend_Kinds();

// The backend of a target; NullBackend for none.
std::unique_ptr<Backend> Make_Backend(const PortTarget& target, const BackendEnv& env);

}  // namespace vanlpt
