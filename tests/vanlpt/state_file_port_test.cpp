// The port target sim:FILE: a simulated board that starts as its file left it, goes back to
// the file at the library's normal end (once, and only when it changed), is locked to one
// process, follows symbolic links, keeps the file's mode, refuses a read-only file, and is
// never mixed with a damaged file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cerrno>
#include <fstream>
#include <functional>
#include <sstream>
#include <utility>

#include "board/simulated_board.h"
#include "vanlpt/board_state_file.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

class StateFilePort : public ::testing::Test {
protected:
    void TearDown() override { vanlpt::testing::Reset_Library(); }

    std::string Mapping() const { return "1=sim:" + path; }
    std::string Bytes(const std::string& file) const {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string Bytes() const { return Bytes(path); }
    std::string In_Folder(const char* name) const { return folder.filePath(name).toStdString(); }
    static struct stat Stat(const std::string& file) {
        struct stat st {};
        lstat(file.c_str(), &st);
        return st;
    }
    // A board file whose register 7 holds `value`, written by a run of the library.
    void Make_Board_File(std::uint8_t value) {
        ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
        vanlpt::testing::Simulated_Board(1)->Chip().Set_Register(7, value);
        ASSERT_NE(Vanlpt_Shutdown(), 0) << Vanlpt_Last_Error();
    }

    QTemporaryDir folder;
    std::string path = folder.filePath("bench.osdex").toStdString();
};

TEST_F(StateFilePort, TheBoardComesBackAsTheLastRunLeftIt) {
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    ASSERT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
    board::SimulatedBoard* b = vanlpt::testing::Simulated_Board(1);
    EXPECT_EQ(b->Chip().Register(7), 128);  // no file yet: powered up
    b->Chip().Set_Register(7, 140);
    b->Chip().Set_Pixel(3, 200, 100, 9);
    b->Crosspoint().Set_Route(4, {true, 17, 2});
    Vanlpt_Shutdown();
    Vanlpt_Shutdown();  // twice is harmless

    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    ASSERT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
    b = vanlpt::testing::Simulated_Board(1);
    EXPECT_EQ(b->Chip().Register(7), 140);
    EXPECT_EQ(b->Chip().Pixel(3, 200, 100), 9u);
    EXPECT_EQ(b->Crosspoint().Route(4), (board::CrosspointRoute{true, 17, 2}));
    EXPECT_EQ(std::string(Vanlpt_Port_Description(1)), "LPT1: simulated board in " + path);
}

TEST_F(StateFilePort, ASecondProcessOnTheSameFileIsRefused) {
    std::string error;
    const auto other_process = vanlpt::BoardStateFile::Lock(path, &error);
    ASSERT_NE(other_process, nullptr) << error;
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    EXPECT_EQ(Select_LPT_123(1), 0);
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("in use by another program"), std::string::npos)
        << Vanlpt_Last_Error();
    ::testing::internal::CaptureStderr();
    const std::string told = Vanlpt_Check_Ports();
    ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("in use by another program"), std::string::npos) << told;
}

TEST_F(StateFilePort, ADamagedFileIsRefusedAndLeftAsItWas) {
    { std::ofstream(path, std::ios::binary) << "OSDXSTAT and then something else"; }
    const std::string before = Bytes();
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    EXPECT_EQ(Select_LPT_123(1), 0);
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("bench.osdex"), std::string::npos);
    Vanlpt_Shutdown();
    EXPECT_EQ(Bytes(), before);
}

// The file is rewritten (a new file renamed over it, so a new inode) only when the board
// differs from what the file holds, and at most once however the run ends.
TEST_F(StateFilePort, TheFileIsWrittenOnceAndOnlyWhenTheBoardChanged) {
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    ASSERT_NE(Select_LPT_123(1), 0);
    ASSERT_NE(Vanlpt_Shutdown(), 0);
    EXPECT_NE(access(path.c_str(), F_OK), 0) << "a powered-up board needs no file";

    Make_Board_File(140);
    const ino_t first = Stat(path).st_ino;
    // Reads and a write of the value a register holds change nothing.
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    ASSERT_NE(Select_LPT_123(1), 0);
    board::SimulatedBoard* b = vanlpt::testing::Simulated_Board(1);
    b->Chip().Set_Register(7, 140);
    b->Chip().Set_Loss_Of_Sync(2, true);  // a condition of the run, never kept
    (void)Get_Status();
    ASSERT_NE(Vanlpt_Shutdown(), 0);
    EXPECT_EQ(Stat(path).st_ino, first);
    // A change and its undoing are no change either.
    b->Chip().Set_Pixel(0, 1, 2, 3);
    b->Chip().Set_Pixel(0, 1, 2, 0);
    ASSERT_NE(Vanlpt_Shutdown(), 0);
    EXPECT_EQ(Stat(path).st_ino, first);

    // Each kind of change on its own is one.
    ino_t before = first;
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"pixel", [&] { b->Chip().Set_Pixel(0, 1, 2, 3); }},
        {"register", [&] { b->Chip().Set_Register(135, 1); }},
        {"route",
         [&] {
             b->Crosspoint().Set_Route(15, {true, 31, 2});
         }},
    };
    for (const auto& [what, change] : changes) {
        change();
        ASSERT_NE(Vanlpt_Shutdown(), 0);
        EXPECT_NE(Stat(path).st_ino, before) << what;
        before = Stat(path).st_ino;
    }
    ASSERT_NE(Vanlpt_Shutdown(), 0);  // written already: the second end writes nothing
    ASSERT_TRUE(vanlpt::testing::Reset_Library());
    EXPECT_EQ(Stat(path).st_ino, before);
}

// A file from a tool may hold bits no register keeps: the board is what counts.
TEST_F(StateFilePort, AFileWithBitsNoRegisterKeepsIsNotRewrittenForThem) {
    board::SimulatedBoard fresh;
    fresh.Power_Up();
    vanlpt::BoardState state = vanlpt::Capture_Board_State(fresh);
    state.registers[board::kQPLINEH] = 0xFF;  // only bit 0 exists
    std::ofstream(path, std::ios::binary) << vanlpt::Encode_Board_State(state);
    const ino_t inode = Stat(path).st_ino;
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    ASSERT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
    EXPECT_EQ(vanlpt::testing::Simulated_Board(1)->Chip().Register(board::kQPLINEH), 1);
    ASSERT_NE(Vanlpt_Shutdown(), 0);
    EXPECT_EQ(Stat(path).st_ino, inode);
}

TEST_F(StateFilePort, ABoardThatCannotBeWrittenBackIsReportedOnceAndSaysItIsLost) {
    // The temporary file's name taken by a folder stops the save even for root.
    ASSERT_EQ(mkdir((path + ".tmp").c_str(), 0755), 0);
    std::ofstream(path + ".tmp/keep") << "x";
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    vanlpt::testing::Simulated_Board(1)->Chip().Set_Register(7, 99);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Vanlpt_Shutdown(), 0);
    const std::string error = Vanlpt_Last_Error();
    EXPECT_EQ(Vanlpt_Shutdown(), 0);  // still not in its file, and not tried again
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(error.rfind("cannot write ", 0), 0u) << error;
    EXPECT_NE(error.find("; the board's state of this run is lost"), std::string::npos) << error;
    EXPECT_EQ(said, "vanlpt: " + error + "\n");
    EXPECT_EQ(Vanlpt_Last_Error(), error);
    EXPECT_NE(access(path.c_str(), F_OK), 0);
}

TEST_F(StateFilePort, ALinkIsFollowedLockedAtItsTargetAndKept) {
    Make_Board_File(140);
    const std::string link = In_Folder("link.osdex");
    ASSERT_EQ(symlink("bench.osdex", link.c_str()), 0);
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim:" + link));
    ASSERT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
    board::SimulatedBoard* b = vanlpt::testing::Simulated_Board(1);
    EXPECT_EQ(b->Chip().Register(7), 140);
    // The other name of the board is the same board, in use.
    std::string error;
    EXPECT_EQ(vanlpt::BoardStateFile::Lock(path, &error), nullptr);
    EXPECT_NE(error.find("in use by another program"), std::string::npos) << error;
    b->Chip().Set_Register(7, 141);
    ASSERT_NE(Vanlpt_Shutdown(), 0) << Vanlpt_Last_Error();
    EXPECT_TRUE(S_ISLNK(Stat(link).st_mode));
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    EXPECT_EQ(vanlpt::testing::Simulated_Board(1)->Chip().Register(7), 141);
}

TEST_F(StateFilePort, ALinkToAFileNotYetMadeMakesItWhereItPoints) {
    const std::string link = In_Folder("link.osdex");
    ASSERT_EQ(mkdir(In_Folder("boards").c_str(), 0755), 0);
    ASSERT_EQ(symlink("boards/new.osdex", link.c_str()), 0);
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim:" + link));
    ASSERT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
    vanlpt::testing::Simulated_Board(1)->Chip().Set_Register(7, 77);
    ASSERT_NE(Vanlpt_Shutdown(), 0) << Vanlpt_Last_Error();
    EXPECT_TRUE(S_ISLNK(Stat(link).st_mode));
    EXPECT_TRUE(S_ISREG(Stat(In_Folder("boards/new.osdex")).st_mode));
    EXPECT_EQ(access(In_Folder("boards/new.osdex.lock").c_str(), F_OK), 0);
}

TEST_F(StateFilePort, TheFileKeepsItsModeWhenRewritten) {
    Make_Board_File(140);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    vanlpt::testing::Simulated_Board(1)->Chip().Set_Register(7, 141);
    ASSERT_NE(Vanlpt_Shutdown(), 0) << Vanlpt_Last_Error();
    EXPECT_EQ(Stat(path).st_mode & 07777, 0640u);
}

// Refused even for root: the board could not go back into it at the end.
TEST_F(StateFilePort, AReadOnlyFileIsRefusedAndLeftAsItWas) {
    Make_Board_File(140);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    const std::string before = Bytes();
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    EXPECT_EQ(Select_LPT_123(1), 0);
    const std::string error = Vanlpt_Last_Error();
    EXPECT_NE(error.find("the board file " + path + " is read-only: "), std::string::npos) << error;
    EXPECT_EQ(Vanlpt_Port_Input_Error(1), 0);
    Vanlpt_Shutdown();
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(Stat(path).st_mode & 07777, 0444u);
}

TEST_F(StateFilePort, ATemporaryFileAKilledRunLeftIsRemovedWhenTheBoardIsTaken) {
    std::ofstream(path + ".tmp") << "half a board";
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    ASSERT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
    EXPECT_NE(access((path + ".tmp").c_str(), F_OK), 0);
}

TEST_F(StateFilePort, OnlyWhatTheFileHoldsCountsAsAnInputError) {
    Make_Board_File(140);
    const std::string good = Bytes();
    EXPECT_EQ(Vanlpt_Port_Input_Error(1), 0);
    std::string newer = good;
    newer[8] = 9;
    std::string flipped = good;
    flipped[5000] ^= 1;
    for (const std::string& bad : {newer, flipped, good.substr(0, 100), std::string("wrreg 7 1")}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bad;
        ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
        EXPECT_EQ(Select_LPT_123(1), 0);
        EXPECT_EQ(Vanlpt_Port_Input_Error(1), 1);
        const std::string error = Vanlpt_Last_Error();
        EXPECT_EQ(error.rfind("LPT1: " + path + ": ", 0), 0u) << error;
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << good;
    std::string error;
    const auto other_process = vanlpt::BoardStateFile::Lock(path, &error);
    ASSERT_TRUE(vanlpt::testing::Reset_Library(Mapping()));
    EXPECT_EQ(Select_LPT_123(1), 0);  // in use: no fault of the file's
    EXPECT_EQ(Vanlpt_Port_Input_Error(1), 0);
    EXPECT_EQ(Vanlpt_Port_Input_Error(2), 0);
    EXPECT_EQ(Vanlpt_Port_Input_Error(0), 0);
}

}  // namespace
