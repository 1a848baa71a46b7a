// The drawing windows from the keyboard: tools, levels and channels, and no key taken twice or
// from the menus.
#include <QAction>
#include <QCheckBox>
#include <QMenuBar>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <map>

#include "ui/channel_window/channel_windows.h"
#include "ui/drawing/drawing_keys.h"
#include "ui_fixture.h"

namespace {

class KeyboardTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Start_Program();
    }
    static void Activate(QWidget* window) {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QApplication::processEvents();
    }
    static void Key(QWidget* window, const QKeySequence& key) {
        const QKeyCombination combination = key[0];
        QTest::keyClick(window, combination.key(), combination.keyboardModifiers());
        QApplication::processEvents();
    }
};

TEST_F(KeyboardTest, ToolsAndLevelsFromTheKeyboard) {
    TOsdexFormCH0* form = OsdexFormCH0;
    Activate(form);
    for (int tool : {Tool_Solid_Rect, Tool_Quad_Pixel, Tool_Share_Mem, Tool_Time_Stamp,
                     Tool_Read_OSD, Tool_Crosshair}) {
        Key(form, Tool_Key(tool));
        EXPECT_EQ(form->Tool, tool);
    }
    for (int level : {7, 0, 13, 15, 9}) {
        Key(form, Level_Key(level));
        EXPECT_EQ(form->Level, level);
        EXPECT_TRUE(form->ToolButtonFILL[level]->isChecked());
    }
    // The main window's freehand tool is disabled: its key does nothing either.
    Activate(OsdexForm);
    Key(OsdexForm, Tool_Key(Tool_Open_Rect));
    Key(OsdexForm, Tool_Key(Tool_Freehand));
    EXPECT_EQ(OsdexForm->Tool, Tool_Open_Rect);
}

TEST_F(KeyboardTest, ChannelKeysChooseTheChannelsToWriteAndShowChannelWindows) {
    Activate(OsdexForm);
    Key(OsdexForm, Channel_Key(2));
    Key(OsdexForm, Channel_Key(0));
    EXPECT_EQ(OsdexForm->MwriteMask, 0x04);
    EXPECT_TRUE(OsdexForm->cbMWRITE[2]->isChecked());
    Activate(OsdexFormCH0);
    Key(OsdexFormCH0, Channel_Key(5));
    EXPECT_TRUE(OsdexFormCH[5]->isVisible());
}

TEST_F(KeyboardTest, TypingIntoAFieldStillTypes) {
    TOsdexFormCH0* form = OsdexFormCH0;
    Activate(form);
    form->UpDownHOFFSET->setFocus();
    form->UpDownHOFFSET->selectAll();
    QTest::keyClicks(form->UpDownHOFFSET, "42");
    EXPECT_EQ(form->UpDownHOFFSET->value(), 42);
    EXPECT_EQ(form->Level, 0);
}

// Every key of a window is taken once (the main window's menus included), and the channel
// windows take none of the keys the other windows' menus have.
TEST_F(KeyboardTest, NoKeyIsTakenTwice) {
    for (QWidget* window : std::initializer_list<QWidget*>{OsdexForm, OsdexFormCH0}) {
        std::map<QString, QString> owner;
        for (QAction* action : window->findChildren<QAction*>()) {
            for (const QKeySequence& key : action->shortcuts()) {
                const QString text = key.toString();
                EXPECT_TRUE(owner.emplace(text, action->objectName()).second)
                    << text.toStdString() << ": " << action->objectName().toStdString() << " and "
                    << owner[text].toStdString();
            }
        }
        EXPECT_TRUE(owner.count("Ctrl++") && owner.count("Ctrl+0") && owner.count("S"));
        for (const char* menu_key : {"F1", "F3", "F4", "F5", "F8", "F10", "Ctrl+L"}) {
            if (window == OsdexForm && owner.count(menu_key)) {
                EXPECT_TRUE(owner[menu_key].startsWith("menu")) << menu_key;
            } else {
                EXPECT_EQ(owner.count(menu_key), 0u) << menu_key;
            }
        }
    }
}

}  // namespace
