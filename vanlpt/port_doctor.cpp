#include "vanlpt/port_doctor.h"

#include <grp.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vanlpt {

namespace {

constexpr int kDevicesChecked = 4;  // /dev/parport0 .. /dev/parport3

struct Checker {
    Doctor_Report report;

    void Line(const std::string& text) { report.lines.push_back(text); }
    void Problem(const std::string& what, const std::string& fix) {
        ++report.problems;
        report.lines.push_back("  problem: " + what);
        report.lines.push_back("  fix: " + fix);
    }
};

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : ", ") + w;
    return text.empty() ? "(none)" : text;
}

bool In_Group(const System_Facts& facts, const char* group) {
    for (const std::string& g : facts.groups)
        if (g == group) return true;
    return false;
}

// Claimed: the port is ours until released. Checks what the board's bus needs of it.
void Check_Claimed_Port(Checker& c, DeviceCalls& calls, int fd, const std::string& path) {
    unsigned int modes = 0;
    if (calls.Ioctl(fd, PPGETMODES, &modes) < 0 || (modes & PARPORT_MODE_TRISTATE) == 0) {
        c.Problem(path +
                      " cannot float its data lines (no PS/2 mode): register reads would "
                      "return the data latch",
                  "set the port to PS/2, bidirectional or ECP mode in the BIOS set-up");
    } else {
        c.Line("  " + path + " can float its data lines (PS/2 mode): register reads work");
    }
    calls.Ioctl(fd, PPRELEASE, nullptr);
}

void Check_Device(Checker& c, DeviceCalls& calls, const System_Facts& facts, int n) {
    const std::string path = "/dev/parport" + std::to_string(n);
    if (!calls.Exists(path)) {
        if (n == 0)
            c.Problem("no /dev/parport0: no parallel port, or the ppdev driver is not loaded",
                      "sudo modprobe ppdev");
        return;
    }
    c.Line(path + ": present");
    const int fd = calls.Open(path);
    if (fd == -EACCES || fd == -EPERM) {
        c.Problem("no permission to open " + path +
                      (In_Group(facts, "lp") ? "" : "; you are not in group lp"),
                  "sudo usermod -aG lp $USER, then log out and in again");
        return;
    }
    if (fd < 0) {
        c.Problem("cannot open " + path + ": " + std::strerror(-fd), "sudo modprobe ppdev");
        return;
    }
    c.Line("  " + path + " opens");
    const int claimed = calls.Ioctl(fd, PPCLAIM, nullptr);
    if (claimed == -EBUSY) {
        std::string holder = calls.Read_Line("/proc/sys/dev/parport/parport" + std::to_string(n) +
                                             "/devices/active");
        if (holder.empty() || holder == "none") holder = "another driver or program";
        c.Problem(path + " is held by " + holder,
                  holder == "lp" ? "sudo rmmod lp (and blacklist lp in /etc/modprobe.d/)"
                                 : "close the program that uses the port, or sudo rmmod lp");
    } else if (claimed < 0) {
        c.Problem("cannot claim " + path + ": " + std::strerror(-claimed), "sudo modprobe ppdev");
    } else {
        c.Line("  " + path + " can be claimed");
        Check_Claimed_Port(c, calls, fd, path);
    }
    calls.Close(fd);
}

void Check_Direct_Io(Checker& c, const System_Facts& facts) {
    if (!facts.io_instructions) {
        c.Line("direct I/O: this machine has no port I/O instructions");
    } else if (facts.io.locked_down) {
        c.Problem(
            "the kernel is in lockdown (Secure Boot): direct I/O (io:0x378) is forbidden "
            "even for root",
            "use the ppdev device /dev/parportN, or switch Secure Boot off in the firmware");
    } else if (!facts.io.raw_io_capability) {
        c.Line(
            "direct I/O: needs root or CAP_SYS_RAWIO (sudo osdex --port io:0x378 ...); the "
            "ppdev device needs neither");
    } else {
        c.Line("direct I/O: possible (CAP_SYS_RAWIO, no kernel lockdown)");
    }
}

}  // namespace

System_Facts Read_System_Facts() {
    System_Facts facts;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> ids(count > 0 ? static_cast<std::size_t>(count) : 0);
    if (count > 0 && getgroups(count, ids.data()) == count) {
        for (gid_t id : ids) {
            const group* g = getgrgid(id);
            facts.groups.push_back(g ? g->gr_name : std::to_string(id));
        }
    }
    if (const group* g = getgrgid(getegid())) {
        bool listed = false;
        for (const std::string& name : facts.groups) listed = listed || name == g->gr_name;
        if (!listed) facts.groups.insert(facts.groups.begin(), g->gr_name);
    }
    facts.io_instructions = System_Io_Access() != nullptr;
    facts.io = System_Io_Conditions();
    return facts;
}

Doctor_Report Diagnose_Real_Ports(DeviceCalls& calls, const System_Facts& facts) {
    Checker c;
    for (int n = 0; n < kDevicesChecked; ++n) Check_Device(c, calls, facts, n);
    c.Line("your groups: " + Joined(facts.groups) +
           (In_Group(facts, "lp") ? "" : " (not lp: /dev/parportN belongs to group lp)"));
    // Said before any port is there: a new bench PC gets its card after the program.
    if (!In_Group(facts, "lp"))
        c.Line("  to join it: sudo usermod -aG lp $USER, then log in again");
    Check_Direct_Io(c, facts);
    return c.report;
}

}  // namespace vanlpt
