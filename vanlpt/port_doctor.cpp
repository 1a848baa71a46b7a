#include "vanlpt/port_doctor.h"

#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "vanlpt/ppdev_port.h"

namespace vanlpt {

namespace {

constexpr int kDevicesChecked = 4;  // /dev/parport0 .. /dev/parport3
constexpr unsigned kFirstPortBase = 0x378;

struct Checker {
    Doctor_Report report;

    void Line(const std::string& text) { report.lines.push_back(text); }
    void Problem(const Port_Problem& p) {
        ++report.problems;
        report.lines.push_back("  problem: " + p.what);
        report.lines.push_back("  fix: " + p.fix);
    }
    // A port that is there, or that the mapping names, and cannot be used.
    void Unusable(const Port_Problem& p) {
        ++report.unusable;
        Problem(p);
    }
};

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : ", ") + w;
    return text.empty() ? "(none)" : text;
}

bool In_Group(const System_Facts& facts, const char* group) {
    return std::find(facts.groups.begin(), facts.groups.end(), group) != facts.groups.end();
}

// Claimed: the port is ours until released. Checks what the board's bus needs of it.
void Check_Claimed_Port(Checker& c, DeviceCalls& calls, int fd, const std::string& path) {
    unsigned int modes = 0;
    if (calls.Ioctl(fd, PPGETMODES, &modes) < 0 || (modes & PARPORT_MODE_TRISTATE) == 0) {
        c.Problem({path + " cannot float its data lines (no PS/2 mode): register reads would "
                          "return the data latch",
                   "set the port to PS/2, bidirectional or ECP mode in the BIOS set-up"});
    } else {
        c.Line("  " + path + " can float its data lines (PS/2 mode): register reads work");
    }
    calls.Ioctl(fd, PPRELEASE, nullptr);
}

// Claimed alone, as the library claims it: a plain PPCLAIM would sleep in the kernel until
// another holder lets go, while the exclusive one is refused at once.
void Check_Claim(Checker& c, DeviceCalls& calls, int fd, const std::string& path) {
    int r = calls.Ioctl(fd, PPEXCL, nullptr);
    if (r == -ENOTTY || r == -EINVAL)
        return c.Unusable({path + " is not a parallel port device",
                           "name a port device: /dev/parport0, /dev/parport1, ..."});
    if (r >= 0) r = calls.Ioctl(fd, PPCLAIM, nullptr);
    if (r < 0) return c.Unusable(Claim_Problem(calls, path, -r));
    c.Line("  " + path + " can be claimed");
    Check_Claimed_Port(c, calls, fd, path);
}

void Check_Path(Checker& c, DeviceCalls& calls, const System_Facts& facts,
                const std::string& path) {
    c.Line(path + ": present");
    const int fd = calls.Open(path);
    if (fd < 0) return c.Unusable(Open_Problem(calls, path, -fd, facts.groups));
    c.Line("  " + path + " opens");
    Check_Claim(c, calls, fd, path);
    calls.Close(fd);
}

bool Named(const std::vector<std::string>& devices, const std::string& path) {
    return std::find(devices.begin(), devices.end(), path) != devices.end();
}

void Check_Device(Checker& c, DeviceCalls& calls, const System_Facts& facts,
                  const Doctor_Scope& scope, const std::string& path, bool first) {
    if (calls.Exists(path)) return Check_Path(c, calls, facts, path);
    if (Named(scope.devices, path)) return c.Unusable(Open_Problem(calls, path, ENOENT, {}));
    if (!first) return;
    const Port_Problem missing = Open_Problem(calls, path, ENOENT, {});
    // The kernel has the port but no ppdev: a port on this machine that cannot be used.
    if (calls.Exists("/proc/sys/dev/parport/parport0")) return c.Unusable(missing);
    if (scope.real_port_wanted) return c.Problem(missing);
    c.Line("no " + path + ": LPT1 is the simulated board, as chosen");
}

void Check_Groups(Checker& c, const System_Facts& facts) {
    if (facts.root) {
        c.Line("your groups: " + Joined(facts.groups) + " (root needs no group lp)");
        return;
    }
    const bool lp = In_Group(facts, "lp");
    c.Line("your groups: " + Joined(facts.groups) +
           (lp ? "" : " (not lp: /dev/parportN belongs to group lp)"));
    // Said before any port is there: a new bench PC gets its card after the program.
    if (!lp) c.Line("  to join it: sudo usermod -aG lp $USER, then log in again");
}

// ioperm is tried, not guessed from the rights: a kernel may offer no port I/O at all.
void Check_Direct_Io(Checker& c, IoAccess* io, const System_Facts& facts, unsigned base,
                     bool named) {
    const std::string at = "direct I/O at " + Hex(base) + ": ";
    if (io == nullptr) {
        const Port_Problem none{"direct I/O (io:" + Hex(base) +
                                    ") needs port I/O instructions, "
                                    "and this machine has none",
                                "use the ppdev device /dev/parportN"};
        return named ? c.Unusable(none)
                     : c.Line("direct I/O: this machine has no port I/O instructions");
    }
    const int r = Direct_Io_Permission(*io, base, true);
    if (r >= 0) {
        Direct_Io_Permission(*io, base, false);
        return c.Line("direct I/O: possible at " + Hex(base) + " (ioperm succeeds)");
    }
    const Port_Problem problem = Direct_Io_Problem(base, -r, facts.io);
    if (named) return c.Unusable(problem);
    if (r == -EPERM && !facts.io.raw_io_capability && !facts.io.locked_down)
        return c.Line(at + problem.what + " (sudo osdex --port io:" + Hex(base) +
                      " ...); the ppdev device needs neither");
    c.Problem(problem);
}

}  // namespace

System_Facts Read_System_Facts() {
    System_Facts facts;
    facts.groups = System_Device_Calls().User_Groups();
    facts.root = geteuid() == 0;
    facts.io = System_Io_Conditions();
    return facts;
}

Doctor_Report Diagnose_Real_Ports(DeviceCalls& calls, IoAccess* io, const System_Facts& facts,
                                  const Doctor_Scope& scope) {
    Checker c;
    std::vector<std::string> checked;
    for (int n = 0; n < kDevicesChecked; ++n) {
        checked.push_back("/dev/parport" + std::to_string(n));
        Check_Device(c, calls, facts, scope, checked.back(), n == 0);
    }
    for (const std::string& path : scope.devices)
        if (!Named(checked, path)) {
            checked.push_back(path);
            Check_Device(c, calls, facts, scope, path, false);
        }
    Check_Groups(c, facts);
    if (scope.io_bases.empty()) Check_Direct_Io(c, io, facts, kFirstPortBase, false);
    for (unsigned base : scope.io_bases) Check_Direct_Io(c, io, facts, base, true);
    return c.report;
}

}  // namespace vanlpt
