// The real `osdex serve` with several real clients at once: the text protocol from a plain
// socket, drawings that never mix, a holder named to a client that waits, a client killed
// while it holds the board, the served board file saved on SIGTERM, TCP beyond the loopback
// only when allowed, and the register cache of a client after another one wrote.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "chip/board_snapshot.h"
#include "chip/channel_memory.h"
#include "chip/register_bus.h"
#include "port/port_state.h"
#include "run_osdex.h"
#include "vanlpt/board_state.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

namespace fs = std::filesystem;

// A plain client, as socat or nc would be.
class LineSocket {
public:
    bool Connect(const std::string& path) {
        fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        return connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~LineSocket() {
        if (fd_ >= 0) close(fd_);
    }
    void Send(const std::string& text) {
        ASSERT_EQ(write(fd_, text.data(), text.size()), (ssize_t)text.size());
    }
    // The next line; "" at the end of the stream.
    std::string Line() {
        std::size_t end;
        while ((end = buffer_.find('\n')) == std::string::npos) {
            char chunk[4096];
            const ssize_t n = read(fd_, chunk, sizeof chunk);
            if (n <= 0) return "";
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
        std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        return line;
    }
    std::string Ask(const std::string& line) {
        Send(line + "\n");
        return Line();
    }
    // A request with its payload, whose size it names.
    std::string Ask_Bulk(const std::string& verb, const std::string& payload) {
        Send(verb + " " + std::to_string(payload.size()) + "\n" + payload);
        return Line();
    }
    // The next count bytes of a payload.
    std::string Bytes(std::size_t count) {
        while (buffer_.size() < count) {
            char chunk[4096];
            const ssize_t n = read(fd_, chunk, sizeof chunk);
            if (n <= 0) break;
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
        std::string bytes = buffer_.substr(0, count);
        buffer_.erase(0, bytes.size());
        return bytes;
    }

private:
    int fd_ = -1;
    std::string buffer_;
};

class ServeTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("osdex-serve-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        socket_ = (folder_ / "board.sock").string();
        board_file_ = (folder_ / "bench.osdex").string();
    }
    void TearDown() override {
        if (server_.pid > 0 && Osdex_Running(server_)) {
            kill(server_.pid, SIGKILL);
            Wait_Osdex_Program(server_);
        }
        fs::remove_all(folder_);
    }

    // The server on the board file, once it answers on its socket.
    void Start_Server(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"--port", "sim:" + board_file_, "serve", "--listen",
                                         "unix:" + socket_};
        args.insert(args.end(), extra.begin(), extra.end());
        server_ = Start_Osdex_Program(args);
        for (int i = 0; i < 1000; ++i) {
            LineSocket probe;
            if (probe.Connect(socket_)) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        FAIL() << "the server did not come up: " << File_Bytes(server_.err_path);
    }

    OsdexRun Stop_Server() {
        kill(server_.pid, SIGTERM);
        return Wait_Osdex_Program(server_);
    }

    std::string Port() const { return "unix:" + socket_; }

    std::string Write_File(const std::string& name, const std::string& text) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path) << text;
        return path;
    }

    fs::path folder_;
    std::string socket_, board_file_;
    StartedOsdex server_;
};

TEST_F(ServeTest, APersonTypesTheProtocolOnAPlainSocket) {
    Start_Server();
    LineSocket s;
    ASSERT_TRUE(s.Connect(socket_));
    EXPECT_EQ(s.Line().rfind("osdex-board 1 idle=30 extras LPT1: simulated board in ", 0), 0u);
    EXPECT_EQ(s.Ask("bus 1:0 16:0 14:1 17:1 15:0 10000 32"), "ok");
    EXPECT_EQ(s.Ask("setreg 0x402 0x30"), "ok");  // byte mode: reads see the chip
    EXPECT_EQ(s.Ask("wrreg ch1.HOFFSET 136").rfind("ok busy=", 0), 0u);
    const std::string read = s.Ask("rdreg 23");
    EXPECT_EQ(read.substr(read.rfind(' ') + 1), "136");
    // Mistakes are answered, and the connection stays.
    EXPECT_EQ(s.Ask("wrreg 7").rfind("error bad request", 0), 0u);
    EXPECT_EQ(s.Ask("rdreg ch1.NOSUCH").rfind("error ", 0), 0u);
    EXPECT_EQ(s.Ask("frobnicate").rfind("error unknown request", 0), 0u);
    EXPECT_EQ(s.Ask("who").rfind("ok held by ", 0), 0u);
    // A whole batch as one request, its payload counted in bytes.
    const std::string batch = "wrreg 24 140\nrdreg 24\n";
    EXPECT_EQ(
        s.Ask("batch " + std::to_string(batch.size()) + "\n" + batch.substr(0, batch.size() - 1)),
        "ok ran=2 busy=2 read=140");
    // A line longer than 4 KiB ends the connection.
    s.Send(std::string(5000, 'x') + "\n");
    EXPECT_EQ(s.Line().rfind("error a request longer than 4096 bytes", 0), 0u);
    EXPECT_EQ(s.Line(), "");
}

TEST_F(ServeTest, AListOfCyclesIsOneRequestAnsweredWithTheValuesRead) {
    Start_Server();
    LineSocket s;
    ASSERT_TRUE(s.Connect(socket_));
    s.Line();
    EXPECT_EQ(s.Ask("bus 1:0 16:0 14:1 17:1 15:0 50 32"), "ok");
    EXPECT_EQ(s.Ask("setreg 0x402 0x30"), "ok");
    // Three bytes a transaction: read flag, address, data.
    const std::string cycles("\0\x18\x8c\1\x18\0\0\x19\x07\1\x19\0", 12);
    const std::string answer = s.Ask_Bulk("cycles", cycles);
    EXPECT_EQ(answer.rfind("ok ran=4 busy=", 0), 0u) << answer;
    EXPECT_EQ(answer.substr(answer.rfind(' ') + 1), "2");
    EXPECT_EQ(s.Bytes(2), std::string("\x8c\x07"));
    // Checked whole before anything is sent; the connection stays.
    EXPECT_EQ(s.Ask_Bulk("cycles", std::string("\0\x18\1\2\x18\0", 6))
                  .rfind("error transaction 2 of the cycles has the flag 2", 0),
              0u);
    EXPECT_EQ(s.Ask_Bulk("cycles", std::string("\1\x18\0\0", 4))
                  .rfind("error a cycles payload is three bytes a transaction", 0),
              0u);
    const std::string read = s.Ask("rdreg 24");
    EXPECT_EQ(read.substr(read.rfind(' ') + 1), "140");
    EXPECT_EQ(s.Ask("fault 3 1"), "ok");  // stuck busy: the first cycle fails, and says so
    EXPECT_EQ(s.Ask_Bulk("cycles", std::string("\1\x18\0", 3)).rfind("error step=1 busy=", 0), 0u);
}

// Both draw through the multi-channel bank, whose address registers are shared: only if no
// transaction of one comes between the other's do both pictures come out exact.
std::string Multi_Bank_Drawing(int channel, int first_line, int lines) {
    std::string text = "wrreg 135 8\n";  // CONTROL: advance the column after each MWRITE
    for (int line = first_line; line < first_line + lines; ++line) {
        text += "wrreg 131 " + std::to_string(line >> 8) + "\nwrreg 132 " +
                std::to_string(line & 255) + "\nwrreg 130 0\n";
        for (int q = 0; q < 178; ++q)
            text += "wrreg 128 " + std::to_string((q + channel) & 255) + "\nwrreg 129 " +
                    std::to_string(line & 255) + "\nwrreg 134 " + std::to_string(1 << channel) +
                    "\n";
    }
    return text;
}

TEST_F(ServeTest, TwoReplaysAtOnceThroughTheMultiBankBothEndExactAndTheFileIsSavedOnSigterm) {
    Start_Server();
    const std::string a = Write_File("a.bat", Multi_Bank_Drawing(2, 0, 40));
    const std::string b = Write_File("b.bat", Multi_Bank_Drawing(5, 100, 40));
    StartedOsdex first = Start_Osdex_Program({"--port", Port(), "--hold", "replay", a});
    StartedOsdex second = Start_Osdex_Program({"--port", Port(), "--hold", "replay", b});
    const OsdexRun one = Wait_Osdex_Program(first);
    const OsdexRun two = Wait_Osdex_Program(second);
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(two.status, 0) << two.err;
    const OsdexRun server = Stop_Server();
    EXPECT_EQ(server.status, 0) << server.err;
    EXPECT_NE(server.err.find("stopped by SIGTERM"), std::string::npos);
    vanlpt::BoardState state;
    std::string error;
    ASSERT_TRUE(vanlpt::Decode_Board_State(File_Bytes(board_file_), &state, &error)) << error;
    int wrong = 0;
    for (int line = 0; line < 40; ++line)
        for (int q = 0; q < 178; ++q) {
            wrong += state.Quad(2, line, q) != (((q + 2) & 255) << 8 | line);
            wrong += state.Quad(5, 100 + line, q) != (((q + 5) & 255) << 8 | ((100 + line) & 255));
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(ServeTest, AClientThatWaitsIsToldWhoHoldsTheBoard) {
    Start_Server();
    LineSocket holder;
    ASSERT_TRUE(holder.Connect(socket_));
    holder.Line();
    EXPECT_EQ(holder.Ask("client bench-script 1 nobody"), "ok");
    EXPECT_EQ(holder.Ask("hold"), "ok held");
    const OsdexRun waiter = Run_Osdex_Program({"--port", Port(), "--wait", "0.2", "read", "7"});
    EXPECT_EQ(waiter.status, 1);
    EXPECT_NE(waiter.err.find("held after waiting 0.2 s, by bench-script (pid " +
                              std::to_string(getpid())),
              std::string::npos)
        << waiter.err;
    // Let go, and the next one is served.
    EXPECT_EQ(holder.Ask("release"), "ok released");
    EXPECT_EQ(Run_Osdex_Program({"--port", Port(), "--wait", "5", "read", "7"}).status, 0);
}

TEST_F(ServeTest, AClientKilledWhileItHoldsTheBoardLetsGoOfIt) {
    Start_Server();
    const std::string big = Write_File("big.bat", Multi_Bank_Drawing(1, 0, 400));
    StartedOsdex killed = Start_Osdex_Program({"--port", Port(), "--hold", "replay", big});
    LineSocket watcher;
    ASSERT_TRUE(watcher.Connect(socket_));
    watcher.Line();
    std::string who;
    for (int i = 0; i < 2000 && who.find("osdex") == std::string::npos; ++i) {
        who = watcher.Ask("who");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_NE(who.find("held by osdex"), std::string::npos) << who;
    kill(killed.pid, SIGKILL);
    Wait_Osdex_Program(killed);
    const OsdexRun next = Run_Osdex_Program({"--port", Port(), "--wait", "30", "write", "7", "9"});
    EXPECT_EQ(next.status, 0) << next.err;
    EXPECT_EQ(watcher.Ask("who"), "ok nobody");
}

TEST_F(ServeTest, TcpBeyondTheLoopbackOnlyWithAllowRemote) {
    const OsdexRun refused =
        Run_Osdex_Program({"--port", "sim", "serve", "--listen", "tcp:*:47391"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("no authentication"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("--allow-remote"), std::string::npos);

    server_ = Start_Osdex_Program(
        {"--port", "sim", "serve", "--listen", "tcp:*:47391", "--allow-remote"});
    OsdexRun read;
    for (int i = 0; i < 500; ++i) {
        read = Run_Osdex_Program({"--port", "tcp:127.0.0.1:47391", "write", "7", "77"});
        if (read.status == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(Run_Osdex_Program({"--port", "tcp::47391", "read", "7"}).out, "77\n");
}

// The program's side: the chip layer in this process on the served board.
class ServedCacheTest : public ServeTest {
protected:
    void SetUp() override {
        ServeTest::SetUp();
        Start_Server();
        vanlpt::testing::Reset_Library("1=" + Port());
        Reset_Register_Bus_State();
        ASSERT_TRUE(Select_LPT_123(1)) << Vanlpt_Last_Error();
        Set_Register(0x402, 0x30);
        Init_DUT_Bus();
    }
    void TearDown() override {
        vanlpt::testing::Reset_Library();
        ServeTest::TearDown();
    }
};

TEST_F(ServedCacheTest, AWriteOfAnotherClientIsNeverDroppedAsAlreadyCached) {
    Write_Register(23, 5);
    const std::int32_t sent = num_reg_writes;
    Write_Register(23, 5);
    EXPECT_EQ(num_reg_writes, sent);  // the cache drops what the chip holds
    ASSERT_EQ(Run_Osdex_Program({"--port", Port(), "write", "23", "9"}).status, 0);
    Write_Register(23, 5);
    EXPECT_EQ(num_reg_writes, sent + 1);
    EXPECT_EQ(Read_Register(23), 5);
    EXPECT_EQ(num_busy_timeout_errors, 0);
}

TEST_F(ServedCacheTest, AChannelPictureAndTheBoardReadBackExactInAFewRequests) {
    std::vector<std::uint8_t> picture(Channel_Levels);
    for (std::size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<std::uint8_t>((i * 7 + i / 712) & 15);
    ASSERT_EQ(Write_Channel_Levels(3, picture), std::nullopt);
    unsigned long before = vanlpt::testing::Server_Requests(1);
    std::vector<std::uint8_t> back(Channel_Levels);
    ASSERT_EQ(Read_Channel_Levels(3, back), std::nullopt);
    // One request for the memory, and a few for the registers the read-back moves; one a
    // transaction would be some 270,000.
    EXPECT_LT(vanlpt::testing::Server_Requests(1) - before, 20u);
    EXPECT_TRUE(back == picture);

    before = vanlpt::testing::Server_Requests(1);
    vanlpt::BoardState state;
    ASSERT_TRUE(Read_Board_Snapshot(&state));
    EXPECT_LT(vanlpt::testing::Server_Requests(1) - before, 60u);
    EXPECT_EQ(state.Quad(3, 100, 5), (picture[100 * 712 + 20] << 12 | picture[100 * 712 + 21] << 8 |
                                      picture[100 * 712 + 22] << 4 | picture[100 * 712 + 23]));
    EXPECT_EQ(num_busy_timeout_errors, 0);
}

TEST_F(ServedCacheTest, AServerThatDiesFailsTheNextTransaction) {
    EXPECT_EQ(Try_DUT_Register_Write(7, 1), 1);
    kill(server_.pid, SIGKILL);
    Wait_Osdex_Program(server_);
    EXPECT_EQ(Try_DUT_Register_Write(7, 2), 0);
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("the board server at unix:"),
              std::string::npos);
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("is gone"), std::string::npos);
    std::uint8_t value = 0;
    EXPECT_EQ(Try_DUT_Register_Read(7, &value), 0);
}

}  // namespace
