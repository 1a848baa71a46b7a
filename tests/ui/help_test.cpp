// Help: the main window's two attempts and the channel window's three, the failure texts, the
// system launcher's result codes, and the About text.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <deque>
#include <regex>

#include "chip/program_state.h"
#include "shell/dialogs.h"
#include "shell/program_launcher.h"
#include "shell/services.h"
#include "ui/help/help.h"

namespace {

// Answers each command line from a queue (an empty queue: started) and records it.
class ScriptedLauncher : public ProgramLauncher {
public:
    LaunchResult Run(const std::string& command_line) override {
        commands.push_back(command_line);
        if (answers.empty()) return {Launch_Started, 0};
        LaunchResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<LaunchResult> answers;
    std::vector<std::string> commands;
};

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reset_Program_State();
        Program_Services().launcher = &launcher;
        Program_Services().dialogs = &dialogs;
    }
    void TearDown() override {
        Program_Services().launcher = nullptr;
        Program_Services().dialogs = nullptr;
    }
    ScopedServices services;  // whatever a test installs goes when it ends
    ScriptedLauncher launcher;
    ScriptedDialogs dialogs;
};

const LaunchResult kNotFound{Launch_File_Not_Found, ENOENT};
const LaunchResult kBadFormat{Launch_Bad_Format, EACCES};

}  // namespace

TEST_F(HelpTest, MainWindowTriesThePageThenTheFileOpenerSilently) {
    launcher.answers = {kBadFormat};
    Help_Index_From_Main_Window();
    EXPECT_EQ(launcher.commands,
              (std::vector<std::string>{"HELPFILE.HTM", "explorer HELPFILE.HTM"}));
    EXPECT_TRUE(dialogs.messages.empty());

    launcher.commands.clear();
    Help_Index_From_Main_Window();  // the page itself started
    EXPECT_EQ(launcher.commands.size(), 1u);
}

TEST_F(HelpTest, MainWindowReportsOnlyTheSecondFailureByItsCode) {
    launcher.answers = {kNotFound, {11, ENOEXEC}};
    Help_Index_From_Main_Window();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Osdex Evaluation Kit");
    EXPECT_EQ(dialogs.messages[0].text,
              "Winexec: file explorer HELPFILE.HTM is not a valid .EXE file.");
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::Ok);

    const std::string cmd = "explorer HELPFILE.HTM";
    EXPECT_EQ(Help_Launch_Failure_Text(0, cmd),
              "Winexec explorer HELPFILE.HTM: The system is out of resources.");
    EXPECT_EQ(Help_Launch_Failure_Text(2, cmd),
              "Winexec: file explorer HELPFILE.HTM was not found.");
    EXPECT_EQ(Help_Launch_Failure_Text(3, cmd),
              "Winexec: The path to explorer HELPFILE.HTM was not found.");
    EXPECT_EQ(Help_Launch_Failure_Text(31, cmd), "Error after WinExec explorer HELPFILE.HTM");
}

TEST_F(HelpTest, ChannelWindowStopsAtAMissingPageAndNamesTheSystemError) {
    launcher.answers = {kNotFound};
    Help_From_Channel_Window();
    EXPECT_EQ(launcher.commands, (std::vector<std::string>{"HELPFILE.HTM"}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Osdex Evaluation Kit");
    EXPECT_EQ(dialogs.messages[0].text, "HELPFILE.HTM\nError 2: " + System_Error_Text(ENOENT));
}

TEST_F(HelpTest, ChannelWindowTriesStartThenExplorer) {
    launcher.answers = {kBadFormat, kNotFound};
    Help_From_Channel_Window();
    EXPECT_EQ(launcher.commands, (std::vector<std::string>{"HELPFILE.HTM", "start HELPFILE.HTM",
                                                           "explorer HELPFILE.HTM"}));
    EXPECT_TRUE(dialogs.messages.empty());

    launcher.commands.clear();
    launcher.answers = {kBadFormat, kNotFound, {Launch_General_Failure, EIO}};
    Help_From_Channel_Window();
    EXPECT_EQ(launcher.commands.size(), 3u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "explorer HELPFILE.HTM\nError " + std::to_string(EIO) +
                                            ": " + System_Error_Text(EIO));
}

TEST(SystemLauncher, ReportsMissingPagesUnrunnableFilesAndStartedPrograms) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    SystemLauncher launcher;

    LaunchResult missing = launcher.Run("HELPFILE.HTM");
    EXPECT_EQ(missing.code, Launch_File_Not_Found);
    EXPECT_EQ(missing.last_error, ENOENT);

    QFile page(dir.filePath("HELPFILE.HTM"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html></html>");
    page.close();
    LaunchResult page_as_program = launcher.Run("HELPFILE.HTM");
    EXPECT_EQ(page_as_program.code, Launch_Bad_Format);

    LaunchResult started = launcher.Run("/bin/true ignored-argument");
    EXPECT_GE(started.code, 32u);
    EXPECT_EQ(started.last_error, 0);

    EXPECT_EQ(launcher.Run("/no/such/dir/program").code, Launch_File_Not_Found);
    QDir::setCurrent(previous);
}

TEST(About, NamesTheProgramTheBuildTimeAndTheBusFeatures) {
    std::regex form(
        "Osdex Evaluation Kit Software\r\nLast compiled [A-Z][a-z]{2} [ 0-9]\\d \\d{4} "
        "\\d{2}:\\d{2}:\\d{2}\r\nreg shadows on; ready/busy is used");
    EXPECT_TRUE(std::regex_match(About_Text(), form)) << About_Text();
}
