// `osdex state save` and `state restore` as a user runs them, on simulated boards kept in
// files: a saved board restored on a fresh board saves to the same bytes, and a damaged file
// is refused before the port is opened.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "run_osdex.h"
#include "vanlpt/board_state.h"

namespace {

class OsdexState : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return folder.filePath(name).toStdString(); }
    std::string Board(const char* name) const { return "--port=sim:" + Path(name); }
    std::string Bytes(const char* name) const { return File_Bytes(Path(name)); }
    void Put(const char* name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    QTemporaryDir folder;
};

TEST_F(OsdexState, ARestoredBoardSavesToTheSameFile) {
    // Offsets, blanking, sharing, the multi bank and a few quads in two channels.
    Put("setup.bat",
        "wrreg 23 136\nwrreg 24 120\nwrreg 37 2\nwrreg 57 1\nwrreg 58 1\nwrreg 59 44\n"
        "wrreg 128 0x12\nwrreg 129 0x34\nwrreg 135 8\nwrreg 131 1\nwrreg 132 10\nwrreg 130 7\n"
        "wrreg 134 5\nwrreg 134 5\nwrreg 134 1\n");
    ASSERT_EQ(Run_Osdex_Program({Board("a.osdex"), "replay", Path("setup.bat")}).status, 0);
    OsdexRun run = Run_Osdex_Program({Board("a.osdex"), "state", "save", Path("first")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("bus cycles"), std::string::npos) << run.err;

    run = Run_Osdex_Program({Board("fresh.osdex"), "state", "restore", Path("first")});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Run_Osdex_Program({Board("fresh.osdex"), "--quiet", "state", "save", Path("second")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(Bytes("first") == Bytes("second"));

    vanlpt::BoardState state;
    std::string error;
    ASSERT_TRUE(vanlpt::Decode_Board_State(Bytes("second"), &state, &error)) << error;
    EXPECT_EQ(state.registers[23], 136);
    EXPECT_EQ(state.registers[37], 2);
    EXPECT_EQ(state.Quad(0, 266, 7), 0x1234);
    EXPECT_EQ(state.Quad(2, 266, 8), 0x1234);
    EXPECT_EQ(state.Quad(1, 266, 7), 0);
    EXPECT_TRUE(state.routing_known);
}

TEST_F(OsdexState, RoutesReachTheCrosspointAndItsSavedRouting) {
    ASSERT_EQ(Run_Osdex_Program({Board("x.osdex"), "route", "3", "17", "--gain", "2"}).status, 0);
    ASSERT_EQ(Run_Osdex_Program({Board("x.osdex"), "route", "0x0", "5"}).status, 0);
    ASSERT_EQ(Run_Osdex_Program({Board("x.osdex"), "route", "0", "off"}).status, 0);
    ASSERT_EQ(Run_Osdex_Program({Board("x.osdex"), "state", "save", Path("routed")}).status, 0);
    vanlpt::BoardState state;
    std::string error;
    ASSERT_TRUE(vanlpt::Decode_Board_State(Bytes("routed"), &state, &error)) << error;
    EXPECT_EQ(state.routing[3], (vanlpt::StateRoute{true, 17, 2}));
    EXPECT_FALSE(state.routing[0].enabled);
    EXPECT_FALSE(state.routing[1].enabled);  // power-up: every output off

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"route", "16", "1"},
                                                {"route", "1", "32"},
                                                {"route", "1", "3", "--gain", "3"},
                                                {"route", "1"}}) {
        std::vector<std::string> args = {"--port=/dev/parport-osdex-test-absent"};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_EQ(Run_Osdex_Program(args).status, 2) << bad[1];
    }
}

TEST_F(OsdexState, ADamagedStateFileIsRefusedBeforeThePortIsOpened) {
    ASSERT_EQ(Run_Osdex_Program({Board("a.osdex"), "state", "save", Path("good")}).status, 0);
    const std::string good = Bytes("good");
    std::string flipped = good;
    flipped[5000] ^= 1;
    std::string newer = good;
    newer[8] = 9;
    Put("truncated", good.substr(0, good.size() / 3));
    Put("damaged", flipped);
    Put("newer", newer);
    Put("other", "wrreg 7 1\n");
    const std::pair<const char*, const char*> cases[] = {{"truncated", "truncated"},
                                                         {"damaged", "damaged"},
                                                         {"newer", "format 9"},
                                                         {"other", "not an Osdex board state file"},
                                                         {"absent", "No such file"}};
    for (const auto& [name, reason] : cases) {
        const OsdexRun run = Run_Osdex_Program(
            {"--port=/dev/parport-osdex-test-absent", "state", "restore", Path(name)});
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    }
}

}  // namespace
