#include "vanlpt/port_mapping.h"

#include <charconv>
#include <cstdio>

#include "vanlpt/raw_port.h"

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

bool Parse_Target(std::string_view text, PortTarget* target) {
    *target = PortTarget{};
    if (text == "sim")
        target->kind = TargetKind::Simulated;
    else if (text.starts_with("sim:") && text.size() > 4) {
        target->kind = TargetKind::Simulated;
        target->device = std::string(text.substr(4));  // the board's state file
    } else if (text == "unplugged")
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
            *error = "bad entry \"" + std::string(entry) + "\" in " + kPortsVariable + "=\"" +
                     std::string(text) +
                     "\": expected entries like 1=sim, 1=sim:board.osdex, 2=/dev/parport0, 3=none, "
                     "1=io:0x378 or 1=unplugged, each port 1..3 at most once, separated by commas";
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
                                         : "simulated board in " + target.device;
        case TargetKind::Unplugged:
            return "simulated port with no board";
        case TargetKind::Ppdev:
            return target.device;
        case TargetKind::DirectIo: {
            char text[40];
            std::snprintf(text, sizeof text, "direct I/O at 0x%X", target.base);
            return text;
        }
    }
    return "no port";
}

}  // namespace vanlpt
