#include "vanlpt/port_mapping.h"

#include <charconv>
#include <cstdio>

#include "vanlpt/raw_port.h"
#include "vanlpt/report.h"

namespace vanlpt {

namespace {

// The extended control register at base+0x402 must still be an I/O address.
constexpr unsigned kHighestBase = 0xFFFF - kEcrOffset;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

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

// sim:FILE, with an optional ?wait=SECONDS after the file's name.
bool Parse_State_File(std::string_view file, PortTarget* target) {
    constexpr std::string_view kWait = "?wait=";
    const std::size_t wait = file.rfind(kWait);
    if (wait != std::string_view::npos) {
        if (!Parse_Wait(file.substr(wait + kWait.size()), &target->lock_wait_ms)) return false;
        file = file.substr(0, wait);
    }
    if (file.empty()) return false;
    target->kind = TargetKind::Simulated;
    target->device = std::string(file);
    return true;
}

bool Parse_Target(std::string_view text, PortTarget* target) {
    *target = PortTarget{};
    if (text == "sim")
        target->kind = TargetKind::Simulated;
    else if (text.starts_with("sim:"))
        return Parse_State_File(text.substr(4), target);
    else if (text == "unplugged")
        target->kind = TargetKind::Unplugged;
    else if (text == "none")
        target->kind = TargetKind::None;
    else if (text.size() > 1 && text.front() == '/') {
        target->kind = TargetKind::Ppdev;
        target->device = std::string(text);
    } else if (text.starts_with("io:") && Parse_Address(text.substr(3), &target->base)) {
        target->kind = TargetKind::DirectIo;
    } else {
        return false;
    }
    return true;
}

}  // namespace

PortMapping Default_Port_Mapping(DeviceCalls& calls) {
    PortMapping mapping;
    for (int i = 0; i < kPortCount; ++i) {
        std::string device = "/dev/parport" + std::to_string(i);
        if (calls.Exists(device)) {
            mapping[i].kind = TargetKind::Ppdev;
            mapping[i].device = device;
            mapping[i].simulated_fallback = (i == 0);
        }
    }
    if (mapping[0].kind == TargetKind::None) mapping[0].kind = TargetKind::Simulated;
    return mapping;
}

bool Apply_Mapping_Text(std::string_view text, PortMapping* mapping, std::string* error) {
    PortMapping result = *mapping;
    bool seen[kPortCount] = {};
    std::string_view rest = text;
    while (!Trim(rest).empty()) {
        size_t comma = rest.find(',');
        std::string_view entry = Trim(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        size_t eq = entry.find('=');
        std::string_view port = Trim(entry.substr(0, eq == std::string_view::npos ? 0 : eq));
        int n = port.size() == 1 ? port[0] - '0' : 0;
        PortTarget target;
        bool ok = eq != std::string_view::npos && n >= 1 && n <= kPortCount && !seen[n - 1] &&
                  Parse_Target(Trim(entry.substr(eq + 1)), &target);
        if (!ok) {
            *error = "bad entry " + Quoted(entry) + " in " + kPortsVariable + "=" + Quoted(text) +
                     ": expected entries like 1=sim, 1=sim:board.osdex, "
                     "1=sim:board.osdex?wait=5, 2=/dev/parport0, 3=none, 1=io:0x378 or "
                     "1=unplugged, each port 1..3 at most once, separated by commas";
            return false;
        }
        seen[n - 1] = true;
        result[n - 1] = target;
    }
    *mapping = result;
    return true;
}

std::string Describe_Target(const PortTarget& target) {
    switch (target.kind) {
        case TargetKind::None:
            return "no port";
        case TargetKind::Simulated:
            return target.device.empty() ? "simulated board"
                                         : "simulated board in " + Printable(target.device);
        case TargetKind::Unplugged:
            return "simulated port with no board";
        case TargetKind::Ppdev:
            return Printable(target.device);
        case TargetKind::DirectIo: {
            char text[40];
            std::snprintf(text, sizeof text, "direct I/O at 0x%X", target.base);
            return text;
        }
    }
    return "no port";
}

}  // namespace vanlpt
