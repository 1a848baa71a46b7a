// `osdex` at the edges, as scripts meet it: signals and a reader that goes away, the exit
// status of each kind of failure, bad usage that must leave no file behind, messages bounded
// whatever the input, and batch files as people write them.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <csignal>
#include <fstream>

#include <gtest/gtest.h>

#include "run_osdex.h"

namespace {

class OsdexEdges : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const {
        return folder.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string File(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }
    std::string Board() const { return "--port=sim:" + Path("board.osdex"); }
    // Register 7 (HOFFSET of channel 0) of the board kept in board.osdex.
    std::string Hoffset() const { return Run_Osdex_Program({Board(), "read", "7"}).out; }
    bool Exists(const std::string& name) const { return access(Path(name).c_str(), F_OK) == 0; }

    QTemporaryDir folder;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A replay long enough to be stopped in its middle: half a million reads and writes.
std::string Long_Batch() {
    std::string text;
    for (int i = 0; i < 250000; ++i)
        text += i % 2 ? "wrreg 7 42\nrdreg 7\n" : "wrreg 7 41\nrdreg 7\n";
    return text + "wrreg 7 99\n";
}

// Everything left to read from fd, until its writer closes it.
std::string Read_Until_End(int fd) {
    std::string text;
    char buffer[65536];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;)
        if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
    return text;
}

TEST_F(OsdexEdges, StopSignalsEndAReplayAtTheNextAccessAndSaveTheBoard) {
    const std::string batch = File("long.bat", Long_Batch());
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        ASSERT_EQ(Run_Osdex_Program({Board(), "write", "7", "1"}).status, 0);
        int pipe_fds[2];
        ASSERT_EQ(pipe(pipe_fds), 0);
        StartedOsdex started = Start_Osdex_Program({Board(), "replay", batch}, {}, pipe_fds[1]);
        close(pipe_fds[1]);
        // The first results are out: the replay is under way, far from its end.
        char first[1];
        ASSERT_EQ(read(pipe_fds[0], first, 1), 1);
        kill(started.pid, signal);
        const std::string results = first[0] + Read_Until_End(pipe_fds[0]);
        close(pipe_fds[0]);
        const OsdexRun run = Wait_Osdex_Program(started);
        EXPECT_EQ(started.signal, 0) << "killed instead of stopping";
        EXPECT_EQ(run.status, 128 + signal) << run.err;
        EXPECT_TRUE(Contains(run.err, "stopped after")) << run.err;
        EXPECT_TRUE(Contains(run.err, "stopped by SIG")) << run.err;
        EXPECT_EQ(results.rfind("rdreg 7 => 4", 0), 0u) << results.substr(0, 40);
        // What the replay wrote before the stop is in the file; the last write never ran.
        const std::string after = Hoffset();
        EXPECT_TRUE(after == "41\n" || after == "42\n") << after;
    }
}

TEST_F(OsdexEdges, AReaderThatGoesAwayIsAnOutputErrorAfterTheBoardIsSaved) {
    std::string many_reads;
    for (int i = 0; i < 20000; ++i) many_reads += "rdreg 7\n";
    // A few results go out at the end; many go out in chunks while the replay runs.
    for (const std::string& reads : {std::string("rdreg 7\nrdreg 8\n"), many_reads}) {
        const std::string batch = File("reads.bat", "wrreg 7 77\n" + reads);
        int pipe_fds[2];
        ASSERT_EQ(pipe(pipe_fds), 0);
        close(pipe_fds[0]);  // as head -1 after its line: nobody reads any more
        StartedOsdex started = Start_Osdex_Program({Board(), "replay", batch}, {}, pipe_fds[1]);
        close(pipe_fds[1]);
        const OsdexRun run = Wait_Osdex_Program(started);
        EXPECT_EQ(started.signal, 0) << "ended by SIGPIPE";
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(Contains(run.err, "osdex: cannot write the output: Broken pipe")) << run.err;
        EXPECT_EQ(Hoffset(), "77\n");
        ASSERT_EQ(Run_Osdex_Program({Board(), "write", "7", "1"}).status, 0);
    }
}

TEST_F(OsdexEdges, BadUsageOpensNoPortAndMakesNoFile) {
    const std::string board = "--port=sim:" + Path("new.osdex");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{board, "read", "999"},
          {board, "write", "7", "x"},
          {board, "--wait", "soon", "read", "7"},
          {board, "replay", Path("absent.bat")},
          {board, "memory", "save", "9", Path("x.png")},
          {board, "memory", "save", "0", Path("no/such/folder/x.png")},
          {board, "state", "save", Path("no/such/folder/x.osdex")}}) {
        const OsdexRun run = Run_Osdex_Program(args);
        EXPECT_EQ(run.status, 2) << args[1] << ": " << run.err;
        EXPECT_TRUE(Contains(run.err, "osdex: ")) << run.err;
    }
    EXPECT_FALSE(Exists("new.osdex"));
    EXPECT_FALSE(Exists("new.osdex.lock"));
}

TEST_F(OsdexEdges, ADamagedBoardFileIsBadInput) {
    File("board.osdex", "this is no board state\n");
    const OsdexRun run = Run_Osdex_Program({Board(), "read", "7"});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(File_Bytes(Path("board.osdex")), "this is no board state\n");  // untouched
}

TEST_F(OsdexEdges, ABadPortMappingInTheEnvironmentSendsNothing) {
    const OsdexRun run =
        Run_Osdex_Program({"write", "7", "42"}, "", {"VANLPT_PORTS=1=Sim:" + Path("x.osdex")});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_TRUE(Contains(run.err, "osdex: ")) << run.err;
    EXPECT_TRUE(Contains(run.err, "nothing was sent")) << run.err;
    EXPECT_EQ(run.err.find("bad entry"), run.err.rfind("bad entry")) << "told twice";
    EXPECT_FALSE(Exists("x.osdex"));
}

TEST_F(OsdexEdges, MessagesNameLPT1OnceAndStartWithOsdex) {
    for (const char* target : {"none", "/dev/parport-osdex-test-absent"}) {
        const OsdexRun run = Run_Osdex_Program({"--port", target, "read", "7"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.rfind("osdex: ", 0), 0u) << run.err;
        EXPECT_EQ(run.err.find("LPT1"), run.err.rfind("LPT1")) << run.err;
    }
    OsdexRun run = Run_Osdex_Program({"--port", "sim", "read", "7"});
    run = Run_Osdex_Program({"--port", "serial0", "read", "7"});
    EXPECT_TRUE(Contains(run.err, "sim:FILE")) << run.err;
    const std::string batch = File("bad.bat", "wrreg 7 1\nrdreg x\n");
    run = Run_Osdex_Program({"--port", "sim", "replay", batch});
    EXPECT_EQ(run.err.rfind("osdex: " + batch + ":2: ", 0), 0u) << run.err;
}

TEST_F(OsdexEdges, MessagesStayShortAndPrintableWhateverTheInput) {
    const std::string huge_token(1 << 20, '7');
    const std::string batch = File("huge.bat", "wrreg 7 " + huge_token + "\n");
    OsdexRun run = Run_Osdex_Program({"--port", "sim", "replay", batch});
    EXPECT_EQ(run.status, 2);
    EXPECT_LT(run.err.size(), 400u) << run.err.substr(0, 400);
    EXPECT_TRUE(Contains(run.err, "(1048576 bytes)")) << run.err.substr(0, 400);

    const std::string escapes = File("esc.bat", "\x1b]0;owned\x07 7\n");
    run = Run_Osdex_Program({"--port", "sim", "replay", escapes});
    EXPECT_EQ(run.status, 2);
    EXPECT_FALSE(Contains(run.err, "\x1b")) << run.err;
    EXPECT_TRUE(Contains(run.err, "\\x1B]0;owned\\x07")) << run.err;

    run = Run_Osdex_Program({"--port", "sim", "read", "\x1b[2J" + std::string(5000, '1')});
    EXPECT_EQ(run.status, 2);
    EXPECT_LT(run.err.size(), 400u);
    EXPECT_FALSE(Contains(run.err, "\x1b")) << run.err;

    run = Run_Osdex_Program({"--port", "sim", "--frobnicate=\x1b[2J" + std::string(5000, 'x')});
    EXPECT_EQ(run.status, 2);
    EXPECT_LT(run.err.size(), 600u) << run.err;
    EXPECT_FALSE(Contains(run.err, "\x1b")) << run.err;
}

TEST_F(OsdexEdges, BatchFilesAsPeopleWriteThem) {
    const std::string batch = File("hand.bat",
                                   "\xEF\xBB\xBF# set the offset of channel 0\n"
                                   "\n"
                                   "WRREG 7 140   # centred\n"
                                   "  # a comment after blanks\n"
                                   "RdReg 7\n");
    const OsdexRun run = Run_Osdex_Program({"--port", "sim", "replay", batch});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "rdreg 7 => 140\n");
}

TEST_F(OsdexEdges, ATornLastLineIsNamedAndCanBeLeftOut) {
    const std::string batch = File("torn.bat", "wrreg 7 140\r\nrdreg 7\r\nwrreg 7 1");
    OsdexRun run = Run_Osdex_Program({Board(), "replay", batch});
    EXPECT_EQ(run.status, 0) << run.err;  // a whole command, even without its line end
    File("torn.bat", "wrreg 7 140\r\nrdreg 7\r\nwrre");
    run = Run_Osdex_Program({Board(), "replay", batch});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(run.err, ":3: the last line is torn")) << run.err;
    EXPECT_TRUE(Contains(run.err, "--ignore-torn-end")) << run.err;
    EXPECT_EQ(Hoffset(), "1\n");  // nothing was sent

    run = Run_Osdex_Program({Board(), "replay", "--ignore-torn-end", batch});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "rdreg 7 => 140\n");
    EXPECT_TRUE(Contains(run.err, ":3: the torn last line is left out")) << run.err;

    // A bad line in the middle is no torn end: the option does not hide it.
    File("torn.bat", "wrreg 7 140\nwrre\nrdreg 7");
    run = Run_Osdex_Program({Board(), "replay", "--ignore-torn-end", batch});
    EXPECT_EQ(run.status, 2) << run.err;
}

// A full disk, where this machine lets the test mount a small one (as root).
class FullDisk : public OsdexEdges {
protected:
    void SetUp() override {
        disk = Path("disk");
        mkdir(disk.c_str(), 0755);
        if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a small tmpfs here (not root)";
        mounted = true;
        // Filled to the last byte: even a small picture finds no room.
        std::ofstream filler(disk + "/filler", std::ios::binary);
        const std::string block(512, 'f');
        while (filler.write(block.data(), block.size()).flush()) {
        }
    }
    void TearDown() override {
        if (mounted) umount2(disk.c_str(), MNT_DETACH);
    }
    std::string disk;
    bool mounted = false;
};

TEST_F(FullDisk, AFullDiskIsAnOutputFailureAndLeavesNothingBehind) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"state", "save", disk + "/board.state"},
          {"memory", "save", "0", disk + "/channel0.png"}}) {
        std::vector<std::string> all = {"--port", "sim"};
        all.insert(all.end(), args.begin(), args.end());
        const OsdexRun run = Run_Osdex_Program(all);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_TRUE(Contains(run.err, "No space left on device")) << run.err;
    }
}

TEST_F(FullDisk, ABoardThatCannotBeWrittenBackIsReportedOnceWithStatusOne) {
    const std::string board = "--port=sim:" + disk + "/board.osdex";
    const OsdexRun run = Run_Osdex_Program({board, "write", "7", "42"});
    EXPECT_EQ(run.status, 1) << run.err;
    const std::string lost = "the board's state of this run is lost";
    ASSERT_TRUE(Contains(run.err, lost)) << run.err;
    EXPECT_EQ(run.err.find(lost), run.err.rfind(lost)) << "reported twice:\n" << run.err;
    EXPECT_EQ(run.err.rfind("osdex: ", 0), 0u) << run.err;
}

}  // namespace
