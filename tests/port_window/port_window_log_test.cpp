#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "port_window_fixture.h"

namespace {

std::string Read_File(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class PortWindowLogTest : public PortWindowTest {
protected:
    void SetUp() override {
        PortWindowTest::SetUp();
        dir = std::filesystem::temp_directory_path() /
              ("port_window_log_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        form->Label_Pin_Check_Boxes();
        Show_Page(form->TabSheetLog);
        form->cbxLog->setFocus();
    }
    void TearDown() override {
        PortWindowTest::TearDown();
        std::filesystem::remove_all(dir);
    }

    // The user opens the level list and clicks an item.
    void Choose_Level(int index) {
        form->cbxLog->showPopup();
        QAbstractItemView* view = form->cbxLog->view();
        const QPoint item = view->visualRect(view->model()->index(index, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item);
        QApplication::processEvents();
        ASSERT_EQ(form->cbxLog->currentIndex(), index);
    }

    std::filesystem::path dir;
};

TEST_F(PortWindowLogTest, NewFileGetsTheHeaderAndTheRecords) {
    const std::string path = (dir / "first.txt").string();
    dialogs.save_answers.push_back(path);
    Choose_Level(1);  // "all"

    ASSERT_EQ(dialogs.save_requests.size(), 1u);
    EXPECT_EQ(dialogs.save_requests[0].title, "Save Parallel Port Diagnostic Log...");
    EXPECT_EQ(dialogs.save_requests[0].default_name, "log.txt");
    EXPECT_EQ(form->LabelLogFileName->text().toStdString(), path);
    EXPECT_EQ(Port_State.Log_Mask, 7);

    const std::string header = Read_File(path);
    const std::string expected_start = "Pin Assignment:\r\n1) Osdex ~WR\r\n2) Osdex D0\r\n";
    EXPECT_EQ(header.substr(0, expected_start.size()), expected_start);
    const std::string expected_end =
        "17) Osdex CS / Xelor ~CE\r\nPin state log: all\r\nControl-- Data----- Status---\r\n"
        "     1110  00000000  11111   \r\nPins:7641  98765432  10235   ";
    ASSERT_GE(header.size(), expected_end.size());
    EXPECT_EQ(header.substr(header.size() - expected_end.size()), expected_end);

    Log_Port_Activity("hello");
    ASSERT_EQ(form->Memo_Line_Count(), 1);
    const std::string record = form->MemoHistory->toPlainText().toStdString();
    EXPECT_EQ(record.substr(record.size() - 6), " hello");
    EXPECT_EQ(Read_File(path), header + "\r\n" + record);
}

TEST_F(PortWindowLogTest, ChangingLevelSwitchesFilesAndCancelKeepsTheOpenOne) {
    const std::string first = (dir / "first.txt").string();
    const std::string second = (dir / "second.txt").string();
    dialogs.save_answers = {first, second, std::nullopt};
    Choose_Level(1);
    Choose_Level(2);  // "low": a new file, the first one is closed
    EXPECT_EQ(dialogs.save_requests.size(), 2u);
    EXPECT_EQ(form->LabelLogFileName->text().toStdString(), second);
    EXPECT_EQ(Port_State.Log_Mask, 1);
    Log_Port_Activity("to second");
    EXPECT_EQ(Read_File(first).find("to second"), std::string::npos);
    EXPECT_NE(Read_File(second).find("to second"), std::string::npos);

    Choose_Level(3);  // "med", cancelled: the open file and its name stay
    EXPECT_EQ(dialogs.save_requests.size(), 3u);
    EXPECT_EQ(form->LabelLogFileName->text().toStdString(), second);
    EXPECT_EQ(Port_State.Log_Mask, 2);
    Log_Port_Activity("still second");
    EXPECT_NE(Read_File(second).find("still second"), std::string::npos);

    Choose_Level(0);  // "off": no dialog, logging stops, the label keeps its text
    EXPECT_EQ(dialogs.save_requests.size(), 3u);
    EXPECT_EQ(Port_State.Log_Mask, 0);
    EXPECT_EQ(Port_State.Log_File, nullptr);
    EXPECT_EQ(form->LabelLogFileName->text().toStdString(), second);
}

TEST_F(PortWindowLogTest, FileThatCannotBeCreatedIsReportedAndLogsNothing) {
    dialogs.save_answers.push_back((dir / "missing" / "log.txt").string());
    Choose_Level(4);  // "high"
    EXPECT_EQ(form->LabelLogFileName->text(), "no log file");
    EXPECT_EQ(Port_State.Log_Mask, 0);
    EXPECT_EQ(Port_State.Log_File, nullptr);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(PortWindowLogTest, MemoKeepsAtMostTwoHundredAndOneLines) {
    Port_State.Log_Mask = Log_High;
    for (int i = 1; i <= 201; ++i) Log_Port_Activity("m" + std::to_string(i));
    EXPECT_EQ(form->Memo_Line_Count(), 201);
    Log_Port_Activity("m202");
    EXPECT_EQ(form->Memo_Line_Count(), 192);
    const QString text = form->MemoHistory->toPlainText();
    EXPECT_TRUE(text.section('\n', 0, 0).endsWith(" m11"));
    EXPECT_TRUE(text.section('\n', -1).endsWith(" m202"));

    form->Memo_Delete_First_Lines(500);  // more than there are: the memo is empty
    EXPECT_EQ(form->Memo_Line_Count(), 0);
}

}  // namespace
