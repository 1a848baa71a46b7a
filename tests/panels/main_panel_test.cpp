// The main window's multi-channel register panel against the simulated board.
#include <QPushButton>

#include "chip/channel_pictures.h"
#include "chip/register_map.h"
#include "panel_fixture.h"

namespace {

class MainPanelTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        form = With_Registers(OsdexForm);
    }
    TOsdexForm* form = nullptr;
};

TEST_F(MainPanelTest, QuadRowsWriteAndReadTheMultiChannelBank) {
    Show_Pattern(form, {1, 2, 3, 4});
    Click(form->btnSetQP);
    EXPECT_EQ(Chip().Register(MReg::QPH), 0x12);
    EXPECT_EQ(Chip().Register(MReg::QPL), 0x34);

    // Typing a position writes nothing in this window; Set writes it.
    const std::uint64_t before = Writes();
    Type(form->UpDownQPLINE, "256");
    Type(form->UpDownQPHORIZ, "99");
    EXPECT_EQ(Writes(), before);
    for (auto [line, high, low] : {std::tuple{256, 1, 0}, {255, 0, 255}, {511, 1, 255}}) {
        Type(form->UpDownQPLINE, QString::number(line));
        Click(form->btnSetQPLINE);
        EXPECT_EQ(Chip().Register(MReg::QPLINEH), high) << line;
        EXPECT_EQ(Chip().Register(MReg::QPLINEL), low) << line;
    }
    Click(form->btnSetQPHORIZ);
    EXPECT_EQ(Chip().Register(MReg::QPHORIZ), 99);

    Chip().Set_Register(MReg::QPLINEH, 1);
    Chip().Set_Register(MReg::QPLINEL, 44);
    Click(form->btnGetQPLINE);
    EXPECT_EQ(form->UpDownQPLINE->value(), 300);

    Chip().Set_Register(MReg::QPH, 0xF0);
    Chip().Set_Register(MReg::QPL, 0x9A);
    Click(form->btnGetQP);
    EXPECT_EQ(Shown(form), (std::array<int, 4>{15, 0, 9, 10}));
    EXPECT_EQ(Selected(form), (std::array<int, 4>{15, 0, 9, 10}));
}

TEST_F(MainPanelTest, ReadValuesBeyondTheFieldsStopAtTheirEnds) {
    Chip().Set_Register(MReg::QPHORIZ, 250);
    Click(form->btnGetQPHORIZ);
    EXPECT_EQ(form->UpDownQPHORIZ->value(), 177);
    // The whole high byte counts; a bus that returns bit 1 set reads line 256 as 3 * 256 + 2.
    Chip().Set_Register(MReg::QPLINEH, 1);
    Chip().Set_Register(MReg::QPLINEL, 0);
    Board().Set_Read_Flip_Mask(0x02);
    Click(form->btnGetQPLINE);
    EXPECT_EQ(form->UpDownQPLINE->value(), 511);
}

TEST_F(MainPanelTest, MaskMirrorsNeverFight) {
    EXPECT_EQ(form->MwriteMask, 1);
    Click(form->ToolButtonWrite[3]);
    EXPECT_EQ(form->MwriteMask, 0x09);
    EXPECT_TRUE(form->cbMWRITE[3]->isChecked());
    EXPECT_TRUE(form->ToolButtonWrite[3]->isChecked());
    Click(form->ToolButtonWrite[3]);
    EXPECT_EQ(form->MwriteMask, 0x01);
    EXPECT_FALSE(form->cbMWRITE[3]->isChecked());
    EXPECT_FALSE(form->ToolButtonWrite[3]->isChecked());

    Click_Box(form->cbMWRITE[0]);
    EXPECT_EQ(form->MwriteMask, 0);
    EXPECT_FALSE(form->ToolButtonWrite[0]->isChecked());
    Click_Box(form->cbMWRITE[6]);
    EXPECT_EQ(form->MwriteMask, 0x40);
    EXPECT_TRUE(form->ToolButtonWrite[6]->isChecked());

    form->SetMwriteMask(0xA5);
    for (int n = 0; n < 8; ++n) {
        const bool on = (0xA5 >> n) & 1;
        EXPECT_EQ(form->cbMWRITE[n]->isChecked(), on) << n;
        EXPECT_EQ(form->ToolButtonWrite[n]->isChecked(), on) << n;
    }
    EXPECT_EQ(form->MwriteMask, 0xA5);
}

TEST_F(MainPanelTest, ControlWritesOnlyItsIncrementBits) {
    Click_Box(form->cbCONTROL_VINC);
    Click_Box(form->cbCONTROL_HINC);
    Click(form->btnSetCONTROL);
    EXPECT_EQ(Chip().Register(MReg::CONTROL), 0x18);
    Click_Box(form->cbCONTROL_VINC);
    Click_Box(form->cbCONTROL_HINC);
    Click(form->btnSetCONTROL);
    EXPECT_EQ(Chip().Register(MReg::CONTROL), 0);

    Chip().Set_Register(MReg::CONTROL, 0xF7);
    Click(form->btnGetCONTROL);
    EXPECT_TRUE(form->cbCONTROL_VINC->isChecked());
    EXPECT_FALSE(form->cbCONTROL_HINC->isChecked());
}

TEST_F(MainPanelTest, MultiWriteStepWritesAndPaintsTheSelectedChannelsOnly) {
    Click(form->ToolButtonWrite[2]);  // channels 0 and 2
    Show_Pattern(form, {1, 2, 3, 4});
    Click(form->btnSetQP);
    Type(form->UpDownQPHORIZ, "176");
    Click(form->btnSetQPHORIZ);
    Type(form->UpDownQPLINE, "300");
    Click(form->btnSetQPLINE);
    Click_Box(form->cbCONTROL_HINC);
    Click(form->btnSetCONTROL);

    Click(form->btnSetMWRITE);
    for (int n = 0; n < 8; ++n) {
        const std::uint16_t expected = (n == 0 || n == 2) ? 0x1234 : 0;
        EXPECT_EQ(Chip().Quad(n, 300, 176), expected) << n;
    }
    EXPECT_EQ(Selected(form), (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(Picture_Quad(form->Picture, 704, 300), (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(Picture_Quad(OsdexFormCH0->Picture, 704, 300), (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(Picture_Quad(OsdexFormCH2->Picture, 704, 300), (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(Picture_Quad(OsdexFormCH1->Picture, 704, 300), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(form->UpDownQPHORIZ->value(), 177);

    // The chip advanced with CONTROL; the field follows it and stops at the last column.
    Click(form->btnSetMWRITE);
    EXPECT_EQ(Chip().Quad(2, 300, 177), 0x1234);
    Click(form->btnSetMWRITE);
    EXPECT_EQ(form->UpDownQPHORIZ->value(), 177);
    EXPECT_EQ(form->UpDownQPLINE->value(), 300);
}

TEST_F(MainPanelTest, PickerShownRowIsTheValueAndBecomesTheSelection) {
    QpLevelPicker* qp3 = form->ListBoxQP3;
    Scroll_To(qp3, 3);
    QTest::mouseClick(qp3, Qt::LeftButton, {}, QPoint(4, 4));  // selects the shown row 3
    Scroll_To(qp3, 9);
    ASSERT_EQ(qp3->Selected_Row(), 3);
    Click(form->btnSetQP);
    EXPECT_EQ(Chip().Register(MReg::QPH) >> 4, 9);
    EXPECT_EQ(qp3->Selected_Row(), 3);
    Click(form->btnSetMWRITE);
    EXPECT_EQ(qp3->Selected_Row(), 9);
    EXPECT_EQ(Color_To_OSD(form->Picture.Pixel(0, 0)), 9);
}

TEST_F(MainPanelTest, LossOfSyncShowsInTheBoxesAndTheEchoValueWarns) {
    for (int n : {7, 2}) Chip().Set_Loss_Of_Sync(n, true);
    Click(form->btnGetLOSALL);
    for (int n = 0; n < 8; ++n) EXPECT_EQ(form->cbLOS[n]->isChecked(), n == 7 || n == 2) << n;
    EXPECT_TRUE(dialogs.messages.empty());

    // 0x85 is LOSALL's own address: the boxes show it, then the warning says it is suspect.
    Chip().Set_Loss_Of_Sync(0, true);
    Click(form->btnGetLOSALL);
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(form->cbLOS[n]->isChecked(), n == 7 || n == 2 || n == 0) << n;
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, Application_Title);
    EXPECT_EQ(dialogs.messages[0].text,
              "LOSALL register value is suspect. \nIs this really an ECP port? \nPlease check "
              "computer BIOS settings.");
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);

    for (int n : {7, 2, 0}) Chip().Set_Loss_Of_Sync(n, false);
    Click(form->btnGetLOSALL);
    for (QCheckBox* box : form->cbLOS) EXPECT_FALSE(box->isChecked());
}

}  // namespace
