// Which backend answers for LPT1..LPT3: the mapping text, the default from the devices
// present with its fall-back to the simulated board, direct I/O only when named, and the
// library-level behaviour of selecting, reselecting and pins on the simulated cable.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "board/simulated_board.h"
#include "tests/vanlpt/recording_device.h"
#include "vanlpt/direct_io_port.h"
#include "vanlpt/port_mapping.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

using vanlpt::PortMapping;
using vanlpt::TargetKind;
using vanlpt_test::RecordingDevice;

TEST(PortMappingText, EntriesReplaceSinglePorts) {
    PortMapping m;
    std::string error;
    ASSERT_TRUE(vanlpt::Apply_Mapping_Text(" 1=sim , 2=/dev/parport0,3=io:0x3BC", &m, &error));
    EXPECT_EQ(m[0].kind, TargetKind::Simulated);
    EXPECT_EQ(m[1].kind, TargetKind::Ppdev);
    EXPECT_EQ(m[1].device, "/dev/parport0");
    EXPECT_EQ(m[2].kind, TargetKind::DirectIo);
    EXPECT_EQ(m[2].base, 0x3BCu);
    ASSERT_TRUE(vanlpt::Apply_Mapping_Text("3=unplugged", &m, &error));
    EXPECT_EQ(m[0].kind, TargetKind::Simulated);
    EXPECT_EQ(m[2].kind, TargetKind::Unplugged);
    ASSERT_TRUE(vanlpt::Apply_Mapping_Text("1=io:888,2=none", &m, &error));
    EXPECT_EQ(m[0].base, 888u);
    EXPECT_EQ(m[1].kind, TargetKind::None);
}

TEST(PortMappingText, BadSyntaxChangesNothingAndSaysWhatIsExpected) {
    for (const char* bad :
         {"4=sim", "0=sim", "1=simulated", "1=sim,1=none", "sim", "1=", "=sim", "1=io:", "1=io:0x",
          "1=io:zz", "1=io:0x10000", "1=io:0", "1=sim,,", "12=sim", "1=/"}) {
        SCOPED_TRACE(bad);
        PortMapping m;
        m[0].kind = TargetKind::Simulated;
        PortMapping before = m;
        std::string error;
        EXPECT_FALSE(vanlpt::Apply_Mapping_Text(bad, &m, &error));
        EXPECT_EQ(m, before);
        EXPECT_NE(error.find("VANLPT_PORTS"), std::string::npos);
        EXPECT_NE(error.find("1=sim"), std::string::npos);
    }
}

TEST(PortMappingDefault, RealPortsWhereDevicesExistElseTheSimulatedBoard) {
    RecordingDevice device;
    device.present.clear();
    PortMapping m = vanlpt::Default_Port_Mapping(device);
    EXPECT_EQ(m[0].kind, TargetKind::Simulated);
    EXPECT_EQ(m[1].kind, TargetKind::None);
    EXPECT_EQ(m[2].kind, TargetKind::None);

    device.present = {"/dev/parport0", "/dev/parport1"};
    m = vanlpt::Default_Port_Mapping(device);
    EXPECT_EQ(m[0].kind, TargetKind::Ppdev);
    EXPECT_TRUE(m[0].simulated_fallback);
    EXPECT_EQ(m[1].device, "/dev/parport1");
    EXPECT_FALSE(m[1].simulated_fallback);
    EXPECT_EQ(m[2].kind, TargetKind::None);
}

class PortSelection : public ::testing::Test {
protected:
    // The library's own mapping, found through the given device calls.
    static void Use_Default_Mapping_Over(RecordingDevice& device) {
        vanlpt::testing::Reset_Library();
        vanlpt::testing::Use_Device_Calls(&device, nullptr);
        unsetenv("VANLPT_PORTS");
        vanlpt::testing::Reload_Mapping_From_Environment();
    }
    void TearDown() override {
        unsetenv("VANLPT_PORTS");
        vanlpt::testing::Reset_Library();
    }
};

TEST_F(PortSelection, UnusableDefaultPortFallsBackToTheSimulatedBoardOnce) {
    RecordingDevice device;
    device.errors["PPCLAIM"] = EBUSY;
    Use_Default_Mapping_Over(device);
    ::testing::internal::CaptureStderr();
    EXPECT_NE(Select_LPT_123(1), 0);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("rmmod lp"), std::string::npos) << said;
    EXPECT_NE(said.find("simulated evaluation board stands in for LPT1"), std::string::npos)
        << said;
    ASSERT_NE(vanlpt::testing::Simulated_Board(1), nullptr);
    EXPECT_EQ(Select_LPT_123(2), 0);
    device.calls.clear();
    EXPECT_NE(Select_LPT_123(1), 0);
    EXPECT_TRUE(device.calls.empty());  // the fall-back holds for the run
}

class RecordingIo : public vanlpt::IoAccess {
public:
    int Ioperm(unsigned long from, unsigned long count, bool on) override {
        calls.push_back(vanlpt_test::Join(
            {"ioperm ", Hex(from), " ", std::to_string(count), on ? " on" : " off"}));
        return error ? -error : 0;
    }
    std::uint8_t Inb(unsigned address) override {
        calls.push_back(vanlpt_test::Join({"inb ", Hex(address)}));
        return 0x08;
    }
    void Outb(std::uint8_t value, unsigned address) override {
        calls.push_back(vanlpt_test::Join({"outb ", Hex(value), " ", Hex(address)}));
    }
    static std::string Hex(unsigned long v) {
        char text[16];
        std::snprintf(text, sizeof text, "%lX", v);
        return text;
    }
    std::vector<std::string> calls;
    int error = 0;
};

TEST_F(PortSelection, TheFallBackIsToldOnceWithWhatWasTriedWhyAndWhatToDo) {
    RecordingDevice device;
    device.errors["PPCLAIM"] = EBUSY;
    Use_Default_Mapping_Over(device);
    ::testing::internal::CaptureStderr();
    const std::string told = Vanlpt_Check_Ports();
    ::testing::internal::GetCapturedStderr();
    for (const char* part :
         {"LPT1", "/dev/parport0", "held by another driver", "rmmod lp", "modprobe ppdev",
          "usermod -aG lp", "Secure Boot", "simulated evaluation board stands in"})
        EXPECT_NE(told.find(part), std::string::npos) << part << " in: " << told;
    EXPECT_STREQ(Vanlpt_Check_Ports(), "");  // once per run
    EXPECT_STREQ(Vanlpt_Port_Description(1),
                 "LPT1: simulated board (/dev/parport0 could not be used)");
    EXPECT_STREQ(Vanlpt_Port_Description(2), "LPT2: none");
    EXPECT_NE(Select_LPT_123(1), 0);  // the simulated board answers
    // Mapped to another target, LPT1 no longer stands in for anything.
    ASSERT_NE(Vanlpt_Map_Port(1, "unplugged"), 0);
    ASSERT_NE(Vanlpt_Map_Port(1, "sim"), 0);
    EXPECT_STREQ(Vanlpt_Port_Description(1), "LPT1: simulated board");
}

TEST_F(PortSelection, MappedPortsThatFailAreToldAndDescribed) {
    RecordingDevice device;
    device.present.clear();
    device.open_error = ENOENT;
    RecordingIo io;
    io.error = EPERM;
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=/dev/parport9,2=io:0x378,3=/dev/null"));
    vanlpt::testing::Use_Device_Calls(&device, &io);
    EXPECT_STREQ(Vanlpt_Port_Description(1), "LPT1: /dev/parport9 (ppdev)");
    EXPECT_STREQ(Vanlpt_Port_Description(2), "LPT2: direct I/O at 0x378");
    ::testing::internal::CaptureStderr();
    std::string told = Vanlpt_Check_Ports();
    ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("LPT1: the port mapped to it (/dev/parport9) cannot be used"),
              std::string::npos)
        << told;
    EXPECT_NE(told.find("LPT2: the port mapped to it (direct I/O at 0x378)"), std::string::npos)
        << told;
    EXPECT_NE(told.find("has no board in this run"), std::string::npos) << told;

    EXPECT_NE(told.find("LPT3: the port mapped to it (/dev/null)"), std::string::npos) << told;
}

TEST_F(PortSelection, ADeviceThatIsNoParallelPortIsNamedSo) {
    RecordingDevice device;
    device.errors["PPEXCL"] = ENOTTY;  // what a character device other than ppdev answers
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=/dev/null"));
    vanlpt::testing::Use_Device_Calls(&device, nullptr);
    ::testing::internal::CaptureStderr();
    const std::string told = Vanlpt_Check_Ports();
    ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("/dev/null is not a parallel port device"), std::string::npos) << told;
    EXPECT_EQ(device.calls.back(), "close 7");
}

TEST(DirectIoErrors, EachCauseGetsItsOwnRemedy) {
    const vanlpt::Io_Conditions user{false, false}, root{true, false}, locked{true, true};
    auto text = [](int error, const vanlpt::Io_Conditions& c) {
        return vanlpt::Direct_Io_Problem(0x378, error, c).Text();
    };
    const std::string no_ioperm = text(ENOSYS, root);
    EXPECT_NE(no_ioperm.find("this kernel offers programs no port I/O"), std::string::npos);
    EXPECT_EQ(no_ioperm.find("root"), std::string::npos) << no_ioperm;
    const std::string lockdown = text(EPERM, locked);
    EXPECT_NE(lockdown.find("lockdown (Secure Boot)"), std::string::npos) << lockdown;
    const std::string rights = text(EPERM, user);
    EXPECT_NE(rights.find("needs root or CAP_SYS_RAWIO"), std::string::npos) << rights;
    EXPECT_NE(rights.find("0x378"), std::string::npos) << rights;
    // Without securityfs nothing shows the lockdown but ioperm refusing a process that may.
    const std::string unseen = text(EPERM, root);
    EXPECT_NE(unseen.find("lockdown"), std::string::npos) << unseen;
    EXPECT_EQ(unseen.find("CAP_SYS_RAWIO"), std::string::npos) << unseen;
}

// The data pins turn round on a write of their own: floating before ~RD falls, driving only
// after it has risen, never in the same write as a strobe or CS.
TEST(DirectIoPort, TheDataPinsTurnRoundApartFromTheControlPins) {
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=io:0x378,2=none,3=none"));
    RecordingIo io;
    vanlpt::testing::Use_Device_Calls(nullptr, &io);
    ASSERT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
    Set_DUT_WR_Pin(1, 0);
    Set_DUT_RD_Pin(16, 0);
    Set_DUT_ADDR_Pin(14, 1);
    Set_DUT_CS_Pin(17, 1);
    Set_DUT_BUSY_Pin(15, 0);
    Set_Control(0x08);  // CS low: the next cycle raises it
    io.calls.clear();
    unsigned char value = 0;
    ASSERT_NE(Try_DUT_Register_Read(5, &value), 0) << Vanlpt_Last_Error();
    unsigned previous = 0x08;
    int turns = 0;
    for (const std::string& call : io.calls) {
        if (call.rfind("outb ", 0) != 0 || call.substr(call.size() - 3) != "37A") continue;
        const unsigned value_written = std::stoul(call.substr(5), nullptr, 16);
        const unsigned changed = previous ^ value_written;
        if (changed & 0x20) {
            ++turns;
            EXPECT_EQ(changed & 0x0F, 0u) << call;
        }
        previous = value_written;
    }
    EXPECT_EQ(turns, 2);  // floated for the read, driving again after it
    vanlpt::testing::Reset_Library();
}

TEST_F(PortSelection, EnvironmentOverridesSinglePorts) {
    RecordingDevice device;
    device.present.clear();
    vanlpt::testing::Reset_Library();
    vanlpt::testing::Use_Device_Calls(&device, nullptr);
    setenv("VANLPT_PORTS", "1=none,2=sim", 1);
    vanlpt::testing::Reload_Mapping_From_Environment();
    EXPECT_EQ(Select_LPT_123(1), 0);
    EXPECT_NE(Select_LPT_123(2), 0);
    EXPECT_STREQ(Vanlpt_Mapping_Problem(), "");
}

// With a real port present the default would send the program's writes to it: a mapping
// the user got wrong maps nothing until a port is mapped on purpose.
TEST_F(PortSelection, ABadEntryInTheEnvironmentMapsNoPortUntilOneIsMapped) {
    RecordingDevice device;
    device.present = {"/dev/parport0"};
    vanlpt::testing::Reset_Library();
    vanlpt::testing::Use_Device_Calls(&device, nullptr);
    setenv("VANLPT_PORTS", "1=Sim:x.osdex", 1);
    ::testing::internal::CaptureStderr();
    vanlpt::testing::Reload_Mapping_From_Environment();
    const std::string said = ::testing::internal::GetCapturedStderr();
    const std::string problem = Vanlpt_Mapping_Problem();
    EXPECT_NE(problem.find("\"1=Sim:x.osdex\""), std::string::npos) << problem;
    EXPECT_NE(problem.find("no port is mapped"), std::string::npos) << problem;
    EXPECT_EQ(said, "vanlpt: " + problem + "\n");
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(Select_LPT_123(n), 0) << n;
        EXPECT_EQ(std::string(Vanlpt_Port_Description(n)), "LPT" + std::to_string(n) + ": none");
    }
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find(problem), std::string::npos);
    EXPECT_TRUE(device.calls.empty()) << device.calls.front();
    ::testing::internal::CaptureStderr();
    const std::string told = Vanlpt_Check_Ports();  // the program's start-up box
    ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find(problem), std::string::npos) << told;

    ASSERT_NE(Vanlpt_Map_Port(1, "sim"), 0);
    EXPECT_STREQ(Vanlpt_Mapping_Problem(), "");
    EXPECT_NE(Select_LPT_123(1), 0);
}

TEST(PortMappingText, AStateFileMayWaitForAnotherProcess) {
    PortMapping m;
    std::string error;
    ASSERT_TRUE(vanlpt::Apply_Mapping_Text("1=sim:b.osdex?wait=5,2=sim:c?wait=0.25", &m, &error));
    EXPECT_EQ(m[0].device, "b.osdex");
    EXPECT_EQ(m[0].lock_wait_ms, 5000);
    EXPECT_EQ(m[1].lock_wait_ms, 250);
    ASSERT_TRUE(
        vanlpt::Apply_Mapping_Text("1=sim:b.osdex,2=sim:c?wait=.5,3=sim:d?wait=3600", &m, &error));
    EXPECT_EQ(m[0].lock_wait_ms, -1);  // the library's own setting
    EXPECT_EQ(m[1].lock_wait_ms, 500);
    EXPECT_EQ(m[2].lock_wait_ms, 3600000);
    EXPECT_EQ(vanlpt::Describe_Target(m[1]), "simulated board in c");
    for (const char* bad :
         {"1=sim:b?wait=", "1=sim:b?wait=-1", "1=sim:b?wait=1e3", "1=sim:b?wait=5.",
          "1=sim:b?wait=3600.001", "1=sim:b?wait=99999999999", "1=sim?wait=5", "1=sim:?wait=5",
          "1=sim:b?wait=5s", "1=sim:b?wait=nan"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(vanlpt::Apply_Mapping_Text(bad, &m, &error));
    }
}

// Text from the environment reaches messages printable and bounded, and no message names
// its port twice.
TEST_F(PortSelection, MessagesShowOutsideTextSafelyAndNameThePortOnce) {
    std::string error;
    const std::string entry = "1=\x1b]0;owned\x07" + std::string(5000, 'a');
    EXPECT_FALSE(vanlpt::testing::Reset_Library(entry, &error));
    EXPECT_EQ(error.find('\x1b'), std::string::npos) << error;
    EXPECT_NE(error.find("\\x1B]0;owned\\x07aaa"), std::string::npos) << error;
    EXPECT_NE(error.find("...\" (" + std::to_string(entry.size()) + " bytes)"), std::string::npos)
        << error;
    EXPECT_LT(error.size(), 600u) << error;

    ASSERT_TRUE(
        vanlpt::testing::Reset_Library("1=sim:/nonexistent-folder/b\x01.osdex,2=/dev/x\x1b"));
    EXPECT_STREQ(Vanlpt_Port_Description(1),
                 "LPT1: simulated board in /nonexistent-folder/b\\x01.osdex");
    EXPECT_STREQ(Vanlpt_Port_Description(2), "LPT2: /dev/x\\x1B (ppdev)");
    RecordingDevice device;
    device.open_error = ENOENT;
    vanlpt::testing::Use_Device_Calls(&device, nullptr);
    std::vector<std::string> told;
    for (int n = 1; n <= 3; ++n) {
        Select_LPT_123(n);
        told.push_back(Vanlpt_Last_Error());
    }
    EXPECT_EQ(Vanlpt_Channel_Frame(0, 0, nullptr, nullptr), 0);
    told.push_back(Vanlpt_Last_Error());
    ::testing::internal::CaptureStderr();
    told.push_back(Vanlpt_Check_Ports());
    told.push_back(::testing::internal::GetCapturedStderr());
    for (const std::string& text : told) {
        EXPECT_EQ(text.find("LPT1: LPT1"), std::string::npos) << text;
        EXPECT_EQ(text.find("LPT2: LPT2"), std::string::npos) << text;
        EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
        EXPECT_EQ(text.find('\x01'), std::string::npos) << text;
    }
    EXPECT_NE(told[0].find("b\\x01.osdex"), std::string::npos) << told[0];
}

TEST_F(PortSelection, TheProgramsNameStartsTheLibrarysMessages) {
    Vanlpt_Set_Program_Name("osdex");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(vanlpt::testing::Reset_Library("1=nonsense"));  // forgets the name again
    setenv("VANLPT_PORTS", "1=nonsense", 1);
    Vanlpt_Set_Program_Name("osdex");
    vanlpt::testing::Reload_Mapping_From_Environment();
    Vanlpt_Set_Program_Name(nullptr);
    vanlpt::testing::Reset_Library();
    Vanlpt_Set_Program_Name("");
    vanlpt::testing::Reload_Mapping_From_Environment();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("osdex: bad entry \"1=nonsense\"", 0), 0u) << said;
    EXPECT_NE(said.find("\nvanlpt: bad entry \"1=nonsense\""), std::string::npos) << said;
}

TEST_F(PortSelection, FailedSelectLeavesNoPortAndSaysWhy) {
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim"));
    ASSERT_NE(Select_LPT_123(1), 0);
    EXPECT_STREQ(Vanlpt_Last_Error(), "");
    EXPECT_EQ(Select_LPT_123(2), 0);
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("LPT2"), std::string::npos);
    EXPECT_EQ(Select_LPT_123(4), 0);
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("LPT4"), std::string::npos);
    EXPECT_EQ(Select_LPT_123(0), 0);
    EXPECT_EQ(Get_Status(), 0);  // no port: reads give 0
}

TEST_F(PortSelection, BoardKeepsItsStateAcrossSelections) {
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim"));
    board::SimulatedBoard* board = vanlpt::testing::Simulated_Board(1);
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->Chip().Register(7), 128);  // powered up
    board->Chip().Set_Register(7, 55);
    Select_LPT_123(1);
    Select_LPT_123(3);
    Select_LPT_123(1);
    EXPECT_EQ(vanlpt::testing::Simulated_Board(1), board);
    EXPECT_EQ(board->Chip().Register(7), 55);

    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim"));
    EXPECT_EQ(vanlpt::testing::Simulated_Board(1)->Chip().Register(7), 128);
}

TEST_F(PortSelection, LoopbackOnTheBoardAndNotOnAnEmptyCable) {
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim,2=unplugged"));
    EXPECT_EQ(vanlpt::testing::Simulated_Board(2), nullptr);
    ASSERT_NE(vanlpt::testing::Simulated_Port(2), nullptr);
    for (int port : {1, 2}) {
        SCOPED_TRACE(port);
        ASSERT_NE(Select_LPT_123(port), 0);
        Set_Control(4);
        DirectWritePrinterPin(9, 0);
        int low = DirectReadPrinterPin(10);
        DirectWritePrinterPin(9, 1);
        int high = DirectReadPrinterPin(10);
        EXPECT_EQ(low == 0 && high == 1, port == 1);
        EXPECT_EQ(DirectReadPrinterPin(9), 1);
    }
}

TEST_F(PortSelection, DirectIoOnlyWhenNamedAndWithinItsRange) {
    RecordingIo io;
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=io:0x378"));
    vanlpt::testing::Use_Device_Calls(nullptr, &io);
    ASSERT_NE(Select_LPT_123(1), 0);
    EXPECT_EQ(io.calls[0], "ioperm 378 11 on");
    EXPECT_EQ(io.calls[1], "ioperm 778 3 on");
    io.calls.clear();
    Set_Register(0x402, 0x30);
    Set_Control(0x24);
    ::testing::internal::CaptureStderr();
    Set_Register(0x800, 1);  // outside what was opened: refused, not written
    ::testing::internal::GetCapturedStderr();
    // The data pins float on a write of their own before the strobe pins move.
    EXPECT_EQ(io.calls, (std::vector<std::string>{"outb 30 77A", "outb 28 37A", "outb 24 37A"}));

    io.error = EPERM;
    Select_LPT_123(2);
    EXPECT_EQ(Select_LPT_123(1), 0);
    const std::string refused = Vanlpt_Last_Error();  // the remedy depends on this machine
    EXPECT_NE(refused.find("I/O ports at 0x378"), std::string::npos) << refused;
}

TEST(Version, OneLineNamingTheBackends) {
    std::string text = Get_VANLPT_DLL_Version();
    EXPECT_EQ(text.rfind("vanlpt 1.0 for Linux (simulated board, ppdev", 0), 0u) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos);
}

}  // namespace
