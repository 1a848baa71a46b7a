// The write-through line file.
#include "shell/line_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/full_disk.h"

namespace {

namespace fs = std::filesystem;

class LineFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("line_file_test_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "regtest.bat").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Content() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void Write_File(const std::string& text) const {
        std::ofstream(path_, std::ios::binary) << text;
    }

    fs::path dir_;
    std::string path_;
};

TEST_F(LineFileTest, AppendsToAnExistingFileLineByLine) {
    Write_File("old\r\n");
    Line_File file;
    file.Line_File_Open(path_);
    ASSERT_EQ(file.Open_Flag(), 1);
    file.Line_File_Write_Line("wrreg 1 2");
    EXPECT_EQ(Content(), "old\r\nwrreg 1 2\r\n");  // on disk before the next call
    file.Line_File_Write_Line(std::string("rdreg 3"));
    file.Line_File_Write_Line(nullptr);
    EXPECT_EQ(Content(), "old\r\nwrreg 1 2\r\nrdreg 3\r\n\r\n");
    EXPECT_EQ(file.Line_Count(), 3);
}

TEST_F(LineFileTest, HeldExclusivelyWhileOpen) {
    Line_File first;
    first.Line_File_Open(path_);
    ASSERT_TRUE(first.Has_Handle());

    Line_File second;
    second.Line_File_Open(path_);
    EXPECT_EQ(second.Open_Flag(), 0);
    EXPECT_FALSE(second.Has_Handle());
    EXPECT_EQ(second.Open_Error(), EWOULDBLOCK);

    first.Line_File_Close();
    second.Line_File_Open(path_);
    EXPECT_EQ(second.Open_Flag(), 1);
}

TEST_F(LineFileTest, LinesAfterAFailedOpenAreCountedAndLost) {
    Line_File file;
    file.Line_File_Open((dir_ / "missing" / "regtest.bat").string());
    EXPECT_EQ(file.Open_Flag(), 0);
    file.Line_File_Write_Line("lost");
    EXPECT_EQ(file.Line_Count(), 1);
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(LineFileTest, CloseResetsAndLeavesItReusable) {
    Line_File never_opened;
    never_opened.Line_File_Close();
    EXPECT_EQ(never_opened.Open_Flag(), 0);
    EXPECT_EQ(never_opened.Name(), "");
    EXPECT_EQ(never_opened.Creation_Mode(), Plain_File::Creation::Open_Always);

    Line_File file;
    file.Line_File_Open(path_);
    file.Line_File_Write_Line("a");
    EXPECT_EQ(file.Creation_Mode(), Plain_File::Creation::Open_Existing);
    file.Line_File_Close();
    EXPECT_EQ(file.Line_Count(), 0);
    EXPECT_EQ(file.Name(), "");
    EXPECT_EQ(file.Creation_Mode(), Plain_File::Creation::Open_Always);
    EXPECT_EQ(file.Access_Mode(), Plain_File::Access::Write);
    file.Line_File_Open(path_);
    file.Line_File_Write_Line("b");
    EXPECT_EQ(Content(), "a\r\nb\r\n");
}

TEST_F(LineFileTest, AClosedHandleIsReopenedButNeverRecreated) {
    Line_File file;
    file.Line_File_Open(path_);
    file.Close();  // the open flag stays 1
    EXPECT_EQ(file.Open_Flag(), 1);
    file.Line_File_Write_Line("after close");
    EXPECT_TRUE(file.Has_Handle());
    EXPECT_EQ(Content(), "after close\r\n");

    file.Close();
    fs::remove(path_);
    file.Line_File_Write_Line("discarded");
    EXPECT_FALSE(fs::exists(path_));
    EXPECT_EQ(file.Open_Flag(), 0);
}

TEST_F(LineFileTest, DestructionReleasesTheFile) {
    {
        Line_File file;
        file.Line_File_Open(path_);
        ASSERT_TRUE(file.Has_Handle());
    }
    Line_File again;
    again.Line_File_Open(path_);
    EXPECT_TRUE(again.Has_Handle());
}

TEST_F(LineFileTest, CreateAlwaysNeverTruncatesAFileInUse) {
    Line_File holder;
    holder.Line_File_Open(path_);
    holder.Line_File_Write_Line("keep me");
    Plain_File creator(Plain_File::Access::Write, Plain_File::Creation::Create_Always);
    creator.Open(path_);
    EXPECT_FALSE(creator.Has_Handle());
    EXPECT_EQ(Content(), "keep me\r\n");
    holder.Line_File_Close();
    creator.Open(path_);
    EXPECT_TRUE(creator.Has_Handle());
    EXPECT_EQ(Content(), "");
}

// A pipe would hold the open until a reader comes (and then take the lines away), a device
// or folder is no trace file: all are refused at once and left as they are.
TEST_F(LineFileTest, NonRegularFilesAreRefusedWithoutBlocking) {
    ASSERT_EQ(::mkfifo(path_.c_str(), 0666), 0);
    Line_File file;
    file.Line_File_Open(path_);  // no reader: an open that waited would never return
    EXPECT_EQ(file.Open_Flag(), 0);
    EXPECT_EQ(file.Open_Error(), Open_Error_Not_Regular);

    const int reader = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    file.Line_File_Open(path_);  // with a reader the open itself would work
    EXPECT_FALSE(file.Has_Handle());
    file.Line_File_Write_Line("never sent");
    char buffer[16];
    EXPECT_LE(::read(reader, buffer, sizeof buffer), 0);
    ::close(reader);

    for (const std::string& other : {dir_.string(), std::string("/dev/null")}) {
        Plain_File plain(Plain_File::Access::Write, Plain_File::Creation::Create_Always);
        plain.Open(other);
        EXPECT_FALSE(plain.Has_Handle()) << other;
        EXPECT_EQ(plain.Open_Error(), Open_Error_Not_Regular) << other;
    }
    EXPECT_TRUE(fs::is_fifo(path_));
}

// A full disk: the file keeps whole lines only (a torn last line would make a replay refuse
// the file), the failure is kept for the owner, and nothing more is written.
TEST_F(LineFileTest, AFailedWriteLeavesWholeLinesAndLetsTheFileGo) {
    Line_File file;
    file.Line_File_Open(path_);
    {
        FullDiskAfter full(2);
        file.Line_File_Write_Line("wrreg 1 2");
        file.Line_File_Write_Line("wrreg 3 4");
        EXPECT_EQ(file.Write_Error(), 0);
        file.Line_File_Write_Line("wrreg 130 177");  // half of it fits
        EXPECT_EQ(file.Write_Error(), ENOSPC);
        EXPECT_EQ(file.Open_Flag(), 0);
        EXPECT_FALSE(file.Has_Handle());
    }
    file.Line_File_Write_Line("rdreg 5");  // room again, but the file is let go
    EXPECT_EQ(Content(), "wrreg 1 2\r\nwrreg 3 4\r\n");
    EXPECT_EQ(file.Line_Count(), 4);

    file.Line_File_Close();  // the owner's close forgets the failure
    EXPECT_EQ(file.Write_Error(), 0);
    file.Line_File_Open(path_);
    file.Line_File_Write_Line("rdreg 6");
    EXPECT_EQ(Content(), "wrreg 1 2\r\nwrreg 3 4\r\nrdreg 6\r\n");
}

TEST_F(LineFileTest, ARealFullDiskLeavesWholeLines) {
    const fs::path small = dir_ / "small";
    fs::create_directories(small);
    TinyTmpfs tmpfs(small.string());
    if (!tmpfs.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here (needs root)";
    path_ = (small / "regtest.bat").string();
    Line_File file;
    file.Line_File_Open(path_);
    // Odd-length lines, so that the disk fills up in the middle of one.
    const std::string line = "wrreg 130 177 " + std::string(100, 'x');
    int written = 0;
    while (file.Write_Error() == 0 && written < 100000) {
        file.Line_File_Write_Line(line);
        if (file.Write_Error() == 0) ++written;
    }
    EXPECT_EQ(file.Write_Error(), ENOSPC);
    EXPECT_GT(written, 0);
    EXPECT_EQ(fs::file_size(path_), static_cast<std::uintmax_t>(written) * (line.size() + 2));
    const std::string content = Content();
    EXPECT_EQ(content.substr(content.size() - 2), "\r\n");
}

TEST(OpenFailureReason, SaysWhyInWordsOfTheUser) {
    EXPECT_EQ(Open_Failure_Reason(EWOULDBLOCK), "it is in use by another program");
    EXPECT_NE(Open_Failure_Reason(Open_Error_Not_Regular).find("not a regular file"),
              std::string::npos);
    EXPECT_EQ(Open_Failure_Reason(EACCES), "Permission denied");
}

}  // namespace
