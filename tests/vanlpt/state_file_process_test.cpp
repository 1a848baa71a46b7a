// A board kept in a file between processes: a process whose board cannot be written back
// still ends normally and says so once; a board in use names its holder; a process told to
// wait gets the board when the holder lets go. The other process is board_file_child; the
// tests wait for what it says, never for time to pass.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "tests/vanlpt/board_file_child.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

using vanlpt_test::BoardFileChild;

class StateFileProcesses : public ::testing::Test {
protected:
    void TearDown() override { vanlpt::testing::Reset_Library(); }

    // The temporary file's name taken by a folder: the board cannot be written back, even
    // by root.
    void Block_Saving() {
        ASSERT_EQ(mkdir((path + ".tmp").c_str(), 0755), 0);
        std::ofstream(path + ".tmp/keep") << "x";
    }
    static int Count(const std::string& text, const std::string& part) {
        int n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }

    QTemporaryDir folder;
    std::string path = folder.filePath("bench.osdex").toStdString();
};

TEST_F(StateFileProcesses, AFailedSaveAtTheEndIsToldOnceAndTheProcessEndsNormally) {
    Block_Saving();
    BoardFileChild child("change", path);
    const std::string said = child.Line();
    const int status = child.Wait();
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(said.rfind("shutdown 0: cannot write ", 0), 0u) << said;
    EXPECT_NE(said.find("the board's state of this run is lost"), std::string::npos) << said;
    EXPECT_EQ(Count(child.Err(), "cannot write"), 1) << child.Err();
    EXPECT_EQ(child.Err().rfind("holder: cannot write ", 0), 0u) << child.Err();
}

TEST_F(StateFileProcesses, AFailedSaveAtExitIsToldAndTheProcessEndsNormally) {
    Block_Saving();
    BoardFileChild child("change-at-exit", path);
    const int status = child.Wait();
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Count(child.Err(), "the board's state of this run is lost"), 1) << child.Err();
}

TEST_F(StateFileProcesses, ABoardInUseNamesItsHolderAndIsFreeAgainAfterIt) {
    BoardFileChild holder("hold", path);
    ASSERT_EQ(holder.Line(), "held");
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim:" + path));
    EXPECT_EQ(Select_LPT_123(1), 0);
    const std::string error = Vanlpt_Last_Error();
    const std::string named = "the simulated board in " + path +
                              " is in use by another program (holder, pid " +
                              std::to_string(holder.Pid()) + ", user ";
    EXPECT_NE(error.find(named), std::string::npos) << error;
    EXPECT_NE(error.find(", since 20"), std::string::npos) << error;
    EXPECT_NE(error.find("?wait="), std::string::npos) << error;

    // A wait that runs out says how long it waited.
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim:" + path + "?wait=0.05"));
    EXPECT_EQ(Select_LPT_123(1), 0);
    const std::string waited = Vanlpt_Last_Error();
    EXPECT_NE(waited.find("is still in use after waiting 0.05 s by another program (holder, pid"),
              std::string::npos)
        << waited;

    holder.Tell("release");
    ASSERT_EQ(holder.Wait(), 0);
    // Mapped again, the board that was in use is tried again.
    ASSERT_NE(Vanlpt_Map_Port(1, ("sim:" + path).c_str()), 0);
    EXPECT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
    std::ifstream lock(path + ".lock");
    std::string text;
    std::getline(lock, text);
    EXPECT_EQ(text.find("holder"), std::string::npos) << "names this process: " << text;
}

TEST_F(StateFileProcesses, AProcessToldToWaitGetsTheBoardWhenTheHolderLetsGo) {
    for (const bool through_the_target : {true, false}) {
        SCOPED_TRACE(through_the_target ? "sim:FILE?wait=60" : "Vanlpt_Set_Lock_Wait");
        ASSERT_TRUE(vanlpt::testing::Reset_Library("1=none"));
        BoardFileChild holder("hold", path);
        ASSERT_EQ(holder.Line(), "held");
        holder.Tell("release");  // it lets go after a pause, while this process waits
        if (through_the_target) {
            ASSERT_NE(Vanlpt_Map_Port(1, ("sim:" + path + "?wait=60").c_str()), 0);
        } else {
            Vanlpt_Set_Lock_Wait(60000);
            ASSERT_NE(Vanlpt_Map_Port(1, ("sim:" + path).c_str()), 0);
        }
        EXPECT_NE(Select_LPT_123(1), 0) << Vanlpt_Last_Error();
        EXPECT_EQ(holder.Wait(), 0);
    }
}

// The target's own wait goes before the library's.
TEST_F(StateFileProcesses, AZeroWaitOfTheTargetRefusesAtOnce) {
    BoardFileChild holder("hold", path);
    ASSERT_EQ(holder.Line(), "held");
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=none"));
    Vanlpt_Set_Lock_Wait(600000);
    ASSERT_NE(Vanlpt_Map_Port(1, ("sim:" + path + "?wait=0").c_str()), 0);
    EXPECT_EQ(Select_LPT_123(1), 0);
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("is in use by another program (holder"),
              std::string::npos)
        << Vanlpt_Last_Error();
}

}  // namespace
