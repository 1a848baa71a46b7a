// The main window's close question, View navigation, the low-level panels switch, tool and
// level selection, and the channel window's own show behaviour.
#include <QAction>
#include <QScrollArea>
#include <QToolButton>

#include "chip/luma.h"
#include "port/window/port_window.h"
#include "ui/crosspoint/crosspoint_window.h"
#include "ui/text_dialog/text_dialog.h"
#include "ui/widgets/qp_level_picker.h"
#include "ui_fixture.h"

TEST_F(UiTest, CloseQueryNoKeepsTheTimerAsItWas) {
    Start_Program();
    for (bool enabled : {true, false}) {
        if (enabled)
            OsdexForm->Timer1->start();
        else
            OsdexForm->Timer1->stop();
        dialogs.messages.clear();
        dialogs.message_answers = {MsgResult::No};
        EXPECT_FALSE(OsdexForm->close());
        EXPECT_TRUE(OsdexForm->isVisible());
        EXPECT_EQ(OsdexForm->Timer1->isActive(), enabled);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        const MessageBoxRequest& box = dialogs.messages[0];
        EXPECT_EQ(box.caption, "RUDIRUVUVA");
        EXPECT_EQ(box.text, "Do you want to close the Osdex Evaluation Kit?");
        EXPECT_EQ(box.buttons, MsgButtons::YesNo);
        EXPECT_EQ(box.default_button, MsgResult::No);
        EXPECT_EQ(box.icon, MsgIcon::None);
        EXPECT_FALSE(Quit_Requested());
    }
}

TEST_F(UiTest, CloseQueryYesClosesWithTheTimerStopped) {
    Start_Program();
    dialogs.message_answers = {MsgResult::Yes};
    EXPECT_TRUE(OsdexForm->close());
    EXPECT_FALSE(OsdexForm->Timer1->isActive());
    EXPECT_TRUE(Quit_Requested());
}

TEST_F(UiTest, ViewCommandRestoresAMinimisedOrHiddenChannelWindowUnchanged) {
    Start_Program();
    TOsdexFormCH0* three = OsdexFormCH3;
    three->setWindowTitle("Osdex Channel 3");
    OsdexForm->menuViewCh[3]->trigger();
    EXPECT_TRUE(three->isVisible());

    three->showMinimized();
    ASSERT_TRUE(three->isMinimized());
    OsdexForm->ToolButtonView[3]->click();
    EXPECT_FALSE(three->isMinimized());
    EXPECT_TRUE(three->isVisible());
    EXPECT_EQ(OsdexFormCH3, three);
    EXPECT_EQ(three->RegisterBase, 48);

    // The channel windows' own buttons reach the same windows.
    OsdexFormCH0->ToolButtonView[5]->click();
    EXPECT_TRUE(OsdexFormCH5->isVisible());
    OsdexForm->showMinimized();
    OsdexFormCH0->ToolButtonViewMwrite->click();
    EXPECT_FALSE(OsdexForm->isMinimized());
    OsdexForm->ToolButtonViewCrosspoint->click();
    EXPECT_TRUE(XelorForm->isVisible());
    OsdexFormCH0->ToolButtonParallelPort->click();
    EXPECT_TRUE(LptConForm->isVisible());
}

TEST_F(UiTest, ViewCommandBeforeTheFirstShowCreatesOnlyThatChannel) {
    Create_Application_Windows();
    OsdexForm->menuViewChClick(5);
    for (int n = 0; n < 8; ++n) EXPECT_EQ(OsdexFormCH[n] != nullptr, n == 5) << n;
    EXPECT_TRUE(OsdexFormCH5->isVisible());
    EXPECT_EQ(OsdexFormCH5->windowTitle(), "Osdex Channel 5");

    // The first show creates the rest and leaves channel 5 as it was.
    OsdexForm->show();
    EXPECT_TRUE(OsdexFormCH5->isVisible());
    EXPECT_TRUE(OsdexFormCH0->isVisible());
    EXPECT_FALSE(OsdexFormCH1->isVisible());
}

TEST_F(UiTest, AdvancedFeaturesShowsAndHidesBothLowLevelPanels) {
    Start_Program();
    EXPECT_FALSE(OsdexForm->ScrollBoxRegs->isVisibleTo(OsdexForm));
    EXPECT_FALSE(OsdexForm->Panel1->isVisibleTo(OsdexForm));
    OsdexForm->ToolButtonAdvancedFeatures->click();
    EXPECT_TRUE(OsdexForm->ScrollBoxRegs->isVisibleTo(OsdexForm));
    EXPECT_TRUE(OsdexForm->Panel1->isVisibleTo(OsdexForm));
    OsdexForm->ToolButtonAdvancedFeatures->click();
    EXPECT_FALSE(OsdexForm->ScrollBoxRegs->isVisibleTo(OsdexForm));
    EXPECT_FALSE(OsdexForm->Panel1->isVisibleTo(OsdexForm));

    TOsdexFormCH0* channel = OsdexFormCH0;
    channel->ToolButtonAdvancedFeatures->click();
    EXPECT_TRUE(channel->ScrollBoxRegs->isVisibleTo(channel));
    channel->ToolButtonAdvancedFeatures->click();
    EXPECT_FALSE(channel->ScrollBoxRegs->isVisibleTo(channel));
}

TEST_F(UiTest, ToolAndLevelButtonsSelectAndMirrorTheirState) {
    Start_Program();
    // The main window starts with the crosshair tool but no tool button pressed.
    EXPECT_EQ(OsdexForm->Tool, 0);
    EXPECT_FALSE(OsdexForm->ToolButtonCrosshair->isChecked());
    EXPECT_TRUE(OsdexForm->ToolButtonFILL[0]->isChecked());
    EXPECT_FALSE(OsdexForm->ToolButtonFreehandDrawing->isEnabled());

    OsdexForm->ToolButtonOpenRect->click();
    OsdexForm->ToolButtonOpenRect->click();  // a second click keeps the tool pressed
    EXPECT_EQ(OsdexForm->Tool, 3);
    EXPECT_TRUE(OsdexForm->ToolButtonOpenRect->isChecked());
    EXPECT_FALSE(OsdexForm->ToolButtonCrosshair->isChecked());

    OsdexForm->ListBoxQP1->Set_Shown_Row(4);
    OsdexForm->ToolButtonFILL[9]->click();
    EXPECT_EQ(OsdexForm->Level, 9);
    for (int level = 0; level < 16; ++level)
        EXPECT_EQ(OsdexForm->ToolButtonFILL[level]->isChecked(), level == 9) << level;
    for (QpLevelPicker* picker : OsdexForm->Quad_Pickers()) {
        EXPECT_EQ(picker->Selected_Row(), 9);
        EXPECT_EQ(picker->Shown_Row(), 9);
    }

    TOsdexFormCH0* channel = OsdexFormCH0;
    EXPECT_TRUE(channel->ToolButtonCrosshair->isChecked());
    channel->ToolButtonReadOSD->click();
    EXPECT_EQ(channel->Tool, 12);
    EXPECT_FALSE(channel->ToolButtonCrosshair->isChecked());
    EXPECT_FALSE(channel->ToolButtonSaveRect->isEnabled());
    EXPECT_EQ(OsdexForm->Tool, 3);  // each window keeps its own tool
}

TEST_F(UiTest, ChannelWindowShowResetsTheTimeStampButNotItsRunState) {
    CGForm = new TCGForm();
    TextFont dialog_font = CGForm->EditText_Font();
    dialog_font.Bold = true;
    CGForm->Set_EditText_Font(dialog_font);

    TOsdexFormCH0* lone = new TOsdexFormCH0();
    OsdexFormCH[0] = lone;  // owned by the fixture's teardown
    lone->show();
    // A window whose creator set no RegisterBase is channel 0.
    EXPECT_EQ(lone->windowTitle(), "Osdex Channel 0");
    EXPECT_EQ(lone->TimeStampX, 50);
    EXPECT_EQ(lone->TimeStampY, 50);
    EXPECT_EQ(lone->TimeStampBorder, 5);
    EXPECT_FALSE(lone->TimeStampWhiteBackground);
    EXPECT_EQ(lone->TimeStampFont.Name, "Courier New");
    EXPECT_EQ(lone->TimeStampFont.Height, 16);
    EXPECT_TRUE(lone->TimeStampFont.Bold);  // the rest comes from the text dialog's font
    EXPECT_EQ(lone->TimeStampBox.Left, 45);
    EXPECT_EQ(lone->TimeStampBox.Top, 45);
    EXPECT_EQ(lone->TimeStampBox.Right, 55 + lone->Picture.Text_Width("88:88 AM"));
    EXPECT_EQ(lone->TimeStampBox.Bottom, 55 + lone->Picture.Text_Height("88:88 AM"));

    lone->TimeStampX = 300;
    lone->TimeStampWhiteBackground = true;
    lone->TimeStampRunning = true;
    lone->close();  // closing only hides
    EXPECT_EQ(OsdexFormCH[0], lone);
    lone->show();
    EXPECT_EQ(lone->TimeStampX, 50);
    EXPECT_FALSE(lone->TimeStampWhiteBackground);
    EXPECT_TRUE(lone->TimeStampRunning);
}

TEST_F(UiTest, ChannelWindowConstructionResetsTheTransparentColour) {
    Transparent_Color = 0x123456;
    TOsdexFormCH0 window;
    EXPECT_EQ(Transparent_Color, 0x00FF0000u);
    EXPECT_EQ(window.Picture.Pixel(5, 5), 0x00FF0000u);
    EXPECT_EQ(window.Tool, 0);
    EXPECT_EQ(window.Level, 0);
    EXPECT_FALSE(window.Timer1->isActive());
    EXPECT_EQ(window.Timer1->interval(), 1000);
}
