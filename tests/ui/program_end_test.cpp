// The program's end: a board that could not be written back is told (a box after a close,
// standard error after a signal), and the real program ended by SIGTERM ends as a close
// does, saving its sim:FILE board.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "shell/dialogs.h"
#include "shell/services.h"
#include "ui/app/application.h"
#include "vanlpt/board_state.h"

namespace {

int Board_Lost() {
    return 0;
}
int Board_Saved() {
    return 1;
}
const char* Save_Error() {
    return "bench.osdex: No space left on device; the board's state of this run is lost";
}

class ProgramEndTest : public ::testing::Test {
protected:
    void SetUp() override { Program_Services().dialogs = &dialogs; }
    ScopedServices services;
    ScriptedDialogs dialogs;
};

TEST_F(ProgramEndTest, ABoardThatCouldNotBeSavedIsToldInABoxAfterAClose) {
    End_Port_Library(ProgramEnd::Closed, {Board_Saved, Save_Error});
    EXPECT_TRUE(dialogs.messages.empty());

    End_Port_Library(ProgramEnd::Closed, {Board_Lost, Save_Error});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Osdex Evaluation Kit");
    EXPECT_EQ(dialogs.messages[0].text, Save_Error());
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::Ok);
}

TEST_F(ProgramEndTest, AfterASignalItGoesToStandardErrorInstead) {
    ::testing::internal::CaptureStderr();
    End_Port_Library(ProgramEnd::Signal, {Board_Lost, Save_Error});
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(told, std::string("Osdex Evaluation Kit: ") + Save_Error() + "\n");
}

// Whether the process catches SIGTERM yet (its handler is installed), from /proc.
bool Catches_Sigterm(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) != 0) continue;
        const unsigned long long caught = std::stoull(line.substr(7), nullptr, 16);
        return (caught >> (SIGTERM - 1)) & 1;
    }
    return false;
}

// Waits for the child's end; nothing when it has not ended within a bound meant only to
// keep a hung program from hanging the test run.
std::optional<int> Wait_For_End(pid_t pid) {
    for (int turn = 0; turn < 12000; ++turn) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

pid_t Start_Program(const std::string& folder, const std::string& state_file) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    if (::chdir(folder.c_str()) != 0) ::_exit(125);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("VANLPT_PORTS", ("1=sim:" + state_file).c_str(), 1);
    const std::string output = folder + "/output.txt";
    if (!std::freopen(output.c_str(), "w", stdout) || !std::freopen(output.c_str(), "a", stderr))
        ::_exit(125);
    ::execl(OSDEX_EVAL_KIT, OSDEX_EVAL_KIT, static_cast<char*>(nullptr));
    ::_exit(126);
}

// SIGTERM while the program waits in an event loop (its first box): the start-up goes on
// without waiting for anyone (the crosspoint window sends its routing), the program ends
// normally and its board is in its file.
TEST(ProgramEndBySignal, SigtermEndsTheProgramNormallyAndSavesTheBoard) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string state_file = folder.filePath("bench.osdex").toStdString();
    const pid_t program = Start_Program(folder.path().toStdString(), state_file);
    ASSERT_GT(program, 0);
    bool ready = false;
    for (int turn = 0; turn < 12000 && !ready; ++turn) {
        ready = Catches_Sigterm(program);
        if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(ready) << "the program never caught SIGTERM";
    ASSERT_EQ(::kill(program, SIGTERM), 0);
    const std::optional<int> status = Wait_For_End(program);
    if (!status) ::kill(program, SIGKILL), ::waitpid(program, nullptr, 0);
    ASSERT_TRUE(status.has_value()) << "the program did not end";
    EXPECT_TRUE(WIFEXITED(*status)) << "ended by signal " << WTERMSIG(*status);
    EXPECT_EQ(WEXITSTATUS(*status), 0);

    std::ifstream file(state_file, std::ios::binary);
    ASSERT_TRUE(file.good()) << "the board was not saved";
    std::ostringstream bytes;
    bytes << file.rdbuf();
    vanlpt::BoardState state;
    std::string error;
    ASSERT_TRUE(vanlpt::Decode_Board_State(bytes.str(), &state, &error)) << error;
    EXPECT_TRUE(state.routing_known);  // the crosspoint window's routing of this run
}

}  // namespace
