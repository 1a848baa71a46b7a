// Help: the main window's two attempts and the channel window's three, the failure texts, the
// system launcher's result codes, and the About text.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <regex>

#include "chip/program_state.h"
#include "shell/clock.h"
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

namespace {

// A fake desktop opener first on PATH, and a working folder with the help page and a file
// named xdg-open that must never run.
class DesktopOpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        ASSERT_TRUE(QDir(root_.path()).mkpath("bin"));
        ASSERT_TRUE(QDir(root_.path()).mkpath("work"));
        previous_dir_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(root_.filePath("work")));
        Write_Script(root_.filePath("work/xdg-open"), ": > \"" + Marker("ran-from-cwd") + "\"");
        Write_File(root_.filePath("work/HELPFILE.HTM"), "<html></html>");
        const char* path = std::getenv("PATH");
        previous_path_ = path ? path : "";
        Reset_Program_State();
        Program_Services().dialogs = &dialogs;
    }
    void TearDown() override {
        ::setenv("PATH", previous_path_.c_str(), 1);
        QDir::setCurrent(previous_dir_);
        Program_Services().dialogs = nullptr;
    }

    std::string Marker(const char* name) const { return root_.filePath(name).toStdString(); }
    static void Write_File(const QString& path, const std::string& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.c_str());
        file.close();
    }
    static void Write_Script(const QString& path, const std::string& body) {
        Write_File(path, "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // An opener on PATH that notes its arguments and ends with the given status.
    void Opener_Exiting(int status) {
        Write_Script(root_.filePath("bin/xdg-open"),
                     "echo \"$@\" > \"" + Marker("opened") + "\"\nexit " + std::to_string(status));
        Use_Path(":" + root_.filePath("bin").toStdString());  // an empty entry first
    }
    static void Use_Path(const std::string& path) { ::setenv("PATH", path.c_str(), 1); }
    bool Exists(const char* name) const { return QFile::exists(root_.filePath(name)); }

    ScopedServices services;
    ScriptedDialogs dialogs;
    QTemporaryDir root_;
    QString previous_dir_;
    std::string previous_path_;
};

}  // namespace

TEST_F(DesktopOpenerTest, AnOpenerWithoutABrowserReachesTheUser) {
    Opener_Exiting(3);  // "no method available for opening"
    const LaunchResult result = SystemLauncher().Run("explorer HELPFILE.HTM");
    EXPECT_EQ(result.code, Launch_File_Not_Found);
    EXPECT_EQ(result.last_error, ENOENT);
    EXPECT_TRUE(Exists("opened"));

    Help_Index_From_Main_Window();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Osdex Evaluation Kit");
    EXPECT_EQ(dialogs.messages[0].text, "Winexec: file explorer HELPFILE.HTM was not found.");

    Help_From_Channel_Window();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text,
              "explorer HELPFILE.HTM\nError 2: " + System_Error_Text(ENOENT));

    Opener_Exiting(4);  // the opening failed
    EXPECT_EQ(SystemLauncher().Run("explorer HELPFILE.HTM").code, Launch_General_Failure);
    EXPECT_FALSE(Exists("ran-from-cwd"));
}

TEST_F(DesktopOpenerTest, AnOpenerThatSucceedsIsSilent) {
    Opener_Exiting(0);
    Help_Index_From_Main_Window();
    Help_From_Channel_Window();
    EXPECT_TRUE(dialogs.messages.empty());
    QFile opened(root_.filePath("opened"));
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_EQ(opened.readAll().trimmed(), "HELPFILE.HTM");
    EXPECT_FALSE(Exists("ran-from-cwd"));
}

// A bare name is looked for on PATH only: the file of that name in the working folder is never
// run, whether or not PATH has one.
TEST_F(DesktopOpenerTest, ABareNameIsNeverTakenFromTheWorkingFolder) {
    Use_Path(root_.filePath("bin").toStdString());  // no opener there
    const LaunchResult result = SystemLauncher().Run("explorer HELPFILE.HTM");
    EXPECT_EQ(result.code, Launch_Bad_Format);
    EXPECT_EQ(SystemLauncher().Run("no-such-program").code, Launch_File_Not_Found);
    Use_Path(".:" + root_.filePath("bin").toStdString());  // a relative entry names it too
    EXPECT_EQ(SystemLauncher().Run("xdg-open HELPFILE.HTM").code, Launch_Bad_Format);
    EXPECT_FALSE(Exists("ran-from-cwd"));
}

// An opener that does not end within the bound counts as started; the bound is read on the
// installed clock, which here jumps past it at once.
TEST_F(DesktopOpenerTest, AnOpenerStillRunningCountsAsStarted) {
    VirtualClock clock(0, Opener_Wait_ms);
    Program_Services().clock = &clock;
    // It runs until the test lets it go, and notes that it was let go.
    Write_Script(root_.filePath("bin/xdg-open"),
                 "exec >/dev/null 2>&1 </dev/null\nwhile [ -d \"" + root_.path().toStdString() +
                     "\" ] && [ ! -e \"" + Marker("release") +
                     "\" ]; do /bin/sleep 0.05; done\n: > \"" + Marker("opened") + "\"\nexit 3");
    Use_Path(root_.filePath("bin").toStdString());
    const LaunchResult result = SystemLauncher().Run("explorer HELPFILE.HTM");
    EXPECT_GE(result.code, 32u);
    EXPECT_FALSE(Exists("opened"));  // returned while the opener was still running
    Write_File(root_.filePath("release"), "");
    Program_Services().clock = nullptr;
}

TEST(About, NamesTheProgramTheBuildTimeAndTheBusFeatures) {
    std::regex form(
        "Osdex Evaluation Kit Software\r\nLast compiled [A-Z][a-z]{2} [ 0-9]\\d \\d{4} "
        "\\d{2}:\\d{2}:\\d{2}\r\nreg shadows on; ready/busy is used");
    EXPECT_TRUE(std::regex_match(About_Text(), form)) << About_Text();
}
