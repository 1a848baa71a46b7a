// Activity-log records, the memo rule, the log file and the level list.
#include "port/activity_log.h"
#include "shell/services.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "port/loopback_hunt.h"
#include "port_fixture.h"
#include "shell/line_file.h"
#include "shell/message_text.h"
#include "tests/support/full_disk.h"

namespace {

namespace fs = std::filesystem;

class ActivityLogTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        dir_ = fs::temp_directory_path() /
               ("activity_log_test_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        Program_Services().activity_log_view = &view;
        Port_State.Hunt_Called = true;
        ASSERT_NE(Select_LPT_Port(1), 0);
    }
    void TearDown() override {
        PortTest::TearDown();
        fs::permissions(dir_, fs::perms::owner_all);
        fs::remove_all(dir_);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string Content(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    FakeLogView view;
    fs::path dir_;
};

TEST(ActivityRecord, FixedColumnsThenTheMessage) {
    EXPECT_EQ(Port_Activity_Record(0x04, 0x00, 0x78, "hello"),
              "C00001111 D00000000 S11111000 hello");
    EXPECT_EQ(Port_Activity_Record(0xFF, 0x81, 0x87, "\tnested"),
              "C11110100 D10000001 S00000111 \tnested");
    EXPECT_EQ(Port_Activity_Record(0x04, 0x00, 0x78, "").size(), 30u);
}

TEST_F(ActivityLogTest, RecordsGoToTheMemoOnlyWithAPortAndAMask) {
    Log_Port_Activity("masked");  // Log_Mask 0
    EXPECT_TRUE(view.memo.empty());
    Port_State.Log_Mask = Log_High;
    Port_State.Selected_Port = 0;
    Log_Port_Activity("no port");
    EXPECT_TRUE(view.memo.empty());

    Port_State.Selected_Port = 1;
    Set_Data(0x00);
    Set_Control(0x04);
    Log_Port_Activity("live");
    ASSERT_EQ(view.memo.size(), 1u);
    EXPECT_EQ(view.memo[0], Port_Activity_Record(Get_Control(), Get_Data(), Get_Status(), "live"));
    EXPECT_EQ(view.memo[0].substr(0, 20), "C00001111 D00000000 ");

    Program_Services().activity_log_view = nullptr;  // window gone: nothing breaks
    Log_Port_Activity("nowhere");
}

TEST_F(ActivityLogTest, MemoKeepsAtMost201Lines) {
    Port_State.Log_Mask = Log_Low;
    for (int i = 0; i < 201; ++i) Log_Port_Activity("line " + std::to_string(i));
    EXPECT_EQ(view.memo.size(), 201u);
    Log_Port_Activity("line 201");
    ASSERT_EQ(view.memo.size(), 192u);
    EXPECT_EQ(view.memo.front().substr(30), "line 10");
    EXPECT_EQ(view.memo.back().substr(30), "line 201");
    for (int i = 0; i < 500; ++i) Log_Port_Activity("more");
    EXPECT_LE(view.memo.size(), 201u);
}

TEST_F(ActivityLogTest, LogFileHasTheHeaderThenOneRecordPerLine) {
    view.level_text = "high";
    dialogs.save_answers = {Path("log.txt")};
    EXPECT_EQ(Change_Log_Level(4), Path("log.txt"));
    EXPECT_EQ(Port_State.Log_Mask, 4);
    ASSERT_EQ(dialogs.save_requests.size(), 1u);
    const FileDialogRequest& request = dialogs.save_requests[0];
    EXPECT_EQ(request.title, "Save Parallel Port Diagnostic Log...");
    EXPECT_EQ(request.default_name, "log.txt");
    EXPECT_EQ(request.default_extension, "TXT");
    EXPECT_EQ(request.filter, "Text files (*.txt)|*.TXT|All files (*.*)|*.*");
    EXPECT_TRUE(request.overwrite_prompt);
    EXPECT_TRUE(request.hide_read_only);

    std::string header = "Pin Assignment:";
    for (int pin = 1; pin <= 17; ++pin) header += "\r\ncaption " + std::to_string(pin);
    header +=
        "\r\nPin state log: high\r\nControl-- Data----- Status---\r\n"
        "     1110  00000000  11111   \r\nPins:7641  98765432  10235   ";
    EXPECT_EQ(Content(Path("log.txt")), header);

    Set_Data(0x00);
    Set_Control(0x04);
    Log_Port_Activity("first");
    Log_Port_Activity("second");
    const std::string expected =
        header + "\r\n" + Port_Activity_Record(Get_Control(), Get_Data(), Get_Status(), "first") +
        "\r\n" + Port_Activity_Record(Get_Control(), Get_Data(), Get_Status(), "second");
    EXPECT_EQ(Content(Path("log.txt")), expected);  // no line break at the end

    EXPECT_EQ(Change_Log_Level(0), std::nullopt);  // "off": label keeps its text
    EXPECT_EQ(Port_State.Log_File, nullptr);
    EXPECT_EQ(Port_State.Log_Mask, 0);
    Log_Port_Activity("after off");
    EXPECT_EQ(Content(Path("log.txt")), expected);
}

TEST_F(ActivityLogTest, ExistingFileIsTruncatedButNeverOneInUse) {
    std::ofstream(Path("old.txt")) << "old content";
    dialogs.save_answers = {Path("old.txt")};
    ASSERT_EQ(Change_Log_Level(1), Path("old.txt"));
    EXPECT_EQ(Content(Path("old.txt")).rfind("Pin Assignment:", 0), 0u);
    Close_Activity_Log_File();

    Line_File holder;  // another writer holds the file
    holder.Line_File_Open(Path("held.txt"));
    holder.Line_File_Write_Line("precious");
    dialogs.save_answers = {Path("held.txt")};
    Port_State.Log_Mask = 2;
    EXPECT_EQ(Change_Log_Level(1), "no log file");
    EXPECT_EQ(Port_State.Log_Mask, 2);  // unchanged on failure
    EXPECT_EQ(Port_State.Log_File, nullptr);
    EXPECT_EQ(Content(Path("held.txt")), "precious\r\n");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Cannot create the log file " +
                                            Quoted_Token(Path("held.txt")) +
                                            ":\nit is in use by another program");
}

// A full disk: the file ends on its last whole record, logging is off (as with "off"), the
// window is told, and one message names the file and the system's reason.
TEST_F(ActivityLogTest, AFullDiskSwitchesLoggingOffWithOneMessage) {
    dialogs.save_answers = {Path("log.txt")};
    ASSERT_EQ(Change_Log_Level(1), Path("log.txt"));
    Log_Port_Activity("kept");
    const std::string kept = Content(Path("log.txt"));
    {
        FullDiskAfter full(0);
        Log_Port_Activity("torn");
        Log_Port_Activity("never");
    }
    EXPECT_EQ(Content(Path("log.txt")), kept);
    EXPECT_EQ(Port_State.Log_Mask, 0);
    EXPECT_EQ(Port_State.Log_File, nullptr);
    EXPECT_EQ(view.switched_off_label, "no log file");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Osdex Evaluation Kit");
    EXPECT_EQ(dialogs.messages[0].text, "Writing the port activity log " +
                                            Quoted_Token(Path("log.txt")) +
                                            " failed: No space left on device. Logging is "
                                            "switched off.");

    // A disk that is full already when the header is written: no file is left in use.
    dialogs.messages.clear();
    dialogs.save_answers = {Path("second.txt")};
    {
        FullDiskAfter full(0);
        EXPECT_EQ(Change_Log_Level(4), "no log file");
    }
    EXPECT_EQ(Port_State.Log_File, nullptr);
    EXPECT_EQ(Content(Path("second.txt")), "");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("No space left on device"), std::string::npos);
}

TEST_F(ActivityLogTest, UnwritableLocationIsReported) {
    dialogs.save_answers = {Path("no/such/dir/log.txt")};
    EXPECT_EQ(Change_Log_Level(2), "no log file");
    EXPECT_EQ(Port_State.Log_Mask, 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Osdex Evaluation Kit");
    EXPECT_NE(dialogs.messages[0].text.find("Cannot create the log file"), std::string::npos);
}

TEST_F(ActivityLogTest, APipeInThePlaceOfTheLogIsRefusedAtOnce) {
    ASSERT_EQ(::mkfifo(Path("pipe.txt").c_str(), 0666), 0);
    dialogs.save_answers = {Path("pipe.txt")};
    EXPECT_EQ(Change_Log_Level(1), "no log file");  // returns: no reader ever comes
    EXPECT_EQ(Port_State.Log_File, nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Cannot create the log file " +
                                            Quoted_Token(Path("pipe.txt")) + ":\n" +
                                            Open_Failure_Reason(Open_Error_Not_Regular));
    EXPECT_TRUE(fs::is_fifo(Path("pipe.txt")));
}

TEST_F(ActivityLogTest, EveryLevelChangeAsksAgainAndReleasesTheEarlierFile) {
    dialogs.save_answers = {Path("a.txt"), Path("b.txt")};
    ASSERT_EQ(Change_Log_Level(2), Path("a.txt"));
    ASSERT_EQ(Change_Log_Level(3), Path("b.txt"));
    EXPECT_EQ(dialogs.save_requests.size(), 2u);
    EXPECT_EQ(Port_State.Log_Mask, 2);
    EXPECT_EQ(Port_State.Log_File->Name(), Path("b.txt"));

    Line_File other;  // a.txt is no longer locked by the log
    other.Line_File_Open(Path("a.txt"));
    EXPECT_TRUE(other.Has_Handle());

    // The same name again: the earlier handle is closed first, so it can be recreated.
    dialogs.save_answers = {Path("b.txt")};
    EXPECT_EQ(Change_Log_Level(5), Path("b.txt"));
    EXPECT_EQ(Port_State.Log_Mask, 6);

    // Cancel: the open file goes on, and the label says which one.
    EXPECT_EQ(Change_Log_Level(6), Path("b.txt"));
    EXPECT_EQ(Port_State.Log_Mask, 5);
    Log_Port_Activity("still logged");
    EXPECT_NE(Content(Path("b.txt")).find("still logged"), std::string::npos);

    Close_Activity_Log_File();
    EXPECT_EQ(Change_Log_Level(1), "no log file");  // cancel without a file
    EXPECT_EQ(Port_State.Log_Mask, 7);

    EXPECT_EQ(Change_Log_Level(7), std::nullopt);  // not in the list: nothing changes
    EXPECT_EQ(Change_Log_Level(-1), std::nullopt);
    EXPECT_EQ(Port_State.Log_Mask, 7);
}

}  // namespace
