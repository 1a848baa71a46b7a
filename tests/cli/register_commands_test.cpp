// `osdex` as a user runs it: register writes, reads and batch replays on the simulated board,
// and every kind of bad input refused with exit status 2 before any port is opened.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "run_osdex.h"

namespace {

class OsdexCommands : public ::testing::Test {
protected:
    std::string File(const std::string& name, const std::string& text) {
        const std::string path = folder.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    QTemporaryDir folder;
};

// A port that cannot be opened: a command that got as far as the port would exit with 1.
const std::string No_Port = "--port=/dev/parport-osdex-test-absent";

TEST_F(OsdexCommands, ReplayRunsWritesAndPrintsEveryRead) {
    const std::string batch =
        File("session.bat", "wrreg 7 140\r\nrdreg 7\r\n\r\n  wrreg 0x18 0x22 \nrdreg 24\nrdreg 8");
    const OsdexRun run = Run_Osdex_Program({"--port", "sim", "replay", batch});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "rdreg 7 => 140\nrdreg 24 => 34\nrdreg 8 => 128\n");
    EXPECT_NE(run.err.find("5 register accesses"), std::string::npos) << run.err;

    const OsdexRun quiet = Run_Osdex_Program({"--port", "sim", "--quiet", "replay", batch});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
}

TEST_F(OsdexCommands, ReadPrintsDecimalAndWriteNothing) {
    OsdexRun run = Run_Osdex_Program({"--port", "sim", "read", "0x08"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "128\n");  // VOFFSET at power-up
    run = Run_Osdex_Program({"--port", "sim", "write", "7", "140"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(OsdexCommands, ABoardKeptInAFileLastsFromOneCommandToTheNext) {
    const std::string board = "--port=sim:" + folder.filePath("b.osdex").toStdString();
    EXPECT_EQ(Run_Osdex_Program({board, "write", "7", "140"}).status, 0);
    const OsdexRun run = Run_Osdex_Program({board, "read", "7"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "140\n");
}

TEST_F(OsdexCommands, RegistersByNameFieldsAndLineValues) {
    const std::string board = "--port=sim:" + folder.filePath("n.osdex").toStdString();
    EXPECT_EQ(Run_Osdex_Program({board, "write", "ch1.HOFFSET", "136"}).status, 0);
    EXPECT_EQ(Run_Osdex_Program({board, "read", "23"}).out, "136\n");
    EXPECT_EQ(Run_Osdex_Program({board, "write", "Ch0.Status.Blank", "1"}).status, 0);
    EXPECT_EQ(Run_Osdex_Program({board, "read", "ch0.STATUS"}).out, "2\n");
    EXPECT_EQ(Run_Osdex_Program({board, "write", "ch2.QPLINE", "300"}).status, 0);
    EXPECT_EQ(Run_Osdex_Program({board, "read", "ch2.QPLINEH"}).out, "1\n");
    EXPECT_EQ(Run_Osdex_Program({board, "read", "ch2.QPLINE"}).out, "300\n");

    const struct {
        std::vector<std::string> args;
        const char* message;
    } refused[] = {
        {{"read", "ch1.HOFSET"}, "nearest names are ch1.HOFFSET"},
        {{"write", "LOSALL", "1"}, "read-only"},
        {{"write", "ch0.STATUS.LOS", "1"}, "read-only"},
        {{"read", "ch3.COMMAND"}, "trigger"},
        {{"write", "ch0.STATUS.BLANK", "2"}, "0..1"},
        {{"write", "ch0.QPLINE", "512"}, "0..511"},
    };
    for (const auto& r : refused) {
        std::vector<std::string> args = {board};
        args.insert(args.end(), r.args.begin(), r.args.end());
        const OsdexRun run = Run_Osdex_Program(args);
        EXPECT_EQ(run.status, 2) << r.message;
        EXPECT_NE(run.err.find(r.message), std::string::npos) << run.err;
    }
    // By address, every register is sent as it is, triggers and read-only ones too.
    EXPECT_EQ(Run_Osdex_Program({board, "write", "133", "1"}).status, 0);
}

TEST_F(OsdexCommands, ARegisterDumpLoadsBackIntoAnotherBoard) {
    const std::string first = "--port=sim:" + folder.filePath("a.osdex").toStdString();
    const std::string second = "--port=sim:" + folder.filePath("b.osdex").toStdString();
    Run_Osdex_Program({first, "write", "ch5.VOFFSET", "99"});
    Run_Osdex_Program({first, "write", "CONTROL.HINC", "1"});
    const OsdexRun dump = Run_Osdex_Program({first, "registers", "dump"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_NE(dump.out.find("ch5.VOFFSET = 99\n"), std::string::npos) << dump.out;
    const std::string file = File("dump.txt", dump.out);
    const OsdexRun load = Run_Osdex_Program({second, "registers", "load", file});
    EXPECT_EQ(load.status, 0) << load.err;
    EXPECT_NE(load.err.find("left out 1 read-only or trigger"), std::string::npos) << load.err;
    EXPECT_EQ(Run_Osdex_Program({second, "registers", "dump"}).out, dump.out);

    const OsdexRun json = Run_Osdex_Program({first, "registers", "dump", "--json"});
    EXPECT_NE(json.out.find("\"ch5.VOFFSET\": 99,"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"CONTROL.HINC\": 1"), std::string::npos) << json.out;

    const std::string bad = File("bad.txt", "ch5.VOFFSET = 1\nch5.VOFSET = 2\n");
    const OsdexRun refused = Run_Osdex_Program({second, "registers", "load", bad});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("line 2"), std::string::npos) << refused.err;
    EXPECT_EQ(Run_Osdex_Program({second, "read", "ch5.VOFFSET"}).out, "99\n");
}

TEST_F(OsdexCommands, VerifyReportsWritesThatDoNotReadBack) {
    // COMMAND is a trigger and is never read back; HOFFSET is, and holds what was written.
    const std::string batch = File("ok.bat", "wrreg 7 3\nwrreg 6 0\n");
    EXPECT_EQ(Run_Osdex_Program({"--port", "sim", "replay", "--verify", batch}).status, 0);
}

TEST_F(OsdexCommands, WithoutABoardTheCommandFailsWithStatusOne) {
    const OsdexRun run = Run_Osdex_Program({"--port", "unplugged", "read", "7"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("no board answers"), std::string::npos) << run.err;

    const OsdexRun absent = Run_Osdex_Program({No_Port, "write", "7", "1"});
    EXPECT_EQ(absent.status, 1);
    EXPECT_NE(absent.err.find("does not exist"), std::string::npos) << absent.err;
}

TEST_F(OsdexCommands, BadInputIsRefusedWithStatusTwoBeforeThePortIsOpened) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string malformed = File("bad.bat", "wrreg 7 140\nrdreg 7 9\nwrreg 7 1\n");
    const std::string too_big = File("big.bat", "wrreg 7 256\n");
    const std::string unknown = File("unknown.bat", "\n\nwrite 7 1\n");
    const Case cases[] = {
        {{"replay", malformed}, "bad.bat:2: unexpected \"9\""},
        {{"replay", too_big}, "big.bat:1: bad register value \"256\""},
        {{"replay", unknown}, "unknown.bat:3: unknown command \"write\""},
        {{"replay", folder.filePath("missing.bat").toStdString()}, "No such file"},
        {{"replay", folder.path().toStdString()}, "not a regular file"},
        {{"read", "256"}, "bad register address \"256\""},
        {{"write", "7", "0x100"}, "bad value \"0x100\""},
        {{"write", "-1", "2"}, "bad register address \"-1\""},
        {{"frobnicate"}, "frobnicate"},
        {{"write", "7"}, "VALUE"},
        {{}, "a command is required"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {No_Port};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const OsdexRun run = Run_Osdex_Program(args);
        SCOPED_TRACE(c.message);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    const OsdexRun bad_port = Run_Osdex_Program({"--port", "serial0", "read", "1"});
    EXPECT_EQ(bad_port.status, 2);
    EXPECT_NE(bad_port.err.find("not a port target"), std::string::npos) << bad_port.err;
}

TEST_F(OsdexCommands, DoctorSaysWhetherTheBoardAnswers) {
    OsdexRun run = Run_Osdex_Program({"--port", "sim", "doctor"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    for (const char* part : {"LPT1: simulated board", "LPT2: ", "your groups: ", "direct I/O",
                             "a register write and read round-trip", "the board answers on LPT1"})
        EXPECT_NE(run.out.find(part), std::string::npos) << part << " in:\n" << run.out;
    // LPT1 chosen to be simulated: no advice for a real port the user does not want.
    EXPECT_EQ(run.out.find("modprobe"), std::string::npos) << run.out;
    run = Run_Osdex_Program({"--port", "unplugged", "doctor"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("problem: no board answers"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("fix: connect and power the board"), std::string::npos) << run.out;
}

// Each problem gets the fix that matches it, and a mapped port that cannot be used is named
// in the last line.
TEST_F(OsdexCommands, DoctorGivesEachProblemItsOwnFix) {
    for (const std::string& target : {std::string("/dev/null"), folder.path().toStdString()}) {
        const OsdexRun run = Run_Osdex_Program({"--port", target, "doctor"});
        EXPECT_EQ(run.status, 1) << run.out;
        EXPECT_NE(run.out.find("fix: name a port device"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("connect and power"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("not ready: 1 real port"), run.out.npos) << run.out;
    }
}

TEST_F(OsdexCommands, HelpAndVersionExitWithZero) {
    OsdexRun run = Run_Osdex_Program({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("osdex ", 0), 0u) << run.out;
    run = Run_Osdex_Program({"--help"});
    EXPECT_EQ(run.status, 0);
    for (const char* command :
         {"write", "read", "replay", "memory", "route", "state", "doctor", "--port"})
        EXPECT_NE(run.out.find(command), std::string::npos) << command;
    run = Run_Osdex_Program({"replay", "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--verify"), std::string::npos) << run.out;
}

}  // namespace
