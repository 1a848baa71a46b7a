#include "vanlpt/backend_table.h"

#include <charconv>
#include <cstdio>

#include "vanlpt/direct_io_port.h"
#include "vanlpt/null_backend.h"
#include "vanlpt/ppdev_port.h"
#include "vanlpt/raw_port.h"
#include "vanlpt/real_port_backend.h"
#include "vanlpt/remote_backend.h"
#include "vanlpt/simulated_backend.h"
#include "vanlpt/socket_stream.h"

namespace vanlpt {

namespace {

// The extended control register at base+0x402 must still be an I/O address.
constexpr unsigned kHighestBase = 0xFFFF - kEcrOffset;

bool Parse_Address(std::string_view text, unsigned* value) {
    int radix = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        radix = 16;
    }
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, *value, radix);
    return ec == std::errc() && ptr == end && *value > 0 && *value <= kHighestBase;
}

// SECONDS of ?wait=: decimal, with a fraction if wanted, to the millisecond (more digits
// than that are cut off), at most an hour.
bool Parse_Wait(std::string_view text, int* ms) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return false;
    if (whole.size() > 7 || (point != std::string_view::npos && fraction.empty())) return false;
    unsigned seconds = 0, thousandths = 0;
    for (const char c : whole) {
        if (c < '0' || c > '9') return false;
        seconds = seconds * 10 + static_cast<unsigned>(c - '0');
    }
    for (std::size_t i = 0; i < fraction.size(); ++i) {
        const char c = fraction[i];
        if (c < '0' || c > '9') return false;
        if (i < 3) thousandths = thousandths * 10 + static_cast<unsigned>(c - '0');
    }
    for (std::size_t i = fraction.size(); i < 3; ++i) thousandths *= 10;
    if (seconds > kMaxLockWaitMs / 1000 || seconds * 1000 + thousandths > kMaxLockWaitMs)
        return false;
    *ms = static_cast<int>(seconds * 1000 + thousandths);
    return true;
}

bool Parse_Nothing(std::string_view, PortTarget*) {
    return true;
}

// sim:FILE, with an optional ?wait=SECONDS after the file's name.
bool Parse_State_File(std::string_view file, PortTarget* target) {
    constexpr std::string_view kWait = "?wait=";
    const std::size_t wait = file.rfind(kWait);
    if (wait != std::string_view::npos) {
        if (!Parse_Wait(file.substr(wait + kWait.size()), &target->lock_wait_ms)) return false;
        file = file.substr(0, wait);
    }
    if (file.empty()) return false;
    target->device = std::string(file);
    return true;
}

bool Parse_Device(std::string_view rest, PortTarget* target) {
    if (rest.empty()) return false;
    target->device = "/" + std::string(rest);
    return true;
}

bool Parse_Io(std::string_view rest, PortTarget* target) {
    return Parse_Address(rest, &target->base);
}

std::unique_ptr<Backend> Make_Null(const PortTarget&, const BackendEnv&) {
    return std::make_unique<NullBackend>();
}

std::unique_ptr<Backend> Make_Simulated(const PortTarget& target, const BackendEnv& env) {
    return std::make_unique<SimulatedBackend>(target, true, env.lock_wait_ms);
}

std::unique_ptr<Backend> Make_Unplugged(const PortTarget& target, const BackendEnv& env) {
    return std::make_unique<SimulatedBackend>(target, false, env.lock_wait_ms);
}

std::unique_ptr<Backend> Make_Ppdev(const PortTarget& target, const BackendEnv& env) {
    const std::string device = target.device;
    auto calls = env.calls;
    return std::make_unique<RealPortBackend>(
        Describe_Target(target) + " (ppdev)", device.substr(device.rfind('/') + 1),
        [device, calls](std::string* error, std::string* note) -> std::unique_ptr<RawPort> {
            return PpdevPort::Open(device, calls(), error, note);
        });
}

std::unique_ptr<Backend> Make_Direct_Io(const PortTarget& target, const BackendEnv& env) {
    const unsigned base = target.base;
    auto io = env.io;
    char name[24];
    std::snprintf(name, sizeof name, "io-0x%X", base);
    return std::make_unique<RealPortBackend>(
        Describe_Target(target), name,
        [base, io](std::string* error, std::string*) -> std::unique_ptr<RawPort> {
            return DirectIoPort::Open(base, io(), error);
        });
}

// Where the server is stays as written; the connection tells whether it is right.
bool Parse_Endpoint_Target(std::string_view text, std::string_view prefix, PortTarget* target) {
    Endpoint endpoint;
    const std::string whole = std::string(prefix) + std::string(text);
    if (!Parse_Endpoint(whole, &endpoint)) return false;
    target->device = whole;
    return true;
}

bool Parse_Unix(std::string_view rest, PortTarget* target) {
    return Parse_Endpoint_Target(rest, "unix:", target);
}

bool Parse_Tcp(std::string_view rest, PortTarget* target) {
    return Parse_Endpoint_Target(rest, "tcp:", target);
}

bool Parse_Server(std::string_view, PortTarget* target) {
    target->device = "server";
    return true;
}

// server:NAME, the socket NAME.sock in the default folder; a name, not a path.
bool Parse_Server_Name(std::string_view rest, PortTarget* target) {
    if (rest.empty() || rest.find('/') != std::string_view::npos || rest == "." || rest == "..")
        return false;
    target->device = "server:" + std::string(rest);
    return true;
}

std::unique_ptr<Backend> Make_Remote(const PortTarget& target, const BackendEnv& env) {
    return std::make_unique<RemoteBackend>(target, env.lock_wait_ms);
}

const BackendKind kKinds[] = {
    {TargetKind::Simulated, "sim", true, Parse_Nothing, Make_Simulated},
    {TargetKind::Simulated, "sim:", false, Parse_State_File, Make_Simulated},
    {TargetKind::Unplugged, "unplugged", true, Parse_Nothing, Make_Unplugged},
    {TargetKind::None, "none", true, Parse_Nothing, Make_Null},
    {TargetKind::Ppdev, "/", false, Parse_Device, Make_Ppdev},
    {TargetKind::DirectIo, "io:", false, Parse_Io, Make_Direct_Io},
    {TargetKind::Remote, "unix:", false, Parse_Unix, Make_Remote},
    {TargetKind::Remote, "tcp:", false, Parse_Tcp, Make_Remote},
    {TargetKind::Remote, "server", true, Parse_Server, Make_Remote},
    {TargetKind::Remote, "server:", false, Parse_Server_Name, Make_Remote},
};

}  // namespace

std::span<const BackendKind> Backend_Kinds() {
    return kKinds;
}

std::unique_ptr<Backend> Make_Backend(const PortTarget& target, const BackendEnv& env) {
    for (const BackendKind& row : kKinds)
        if (row.kind == target.kind) return row.make(target, env);
    return Make_Null(target, env);
}

}  // namespace vanlpt
