// The board server's arbitration without sockets or wall time: the test's clock decides
// when a quiet holder has been idle long enough, when a wait has run out, and who is served.
#include "cli/board_server.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

constexpr const char* Bus_Line = "bus 1:0 16:0 14:1 17:1 15:0 10000 32\n";

class BoardServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim"));
        ASSERT_NE(Select_LPT_123(1), 0);
        Set_Register(0x402, 0x30);  // byte mode, so that reads see the chip
        a_ = Client();
        b_ = Client();
    }
    void TearDown() override { vanlpt::testing::Reset_Library(); }

    int Client() {
        const int id = server_.Add_Client({});
        server_.Take_Output(id);  // the greeting
        server_.Receive(id, Bus_Line);
        EXPECT_EQ(server_.Take_Output(id), "ok\n");
        return id;
    }
    std::string Ask(int client, const std::string& line) {
        server_.Receive(client, line + "\n");
        return server_.Take_Output(client);
    }
    void At(std::int64_t ms) {
        now_ = ms;
        server_.Tick();
    }

    std::int64_t now_ = 0;
    BoardServer server_{[this] { return now_; }, 30, "LPT1: simulated board", true};
    int a_ = 0, b_ = 0;
};

TEST_F(BoardServerTest, AQuietHolderLetsGoAfterTheIdleTimeAndTheWaitingClientIsServed) {
    EXPECT_EQ(Ask(a_, "wrreg 7 1").rfind("ok busy=", 0), 0u);
    EXPECT_EQ(server_.Holder(), a_);
    EXPECT_EQ(Ask(b_, "rdreg 7"), "");  // waits
    EXPECT_EQ(server_.Next_Deadline(), 30);
    At(29);
    EXPECT_EQ(server_.Holder(), a_);
    EXPECT_EQ(server_.Take_Output(b_), "");
    // Activity moves the idle time on.
    EXPECT_EQ(Ask(a_, "wrreg 7 2").rfind("ok busy=", 0), 0u);
    At(58);
    EXPECT_EQ(server_.Holder(), a_);
    At(59);
    EXPECT_EQ(server_.Holder(), b_);
    const std::string answer = server_.Take_Output(b_);
    EXPECT_EQ(answer.substr(answer.rfind(' ') + 1), "2\n");
}

TEST_F(BoardServerTest, AHoldOutlastsTheIdleTimeUntilReleased) {
    EXPECT_EQ(Ask(a_, "hold"), "ok held\n");
    EXPECT_EQ(Ask(a_, "wrreg 7 3").rfind("ok busy=", 0), 0u);
    EXPECT_EQ(Ask(b_, "rdreg 7"), "");
    EXPECT_EQ(server_.Next_Deadline(), -1);  // nothing to wait for but input
    At(100000);
    EXPECT_EQ(server_.Holder(), a_);
    EXPECT_EQ(Ask(a_, "release"), "ok released\n");
    EXPECT_EQ(server_.Holder(), b_);
    const std::string answer = server_.Take_Output(b_);
    EXPECT_EQ(answer.substr(answer.rfind(' ') + 1), "3\n");
}

TEST_F(BoardServerTest, AWaitThatRunsOutIsRefusedNamingTheHolderAndTheClientGoesOn) {
    EXPECT_EQ(Ask(a_, "client bench-script 42 ann"), "ok\n");
    EXPECT_EQ(Ask(a_, "hold"), "ok held\n");
    EXPECT_EQ(Ask(b_, "wait 200"), "ok\n");
    now_ = 10;
    EXPECT_EQ(Ask(b_, "rdreg 7"), "");
    EXPECT_EQ(server_.Next_Deadline(), 210);
    At(209);
    EXPECT_EQ(server_.Take_Output(b_), "");
    At(210);
    EXPECT_EQ(server_.Take_Output(b_).rfind("error the board is still held after waiting 0.2 s, "
                                            "by bench-script (pid 42, user ann, since ",
                                            0),
              0u);
    // A client that goes away lets go of everything: the next one is served at once.
    server_.Remove_Client(a_);
    EXPECT_EQ(Ask(b_, "rdreg 7").rfind("ok busy=", 0), 0u);
    EXPECT_EQ(server_.Holder(), b_);
}

}  // namespace
