// The toolkit adapters: file-dialog filters and default extensions, Qt message boxes answered
// through their buttons, the level picker's two rows, the event pump, the display check.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>
#include <cstdlib>
#include <functional>

#include "shell/event_pump.h"
#include "ui/app/application.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_event_pump.h"
#include "ui/widgets/qp_level_picker.h"

TEST(QtFilter, ConvertsPairsToQtNameFilters) {
    EXPECT_EQ(Qt_Filter_From_Pairs("All (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|"
                                   "Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico"),
              "All (*.bmp;*.ico;*.emf;*.wmf) (*.bmp *.ico *.emf *.wmf);;Bitmaps (*.bmp) "
              "(*.bmp);;Icons (*.ico) (*.ico)");
    EXPECT_EQ(Qt_Filter_From_Pairs("Text files|*.txt"), "Text files (*.txt)");
    EXPECT_EQ(Qt_Filter_From_Pairs(""), "");
    // A trailing text without patterns is dropped rather than offered as an empty filter.
    EXPECT_EQ(Qt_Filter_From_Pairs("A|*.a|B"), "A (*.a)");
}

TEST(QtFilter, DefaultExtensionOnlyWhenTheNameHasNone) {
    EXPECT_EQ(Apply_Default_Extension("/tmp/picture", "BMP"), "/tmp/picture.BMP");
    EXPECT_EQ(Apply_Default_Extension("/tmp/picture.png", "BMP"), "/tmp/picture.png");
    EXPECT_EQ(Apply_Default_Extension("/tmp/dir.d/picture", "BMP"), "/tmp/dir.d/picture.BMP");
    EXPECT_EQ(Apply_Default_Extension("/tmp/picture", ""), "/tmp/picture");
    EXPECT_EQ(Apply_Default_Extension("", "BMP"), "");
}

namespace {

// Acts on the message box once it is up.
void When_Box_Shows(std::function<void(QMessageBox*)> act) {
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        act(box);
    });
}

MessageBoxRequest Box(MsgButtons buttons, MsgResult default_button) {
    MessageBoxRequest request;
    request.caption = "RUDIRUVUVA";
    request.text = "question";
    request.buttons = buttons;
    request.default_button = default_button;
    return request;
}

}  // namespace

TEST(QtDialogsTest, MessageBoxAnswersWithTheButtonPressed) {
    QtDialogs dialogs;
    When_Box_Shows([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "RUDIRUVUVA");
        EXPECT_EQ(box->buttons().size(), 3);
        box->button(QMessageBox::Retry)->click();
    });
    EXPECT_EQ(dialogs.Message_Box(Box(MsgButtons::AbortRetryIgnore, MsgResult::Abort)),
              MsgResult::Retry);
}

TEST(QtDialogsTest, EnterTakesTheDefaultButtonAndEscapeTheSafeAnswer) {
    QtDialogs dialogs;
    When_Box_Shows([](QMessageBox* box) {
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        box->defaultButton()->click();
    });
    EXPECT_EQ(dialogs.Message_Box(Box(MsgButtons::YesNo, MsgResult::No)), MsgResult::No);

    When_Box_Shows([](QMessageBox* box) { box->reject(); });
    EXPECT_EQ(dialogs.Message_Box(Box(MsgButtons::YesNo, MsgResult::Yes)), MsgResult::No);
    When_Box_Shows([](QMessageBox* box) { box->reject(); });
    EXPECT_EQ(dialogs.Message_Box(Box(MsgButtons::AbortRetryIgnore, MsgResult::Abort)),
              MsgResult::Ignore);
}

// A file name or a file's content in a message: shown as it is written, never acted on.
TEST(QtDialogsTest, TextsFromOutsideShowAsPlainPrintableLines) {
    QtDialogs dialogs;
    MessageBoxRequest request = Box(MsgButtons::Ok, MsgResult::Ok);
    request.caption = "Osdex\x1b]0;x\x07";
    request.text = "Cannot load \"<b>a\x1b[2Jb</b>.bmp\":\r\nsecond line\tend";
    When_Box_Shows([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Osdex\\x1B]0;x\\x07");
        EXPECT_EQ(box->text(), "Cannot load \"<b>a\\x1B[2Jb</b>.bmp\":\r\nsecond line\\x09end");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        box->accept();
    });
    dialogs.Message_Box(request);
}

TEST(QpLevelPickerTest, ShownAndSelectedRowsAreIndependentAndClamped) {
    QpLevelPicker picker([](int level) { return QColor(level * 16, 0, 0); });
    EXPECT_EQ(picker.height(), 21);
    picker.Set_Shown_Row(9);
    EXPECT_EQ(picker.Shown_Row(), 9);
    EXPECT_EQ(picker.Selected_Row(), 0);
    picker.Select_Shown_Row();
    EXPECT_EQ(picker.Selected_Row(), 9);
    picker.Set_Shown_Row(40);
    EXPECT_EQ(picker.Shown_Row(), 15);
    picker.Set_Selected_Row(-3);
    EXPECT_EQ(picker.Selected_Row(), 0);

    // Scrolling by the user moves the shown row only.
    picker.Set_Shown_Row(5);
    QWheelEvent down(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&picker, &down);
    EXPECT_EQ(picker.Shown_Row(), 6);
    EXPECT_EQ(picker.Selected_Row(), 0);
}

TEST(QtEventPump, ProcessesPendingEventsForLongLoops) {
    Install_Qt_Event_Pump(*QCoreApplication::instance());
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    EXPECT_FALSE(Process_Pending_Events());
    EXPECT_TRUE(ran);
    Remove_Qt_Event_Pump();
}

TEST(DisplayCheck, SaysSoWhenThereIsNoDisplay) {
    auto save = [](const char* name) {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    auto restore = [](const char* name, const std::optional<std::string>& v) {
        if (v)
            setenv(name, v->c_str(), 1);
        else
            unsetenv(name);
    };
    auto platform = save("QT_QPA_PLATFORM"), display = save("DISPLAY"),
         wayland = save("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    auto message = Missing_Display_Message();
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find("no display"), std::string::npos);
    setenv("DISPLAY", ":0", 1);
    EXPECT_FALSE(Missing_Display_Message().has_value());
    restore("QT_QPA_PLATFORM", platform);
    restore("DISPLAY", display);
    restore("WAYLAND_DISPLAY", wayland);
}
