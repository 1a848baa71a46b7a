// Whole-file writes: complete or untouched, with the cause of a failure.
#include "shell/whole_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

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
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.insert(entry.path().filename().string());
        return names;
    }
    void Plant(const std::string& name, const std::string& text = "left over") const {
        std::ofstream(dir_ / name) << text;
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

// The pid of a process that has ended.
pid_t Ended_Process() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// A write killed half-way leaves the target's one temporary file, which the next write takes
// over; the earlier naming's leftovers of ended writers go, those of running ones stay.
TEST_F(WholeFileTest, KilledWritesLeaveNoPileOfTemporaryFiles) {
    const std::string dead = std::to_string(Ended_Process());
    const std::string alive = std::to_string(::getpid());
    Plant(".picture.bmp.osdex-tmp", "half a picture");
    fs::permissions(dir_ / ".picture.bmp.osdex-tmp", fs::perms::owner_read);
    Plant("picture.bmp.tmp" + dead + "-0");
    Plant("picture.bmp.tmp" + dead + "-12");
    Plant("picture.bmp.tmp" + alive + "-0");  // a writer that may still finish
    Plant("other.bmp.tmp" + dead + "-0");     // another target's
    Plant("picture.bmp.tmpnotes");

    EXPECT_EQ(Write_Whole_File(path_, "new content"), std::nullopt);
    EXPECT_EQ(Content(), "new content");
    EXPECT_EQ(Names(),
              (std::set<std::string>{"picture.bmp", "picture.bmp.tmp" + alive + "-0",
                                     "other.bmp.tmp" + dead + "-0", "picture.bmp.tmpnotes"}));
}

TEST_F(WholeFileTest, ALinkStaysALinkAndItsTargetIsWritten) {
    fs::create_directories(dir_ / "pictures");
    std::ofstream(dir_ / "pictures" / "real.bmp") << "old";
    fs::permissions(dir_ / "pictures" / "real.bmp",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("pictures/real.bmp", path_);
    EXPECT_EQ(Write_Whole_File(path_, "through the link"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(Content(), "through the link");
    EXPECT_EQ(fs::status(dir_ / "pictures" / "real.bmp").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A link to a file not made yet: the file is made where the link points.
    const std::string dangling = (dir_ / "dangling.bmp").string();
    fs::create_symlink("pictures/new.bmp", dangling);
    EXPECT_EQ(Write_Whole_File(dangling, "made"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_TRUE(fs::is_regular_file(dir_ / "pictures" / "new.bmp"));
    EXPECT_EQ(Names(), (std::set<std::string>{"picture.bmp", "pictures", "dangling.bmp"}));
}

TEST_F(WholeFileTest, ANewFileGetsTheUsualRightsLessTheUmask) {
    const mode_t old_mask = ::umask(027);
    Plant(".picture.bmp.osdex-tmp");  // a leftover of other rights is no matter
    fs::permissions(dir_ / ".picture.bmp.osdex-tmp", fs::perms::owner_read);
    EXPECT_EQ(Write_Whole_File(path_, "x"), std::nullopt);
    ::umask(old_mask);
    EXPECT_EQ(fs::status(path_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// Processes writing one target at once take turns: every write succeeds, the file is always
// one of the contents whole, and no temporary file is left.
TEST_F(WholeFileTest, WritersOfOneTargetTakeTurns) {
    constexpr int Writers = 3;
    constexpr int Rounds = 100;
    std::vector<pid_t> children;
    for (int w = 0; w < Writers; ++w) {
        const pid_t child = ::fork();
        if (child == 0) {
            const std::string content(64 * 1024, static_cast<char>('a' + w));
            int failures = 0;
            for (int r = 0; r < Rounds; ++r)
                if (Write_Whole_File(path_, content)) ++failures;
            ::_exit(failures == 0 ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string content = Content();
    ASSERT_EQ(content.size(), 64u * 1024);
    EXPECT_EQ(content.find_first_not_of(content[0]), std::string::npos);
    EXPECT_EQ(Names(), std::set<std::string>{"picture.bmp"});
}

}  // namespace