// Whole-file writes: complete or untouched, with the cause of a failure.
#include "shell/whole_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class WholeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("whole_file_test_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "picture.bmp").string();
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Content() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::size_t Files() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }
    fs::path dir_;
    std::string path_;
};

TEST_F(WholeFileTest, ReplacesTheOldFileAndKeepsItsPermissions) {
    std::ofstream(path_) << "old";
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_EQ(Write_Whole_File(path_, "new content"), std::nullopt);
    EXPECT_EQ(Content(), "new content");
    EXPECT_EQ(fs::status(path_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_EQ(Files(), 1u);
}

// A file-size limit fails the writes part-way, as a full disk does.
TEST_F(WholeFileTest, AFailedWriteLeavesTheOldFileAndSaysWhy) {
    std::ofstream(path_) << "old";
    rlimit old_limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_limit;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = Write_Whole_File(path_, std::string(5000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_EQ(error, std::string(std::strerror(EFBIG)));
    EXPECT_EQ(Content(), "old");
    EXPECT_EQ(Files(), 1u);
    EXPECT_EQ(Write_Whole_File((dir_ / "none" / "x").string(), "x"),
              std::string(std::strerror(ENOENT)));
}

TEST_F(WholeFileTest, APipeOrFolderIsNeverReplaced) {
    ASSERT_EQ(::mkfifo(path_.c_str(), 0666), 0);
    const auto error = Write_Whole_File(path_, "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("not a regular file"), std::string::npos);
    EXPECT_TRUE(fs::is_fifo(path_));
    EXPECT_TRUE(Write_Whole_File(dir_.string(), "x").has_value());
}

// The check before a long job says what the write would say, and writes nothing.
TEST_F(WholeFileTest, TheWritableCheckSaysWhatTheWriteWouldSay) {
    EXPECT_EQ(Check_Whole_File_Writable(path_), std::nullopt);
    EXPECT_EQ(Check_Whole_File_Writable("relative-name.png"), std::nullopt);
    EXPECT_EQ(Files(), 0u);
    std::ofstream(path_) << "old";
    const std::string under_file = path_ + "/x";
    const std::string no_folder = (dir_ / "none" / "x").string();
    for (const std::string& bad : {under_file, no_folder}) {
        const auto cause = Check_Whole_File_Writable(bad);
        ASSERT_TRUE(cause.has_value()) << bad;
        EXPECT_EQ(cause, Write_Whole_File(bad, "x")) << bad;
    }
    EXPECT_TRUE(Check_Whole_File_Writable(dir_.string()).has_value());
    EXPECT_EQ(Content(), "old");
}

}  // namespace
