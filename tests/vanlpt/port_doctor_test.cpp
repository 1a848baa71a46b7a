// The doctor's checks of the real ports against recorded device calls: each way a port
// fails at a bench is named, with the command that mends it, and a good port is said good.
#include "vanlpt/port_doctor.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "tests/vanlpt/recording_device.h"

namespace {

using vanlpt_test::RecordingDevice;

std::string Text(const vanlpt::Doctor_Report& report) {
    std::string text;
    for (const std::string& line : report.lines) text += line + "\n";
    return text;
}

vanlpt::System_Facts In_Group_Lp() {
    vanlpt::System_Facts facts;
    facts.groups = {"engineer", "lp"};
    facts.io_instructions = true;
    return facts;
}

TEST(PortDoctor, AGoodPortIsOpenedClaimedAndReleased) {
    RecordingDevice device;
    const vanlpt::Doctor_Report report = vanlpt::Diagnose_Real_Ports(device, In_Group_Lp());
    EXPECT_EQ(report.problems, 0) << Text(report);
    EXPECT_NE(Text(report).find("/dev/parport0 can float its data lines"), std::string::npos);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"open /dev/parport0", "PPCLAIM", "PPGETMODES",
                                                      "PPRELEASE", "close 7"}));
}

TEST(PortDoctor, AFreshMachineIsToldToLoadPpdevAndJoinGroupLp) {
    RecordingDevice device;
    device.present.clear();
    vanlpt::System_Facts facts = In_Group_Lp();
    facts.groups = {"engineer", "plugdev"};
    const std::string text = Text(vanlpt::Diagnose_Real_Ports(device, facts));
    EXPECT_NE(text.find("sudo modprobe ppdev"), std::string::npos) << text;
    EXPECT_NE(text.find("sudo usermod -aG lp $USER"), std::string::npos) << text;

    facts.groups.push_back("lp");
    EXPECT_EQ(Text(vanlpt::Diagnose_Real_Ports(device, facts)).find("usermod"), std::string::npos);
}

TEST(PortDoctor, EachBenchProblemIsNamedWithItsFix) {
    struct Case {
        const char* name;
        std::function<void(RecordingDevice&, vanlpt::System_Facts&)> arrange;
        const char* problem;
        const char* fix;
    };
    const Case cases[] = {
        {"no device", [](RecordingDevice& d, vanlpt::System_Facts&) { d.present.clear(); },
         "no /dev/parport0", "sudo modprobe ppdev"},
        {"permission denied",
         [](RecordingDevice& d, vanlpt::System_Facts& f) {
             d.open_error = EACCES;
             f.groups = {"engineer"};
         },
         "you are not in group lp", "sudo usermod -aG lp $USER"},
        {"held by lp",
         [](RecordingDevice& d, vanlpt::System_Facts&) {
             d.errors["PPCLAIM"] = EBUSY;
             d.lines["/proc/sys/dev/parport/parport0/devices/active"] = "lp";
         },
         "/dev/parport0 is held by lp", "sudo rmmod lp"},
        {"no PS/2 mode", [](RecordingDevice& d, vanlpt::System_Facts&) { d.modes = 0x01; },
         "cannot float its data lines (no PS/2 mode)", "PS/2, bidirectional or ECP mode"},
        {"lockdown", [](RecordingDevice&, vanlpt::System_Facts& f) { f.io.locked_down = true; },
         "lockdown (Secure Boot)", "switch Secure Boot off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDevice device;
        vanlpt::System_Facts facts = In_Group_Lp();
        c.arrange(device, facts);
        const vanlpt::Doctor_Report report = vanlpt::Diagnose_Real_Ports(device, facts);
        const std::string text = Text(report);
        EXPECT_EQ(report.problems, 1) << text;
        EXPECT_NE(text.find(c.problem), std::string::npos) << text;
        EXPECT_NE(text.find(c.fix), std::string::npos) << text;
        const bool opened = !device.calls.empty() && device.open_error == 0 &&
                            device.calls.front() == "open /dev/parport0";
        if (opened) {
            EXPECT_EQ(device.calls.back(), "close 7");  // never left open
        }
    }
}

TEST(PortDoctor, DirectIoNeedsRightsOnAMachineWithPortInstructions) {
    RecordingDevice device;
    vanlpt::System_Facts facts = In_Group_Lp();
    EXPECT_NE(Text(vanlpt::Diagnose_Real_Ports(device, facts)).find("needs root or CAP_SYS_RAWIO"),
              std::string::npos);
    facts.io.raw_io_capability = true;
    EXPECT_NE(Text(vanlpt::Diagnose_Real_Ports(device, facts)).find("direct I/O: possible"),
              std::string::npos);
    facts.io_instructions = false;
    EXPECT_NE(Text(vanlpt::Diagnose_Real_Ports(device, facts)).find("no port I/O instructions"),
              std::string::npos);
}

}  // namespace
