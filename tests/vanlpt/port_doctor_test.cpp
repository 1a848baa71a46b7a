// The doctor's checks of the real ports against recorded device calls: each way a port
// fails at a bench is named, with the command that mends it, a good port is said good, and
// a port that is there or mapped and cannot be used is counted as unusable.
#include "vanlpt/port_doctor.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "tests/vanlpt/recording_device.h"

namespace {

using vanlpt_test::RecordingDevice;
using Calls = std::vector<std::string>;

std::string Text(const vanlpt::Doctor_Report& report) {
    std::string text;
    for (const std::string& line : report.lines) text += line + "\n";
    return text;
}

vanlpt::System_Facts In_Group_Lp() {
    vanlpt::System_Facts facts;
    facts.groups = {"engineer", "lp"};
    return facts;
}

// ioperm answering with a chosen error (0: allowed), every call written down.
class FakeIo : public vanlpt::IoAccess {
public:
    int Ioperm(unsigned long from, unsigned long, bool on) override {
        calls.push_back((on ? "on " : "off ") + std::to_string(from));
        return on ? -error : 0;
    }
    std::uint8_t Inb(unsigned) override { return 0; }
    void Outb(std::uint8_t, unsigned) override {}
    Calls calls;
    int error = 0;
};

vanlpt::Doctor_Report Diagnose(RecordingDevice& device, const vanlpt::System_Facts& facts,
                               const vanlpt::Doctor_Scope& scope = {}) {
    FakeIo io;
    return vanlpt::Diagnose_Real_Ports(device, &io, facts, scope);
}

TEST(PortDoctor, AGoodPortIsClaimedAloneAndReleased) {
    RecordingDevice device;
    const vanlpt::Doctor_Report report = Diagnose(device, In_Group_Lp());
    EXPECT_EQ(report.problems, 0) << Text(report);
    EXPECT_EQ(report.unusable, 0);
    EXPECT_NE(Text(report).find("/dev/parport0 can float its data lines"), std::string::npos);
    // A plain PPCLAIM would sleep until another holder lets go; the exclusive one is refused.
    EXPECT_EQ(device.calls, (Calls{"open /dev/parport0", "PPEXCL", "PPCLAIM", "PPGETMODES",
                                   "PPRELEASE", "close 7"}));
}

TEST(PortDoctor, AFreshMachineIsToldToLoadTheDriversAndJoinGroupLp) {
    RecordingDevice device;
    device.present.clear();
    vanlpt::System_Facts facts = In_Group_Lp();
    facts.groups = {"engineer", "plugdev"};
    vanlpt::Doctor_Report report = Diagnose(device, facts);
    EXPECT_NE(Text(report).find("sudo modprobe parport_pc ppdev"), std::string::npos)
        << Text(report);
    EXPECT_NE(Text(report).find("sudo usermod -aG lp $USER"), std::string::npos);
    EXPECT_EQ(report.unusable, 0);  // no port on the machine: nothing unusable

    device.present.insert("/proc/sys/dev/parport/parport0");  // the port, without ppdev
    report = Diagnose(device, facts);
    EXPECT_NE(Text(report).find("the ppdev driver is not loaded"), std::string::npos);
    EXPECT_EQ(report.unusable, 1);

    facts.groups.push_back("lp");
    EXPECT_EQ(Text(Diagnose(device, facts)).find("usermod"), std::string::npos);
    facts.groups = {"root"};
    facts.root = true;
    EXPECT_EQ(Text(Diagnose(device, facts)).find("usermod"), std::string::npos);
}

TEST(PortDoctor, LPT1ChosenSimulatedGetsNoRealPortAdvice) {
    RecordingDevice device;
    device.present.clear();
    vanlpt::Doctor_Scope scope;
    scope.real_port_wanted = false;
    const vanlpt::Doctor_Report report = Diagnose(device, In_Group_Lp(), scope);
    EXPECT_EQ(report.problems, 0) << Text(report);
    EXPECT_EQ(Text(report).find("modprobe"), std::string::npos) << Text(report);
}

TEST(PortDoctor, EachBenchProblemIsNamedWithItsFix) {
    const std::string devices = "/proc/sys/dev/parport/parport0/devices";
    struct Case {
        const char* name;
        std::function<void(RecordingDevice&, vanlpt::System_Facts&)> arrange;
        const char* problem;
        const char* fix;
        int unusable;
    };
    const Case cases[] = {
        {"permission denied",
         [](RecordingDevice& d, vanlpt::System_Facts& f) {
             d.open_error = EACCES;
             d.nodes["/dev/parport0"] = {"lp", 0660};
             f.groups = {"engineer"};
         },
         "you are not in group lp", "sudo usermod -aG lp $USER", 1},
        {"node of another group",
         [](RecordingDevice& d, vanlpt::System_Facts&) {
             d.open_error = EACCES;
             d.nodes["/dev/parport0"] = {"root", 0600};
         },
         "(group root, mode 0600)", "sudo chgrp lp /dev/parport0", 1},
        {"held by lp",
         [&](RecordingDevice& d, vanlpt::System_Facts&) {
             d.errors["PPCLAIM"] = ENXIO;
             d.present.insert("/proc/sys/dev/parport/parport0");
             d.folders[devices] = {"active", "lp0"};
         },
         "/dev/parport0 is held by the printer driver lp", "sudo rmmod lp", 1},
        {"held by a program",
         [&](RecordingDevice& d, vanlpt::System_Facts&) {
             d.errors["PPCLAIM"] = ENXIO;
             d.present.insert("/proc/sys/dev/parport/parport0");
             d.folders[devices] = {"active", "ppdev0"};
         },
         "/dev/parport0 is held by another program", "close the program", 1},
        {"no PS/2 mode", [](RecordingDevice& d, vanlpt::System_Facts&) { d.modes = 0x01; },
         "cannot float its data lines (no PS/2 mode)", "PS/2, bidirectional or ECP mode", 0},
        {"lockdown", [](RecordingDevice&, vanlpt::System_Facts& f) { f.io.locked_down = true; },
         "lockdown (Secure Boot)", "switch Secure Boot off", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDevice device;
        vanlpt::System_Facts facts = In_Group_Lp();
        c.arrange(device, facts);
        FakeIo io;
        io.error = facts.io.locked_down ? EPERM : 0;
        const vanlpt::Doctor_Report report = vanlpt::Diagnose_Real_Ports(device, &io, facts, {});
        const std::string text = Text(report);
        EXPECT_EQ(report.problems, 1) << text;
        EXPECT_EQ(report.unusable, c.unusable) << text;
        EXPECT_NE(text.find(c.problem), std::string::npos) << text;
        EXPECT_NE(text.find(c.fix), std::string::npos) << text;
        EXPECT_EQ(text.find("fix: sudo modprobe ppdev"), std::string::npos) << text;
        if (device.open_error == 0) {
            EXPECT_EQ(device.calls.back(), "close 7");  // never left open
        }
    }
}

TEST(PortDoctor, PortsTheMappingNamesAreCheckedToo) {
    RecordingDevice device;
    device.present.insert("/dev/null");
    device.errors["PPEXCL"] = ENOTTY;  // what /dev/null answers
    vanlpt::Doctor_Scope scope;
    scope.devices = {"/dev/null"};
    const vanlpt::Doctor_Report report = Diagnose(device, In_Group_Lp(), scope);
    EXPECT_NE(Text(report).find("/dev/null is not a parallel port device"), std::string::npos)
        << Text(report);
    EXPECT_NE(Text(report).find("fix: name a port device"), std::string::npos);
}

// ioperm is tried: root on a kernel without port I/O, or locked down without securityfs.
TEST(PortDoctor, DirectIoIsTriedNotGuessed) {
    RecordingDevice device;
    vanlpt::System_Facts facts = In_Group_Lp();
    FakeIo io;
    EXPECT_NE(Text(vanlpt::Diagnose_Real_Ports(device, &io, facts, {}))
                  .find("direct I/O: possible at 0x378"),
              std::string::npos);
    EXPECT_EQ(io.calls, (Calls{"on 888", "on 1912", "off 1912", "off 888"}));

    facts.io.raw_io_capability = true;
    io.error = ENOSYS;
    vanlpt::Doctor_Report report = vanlpt::Diagnose_Real_Ports(device, &io, facts, {});
    EXPECT_NE(Text(report).find("this kernel offers programs no port I/O"), std::string::npos);
    EXPECT_EQ(Text(report).find("direct I/O: possible"), std::string::npos) << Text(report);
    io.error = EPERM;
    vanlpt::Doctor_Scope scope;
    scope.io_bases = {0x378};
    report = vanlpt::Diagnose_Real_Ports(device, &io, facts, scope);
    EXPECT_NE(Text(report).find("lockdown"), std::string::npos) << Text(report);
    EXPECT_EQ(report.unusable, 1);  // io:0x378 is mapped and cannot be used

    facts.io.raw_io_capability = false;
    report = vanlpt::Diagnose_Real_Ports(device, &io, facts, {});
    EXPECT_NE(Text(report).find("needs root or CAP_SYS_RAWIO"), std::string::npos);
    EXPECT_EQ(report.problems, 0);
    EXPECT_NE(Text(vanlpt::Diagnose_Real_Ports(device, nullptr, facts, {}))
                  .find("no port I/O instructions"),
              std::string::npos);
}

}  // namespace
