#include "vanlpt/port_mapping.h"

#include <cstdio>

#include "vanlpt/backend_table.h"
#include "vanlpt/report.h"

namespace vanlpt {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// By the table of target kinds: the first row whose word or prefix fits decides.
bool Parse_Target(std::string_view text, PortTarget* target) {
    for (const BackendKind& row : Backend_Kinds()) {
        const bool fits = row.whole ? text == row.prefix : text.starts_with(row.prefix);
        if (!fits) continue;
        *target = PortTarget{};
        target->kind = row.kind;
        return row.parse(text.substr(row.prefix.size()), target);
    }
    return false;
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
                     "1=sim:board.osdex?wait=5, 2=/dev/parport0, 3=none, 1=io:0x378, "
                     "1=unplugged, 1=unix:PATH, 1=tcp:HOST:PORT or 1=server, each port 1..3 at "
                     "most once, separated by commas";
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
        case TargetKind::Remote:
            return "board server at " + Printable(target.device);
        case TargetKind::DirectIo: {
            char text[40];
            std::snprintf(text, sizeof text, "direct I/O at 0x%X", target.base);
            return text;
        }
    }
    return "no port";
}

}  // namespace vanlpt
