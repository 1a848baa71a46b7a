// The crosspoint window against the simulated board's crosspoint.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "port/activity_log.h"
#include "shell/services.h"
#include "tests/ui/ui_fixture.h"
#include "ui/crosspoint/crosspoint_window.h"

namespace {

// Collects the activity log's messages.
class LogLines : public ActivityLogView {
public:
    int Memo_Line_Count() const override { return static_cast<int>(lines.size()); }
    void Memo_Delete_First_Lines(int count) override {
        lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(count, lines.size()));
    }
    void Memo_Add_Line(const std::string& line) override { lines.push_back(line); }
    std::string Pin_Caption(int) const override { return {}; }
    std::string Level_Text() const override { return "high"; }

    // The messages containing `what`, in order.
    std::vector<std::string> With(const std::string& what) const {
        std::vector<std::string> found;
        for (const std::string& line : lines)
            if (line.find(what) != std::string::npos) found.push_back(line.substr(line.find(what)));
        return found;
    }
    std::vector<std::string> lines;
};

class CrosspointWindowTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Start_Program();
        x = XelorForm;
        ASSERT_NE(x, nullptr);
    }
    void TearDown() override {
        Program_Services().activity_log_view = nullptr;
        UiTest::TearDown();
    }

    const board::XelorCrosspoint& Crosspoint() { return Board().Crosspoint(); }
    const board::CrosspointCounters& Counts() { return Crosspoint().Counters(); }

    // A user's choice of `entry` in a list, by keyboard, one step at a time.
    static void Choose(QComboBox* list, int entry) {
        while (list->currentIndex() < entry) QTest::keyClick(list, Qt::Key_Down);
        while (list->currentIndex() > entry) QTest::keyClick(list, Qt::Key_Up);
    }
    void Log_High() {
        Program_Services().activity_log_view = &log;
        Port_State.Log_Mask = Log_High_Mask;
    }
    static constexpr std::uint16_t Log_High_Mask = 4;

    TXelorForm* x = nullptr;
    LogLines log;
};

TEST_F(CrosspointWindowTest, StartUpSendsTwoFullInitializations) {
    EXPECT_EQ(Counts().resets, 1u);
    EXPECT_EQ(Counts().full_inits, 2u);
    EXPECT_EQ(Counts().single_updates, 0u);
    for (int o = 0; o < 16; ++o) {
        EXPECT_EQ(Crosspoint().Route(o), (board::CrosspointRoute{true, unsigned(o), 2u})) << o;
        EXPECT_EQ(x->ComboAv2[o]->currentText(), "2 V/V");
    }
    EXPECT_EQ(x->ComboOut[3]->currentText(), "Input 03");
    EXPECT_EQ(x->ComboOut[3]->count(), 5);  // normal mode: Disabled and inputs 00..03
    EXPECT_EQ(x->ComboOut[9]->currentText(), "Input 09");
    EXPECT_TRUE(x->PanelOut0407->isHidden());
    EXPECT_TRUE(x->PanelAddressPins->isHidden());
    EXPECT_EQ(x->labelPendingUpdate->text(), "none");
    EXPECT_EQ(x->OutputLabels[4]->objectName(), "Label1");
    EXPECT_EQ(x->OutputLabels[4]->text(), "Ouput 04");

    // A second window shows the two words: n on n at gain 1 (no gain chosen yet), then gain 2.
    Log_High();
    TXelorForm second;
    std::vector<std::string> inits = log.With("Xelor Send112bits (");
    ASSERT_EQ(inits.size(), 2u);
    EXPECT_EQ(inits[0].substr(0, 32), "Xelor Send112bits (0x4F, 0x4E, 0");
    EXPECT_NE(inits[0].find("0x41, 0x40)"), std::string::npos);
    EXPECT_EQ(inits[1].substr(0, 32), "Xelor Send112bits (0x6F, 0x6E, 0");
    EXPECT_NE(inits[1].find("0x61, 0x60)"), std::string::npos);
    EXPECT_EQ(log.With("Xelor Reset").size(), 1u);
}

TEST_F(CrosspointWindowTest, ByteExamplesReachTheBoard) {
    Log_High();
    QTest::mouseClick(x->ToolButtonAdvancedFeatures, Qt::LeftButton);
    // Output 5: input 3 at gain 2 -> 0x02 0xE3.
    Choose(x->ComboOut[5], 4);
    EXPECT_EQ(log.With("Xelor DoSendUpdate (").back(), "Xelor DoSendUpdate (0x2, 0xE3)");
    EXPECT_EQ(Crosspoint().Route(5), (board::CrosspointRoute{true, 3u, 2u}));
    EXPECT_EQ(x->labelPendingUpdate->text(), "OUT05: enable IN03, Av=2 V/V");
    EXPECT_EQ(x->labelSentOrPending->text(), "Re-Send Update:");

    // Disabled at gain 1 -> 0x02 0x9F.
    Choose(x->ComboAv2[5], 0);
    Choose(x->ComboOut[5], 0);
    EXPECT_EQ(log.With("Xelor DoSendUpdate (").back(), "Xelor DoSendUpdate (0x2, 0x9F)");
    EXPECT_FALSE(Crosspoint().Route(5).enabled);
    EXPECT_EQ(x->labelPendingUpdate->text(), "OUT05: disable, Av=1 V/V");

    // Output 0 on input 0 at gain 2, the rest disabled at gain 1: fields 0x1F ... 0x60.
    x->menuSetupDisabledClick();
    x->menuSetup1VVClick();
    Choose(x->ComboOut[0], 1);
    Choose(x->ComboAv2[0], 1);
    QTest::mouseClick(x->btnSend112bits, Qt::LeftButton);
    EXPECT_EQ(log.With("Xelor Send112bits (").back(),
              "Xelor Send112bits (0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, "
              "0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x60)");
    EXPECT_EQ(Crosspoint().Route(0), (board::CrosspointRoute{true, 0u, 2u}));
    for (int o = 1; o < 16; ++o) EXPECT_FALSE(Crosspoint().Route(o).enabled) << o;
}

TEST_F(CrosspointWindowTest, AddressBitsCountOnlyWhenTheyMatchTheBoard) {
    QTest::mouseClick(x->ToolButtonAdvancedFeatures, Qt::LeftButton);
    QTest::mouseClick(x->ToolButtonAdvancedFeatures, Qt::LeftButton);  // back to normal mode
    ASSERT_TRUE(x->PanelAddressPins->isHidden());
    x->cbA0->setChecked(true);  // counts although its panel is hidden

    Choose(x->ComboAv2[2], 0);
    EXPECT_EQ(Counts().ignored_updates, 1u);
    EXPECT_EQ(Crosspoint().Route(2).gain, 2u);

    Board().Crosspoint().Set_Address(1);
    Choose(x->ComboAv2[2], 1);
    Choose(x->ComboAv2[2], 0);
    EXPECT_EQ(Counts().single_updates, 2u);
    EXPECT_EQ(Crosspoint().Route(2), (board::CrosspointRoute{true, 2u, 1u}));
}

TEST_F(CrosspointWindowTest, ExpertModeKeepsOrDropsSelectionsWithoutSending) {
    Log_High();
    // Normal mode: inputs 16-31 are not in lists 00..03; they go out disabled with field 30.
    x->menuSetup1631Click();
    for (int o = 0; o < 4; ++o) EXPECT_EQ(x->ComboOut[o]->currentIndex(), -1) << o;
    EXPECT_NE(log.With("Xelor Send112bits (").back().find("0x3E, 0x3E, 0x3E, 0x3E)"),
              std::string::npos);
    for (int o = 0; o < 4; ++o) EXPECT_FALSE(Crosspoint().Route(o).enabled) << o;
    EXPECT_EQ(Crosspoint().Route(4), (board::CrosspointRoute{true, 20u, 2u}));

    x->menuSetup0015Click();
    const auto sent = Counts().bits_shifted;
    QTest::mouseClick(x->ToolButtonAdvancedFeatures, Qt::LeftButton);
    EXPECT_FALSE(x->PanelOut0815->isHidden());
    EXPECT_FALSE(x->PanelAddressPins->isHidden());
    EXPECT_EQ(x->ComboOut[2]->count(), 33);
    EXPECT_EQ(x->ComboOut[2]->currentText(), "Input 02");  // kept

    Choose(x->ComboOut[2], 10);  // "Input 09"
    const auto after_choice = Counts().bits_shifted;
    EXPECT_GT(after_choice, sent);
    QTest::mouseClick(x->ToolButtonAdvancedFeatures, Qt::LeftButton);
    EXPECT_EQ(x->ComboOut[2]->currentText(), "Disabled");
    EXPECT_EQ(x->ComboOut[1]->currentText(), "Input 01");
    EXPECT_EQ(Counts().bits_shifted, after_choice);  // nothing sent by the switch
    EXPECT_TRUE(x->PanelOut0407->isHidden());

    // Gain of output 07 in expert mode: one single update for output 7 with the address bits.
    QTest::mouseClick(x->ToolButtonAdvancedFeatures, Qt::LeftButton);
    x->cbA3->setChecked(true);
    const auto updates = log.With("Xelor DoSendUpdate (").size();
    Choose(x->ComboAv2[7], 0);
    std::vector<std::string> words = log.With("Xelor DoSendUpdate (");
    ASSERT_EQ(words.size(), updates + 1);
    EXPECT_EQ(words.back(), "Xelor DoSendUpdate (0x43, 0xC7)");  // A3, output 7, input 7, gain 1
    EXPECT_EQ(Counts().ignored_updates, 1u);                     // the board's address is 0000
}

TEST_F(CrosspointWindowTest, AlertsAndBulkActions) {
    dialogs.messages.clear();  // the start-up report
    x->menucbShowUpdates->trigger();
    EXPECT_TRUE(x->menucbShowUpdates->isChecked());
    EXPECT_EQ(x->menuSetup00->shortcut(), QKeySequence(Qt::Key_F8));
    Show_Crosspoint_Window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(x));
    QTest::keyClick(x, Qt::Key_F8);  // every output on input 00
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Xelor btnFullCmdStringClick");
    EXPECT_EQ(dialogs.messages[0].text.substr(0, 10), "IN00 IN00 ");
    for (int o = 0; o < 16; ++o) EXPECT_EQ(Crosspoint().Route(o).input, 0u) << o;

    QTest::mouseClick(x->ToolButton1vv, Qt::LeftButton);
    for (int o = 0; o < 16; ++o) EXPECT_EQ(Crosspoint().Route(o).gain, 1u) << o;
    EXPECT_EQ(dialogs.messages.back().text.substr(0, 10), "in00 in00 ");

    Choose(x->ComboOut[1], 0);
    EXPECT_EQ(dialogs.messages.back().caption, "Xelor SendUpdate");
    EXPECT_EQ(dialogs.messages.back().text, "[009F] OUT01: disabled, Av=1 V/V");

    x->menucbShowUpdates->trigger();
    const auto shown = dialogs.messages.size();
    QTest::mouseClick(x->ToolButtonDisable, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.size(), shown);
    for (int o = 0; o < 16; ++o) EXPECT_FALSE(Crosspoint().Route(o).enabled) << o;
}

}  // namespace
