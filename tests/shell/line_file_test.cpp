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

TEST(OpenFailureReason, SaysWhyInWordsOfTheUser) {
    EXPECT_EQ(Open_Failure_Reason(EWOULDBLOCK), "it is in use by another program");
    EXPECT_NE(Open_Failure_Reason(Open_Error_Not_Regular).find("not a regular file"),
              std::string::npos);
    EXPECT_EQ(Open_Failure_Reason(EACCES), "Permission denied");
}

}  // namespace
