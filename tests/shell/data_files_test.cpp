// The help page and the logo: the working directory's copy first, then the one installed beside
// the program; and the installed page's path, blanks and all, through the launcher's command
// line.
#include "shell/data_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "shell/program_launcher.h"

namespace {

namespace fs = std::filesystem;

// A scratch folder as the working directory, with an unpacked package in "scratch root/usr"
// beside it: the blank is there on purpose.
class DataFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = fs::temp_directory_path() / ("data_files_test_" + std::to_string(::getpid()));
        fs::remove_all(base_);
        work_ = base_ / "work";
        prefix_ = base_ / "scratch root" / "usr";
        fs::create_directories(work_);
        fs::create_directories(prefix_ / "bin");
        fs::create_directories(prefix_ / "share" / "osdex-eval-kit");
        program_ = (prefix_ / "bin" / "osdex-eval-kit").string();
        previous_ = fs::current_path();
        fs::current_path(work_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(base_);
    }
    static void Touch(const fs::path& path) { std::ofstream(path) << "data"; }
    std::string Installed(const std::string& name) const {
        return (prefix_ / "share" / "osdex-eval-kit" / name).string();
    }

    fs::path base_, work_, prefix_, previous_;
    std::string program_;
};

TEST_F(DataFilesTest, TheWorkingDirectoryComesFirstThenTheInstalledCopy) {
    // Neither: the bare name, so that the failure names the file as the program asked for it.
    EXPECT_EQ(Find_Data_File("VANLOGO1A.BMP", program_), "VANLOGO1A.BMP");

    Touch(Installed("VANLOGO1A.BMP"));
    EXPECT_EQ(Find_Data_File("VANLOGO1A.BMP", program_), Installed("VANLOGO1A.BMP"));
    EXPECT_EQ(Find_Data_File("HELPFILE.HTM", program_), "HELPFILE.HTM");  // only the logo is there

    Touch(work_ / "VANLOGO1A.BMP");  // the user's own logo wins
    EXPECT_EQ(Find_Data_File("VANLOGO1A.BMP", program_), "VANLOGO1A.BMP");
}

TEST_F(DataFilesTest, TheInstalledFolderIsSeenFromTheProgramsFolder) {
    EXPECT_EQ(Installed_Data_Folder(program_), (prefix_ / "share" / "osdex-eval-kit").string());
    EXPECT_EQ(Installed_Data_Folder("/usr/bin/osdex-eval-kit"), "/usr/share/osdex-eval-kit");
    EXPECT_EQ(Installed_Data_Folder("osdex-eval-kit"), "");
    EXPECT_EQ(Find_Data_File("HELPFILE.HTM", ""), "HELPFILE.HTM");

    // The running program is this test, whose folder has no installed files beside it.
    const std::string self = Running_Program_Path();
    ASSERT_FALSE(self.empty());
    EXPECT_TRUE(fs::equivalent(self, "/proc/self/exe"));
    EXPECT_EQ(Find_Data_File("HELPFILE.HTM"), "HELPFILE.HTM");
}

TEST(CommandLineWords, QuotedWordsComeBackWhole) {
    EXPECT_EQ(Command_Line_Words("explorer HELPFILE.HTM"),
              (std::vector<std::string>{"explorer", "HELPFILE.HTM"}));
    EXPECT_EQ(Command_Line_Words("  start\t \"/tmp/scratch root/HELPFILE.HTM\"  "),
              (std::vector<std::string>{"start", "/tmp/scratch root/HELPFILE.HTM"}));
    EXPECT_EQ(Command_Line_Words("a\"b c\"d \"\""), (std::vector<std::string>{"ab cd", ""}));
    EXPECT_EQ(Command_Line_Words("C:\\page.htm"), (std::vector<std::string>{"C:\\page.htm"}));
    EXPECT_TRUE(Command_Line_Words(" \t").empty());

    EXPECT_EQ(Quote_Command_Word("HELPFILE.HTM"), "HELPFILE.HTM");
    EXPECT_EQ(Quote_Command_Word("/tmp/a b/HELPFILE.HTM"), "\"/tmp/a b/HELPFILE.HTM\"");
    for (const std::string word :
         {"/tmp/a b/HELPFILE.HTM", "say \"hi\"", "back\\slash end\\", "tab\there", "new\nline", "",
          "\\\"", "caf\xc3\xa9 \xc2\xa0nbsp"}) {
        EXPECT_EQ(Command_Line_Words("explorer " + Quote_Command_Word(word) + " next"),
                  (std::vector<std::string>{"explorer", word, "next"}))
            << word;
    }
}

TEST_F(DataFilesTest, TheLauncherTakesAQuotedPathWithBlanksAsOneProgram) {
    Touch(Installed("HELPFILE.HTM"));
    SystemLauncher launcher;
    // Found as one file (a page is no program), not looked for as "…/scratch".
    const LaunchResult page = launcher.Run(Quote_Command_Word(Installed("HELPFILE.HTM")));
    EXPECT_EQ(page.code, Launch_Bad_Format);
    EXPECT_EQ(page.last_error, EACCES);
    EXPECT_EQ(launcher.Run(Installed("HELPFILE.HTM")).code, Launch_File_Not_Found);
}

}  // namespace
