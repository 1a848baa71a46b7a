// The channel window's register panel against the simulated board.
#include <QImage>
#include <QLabel>
#include <QPushButton>

#include "chip/register_map.h"
#include "panel_fixture.h"
#include "ui/widgets/picture_view.h"

namespace {

class ChannelPanelTest : public PanelTest {
protected:
    std::uint8_t Reg_Of(TOsdexFormCH0* form, std::uint8_t offset) {
        return Chip().Register(form->Register_Address(offset));
    }
    int Line_Of(TOsdexFormCH0* form, std::uint8_t high_offset) {
        return Line_Value(Reg_Of(form, high_offset), Reg_Of(form, high_offset + 1));
    }
};

TEST_F(ChannelPanelTest, PostponedUpdatesWriteNothingUntilSet) {
    TOsdexFormCH0* form = Channel_Window(0);
    Click_Box(form->cbNoAutoUpdate);
    const std::uint64_t before = Writes();
    Type(form->UpDownHOFFSET, "131");
    Type(form->UpDownQPLINE, "300");
    Click_Box(form->cbHINC);
    Choose(form->ListBoxSHRSRC, 2);
    Type(form->UpDownSHRBEG, "20");
    Type(form->UpDownSHREND, "60");
    EXPECT_EQ(Writes(), before);
    // The band shows the choice all the same.
    EXPECT_TRUE(form->PanelSHRSRC->isVisible());
    EXPECT_EQ(form->PanelSHRSRC->text(), "SHARED SOURCE: Channel 2/3");

    Click(form->btnSetHOFFSET);
    Click(form->btnSetQPLINE);
    Click(form->btnSetSTATUS);
    Click(form->btnSetSHRSRC);
    Click(form->btnSetSHRBEG);
    Click(form->btnSetSHREND);
    EXPECT_EQ(Reg_Of(form, Reg::HOFFSET), 131);
    EXPECT_EQ(Line_Of(form, Reg::QPLINEH), 300);
    EXPECT_EQ(Reg_Of(form, Reg::STATUS), Status_HINC);
    EXPECT_EQ(Reg_Of(form, Reg::SHRSRC), 4);
    EXPECT_EQ(Line_Of(form, Reg::SHRBEGH), 20);
    EXPECT_EQ(Line_Of(form, Reg::SHRENDH), 60);

    // Automatic again: every change writes at once.
    Click_Box(form->cbNoAutoUpdate);
    Type(form->UpDownVOFFSET, "140");
    EXPECT_EQ(Reg_Of(form, Reg::VOFFSET), 140);
    Click_Box(form->cbASYNC);
    EXPECT_EQ(Reg_Of(form, Reg::STATUS), Status_HINC | Status_ASYNC);
}

TEST_F(ChannelPanelTest, GetsShowTheChipAndWriteNothing) {
    TOsdexFormCH0* form = Channel_Window(1);
    // A fresh chip holds what the panel shows at start.
    const std::uint64_t before = Writes();
    Click(form->btnGetAllRegs);
    EXPECT_EQ(Writes(), before);
    EXPECT_GT(Chip().Counters().register_reads, 0u);

    // A different value is shown; its change action sends nothing back.
    Chip().Set_Register(form->Register_Address(Reg::HOFFSET), 140);
    Chip().Set_Register(form->Register_Address(Reg::STATUS), Status_HINC | Status_BLANK);
    Click(form->btnGetHOFFSET);
    Click(form->btnGetSTATUS);
    EXPECT_EQ(form->UpDownHOFFSET->value(), 140);
    EXPECT_TRUE(form->cbHINC->isChecked());
    EXPECT_TRUE(form->cbBLANK->isChecked());
    EXPECT_EQ(Writes(), before);
    // The user's own change still writes at once.
    Type(form->UpDownHOFFSET, "141");
    EXPECT_EQ(Reg_Of(form, Reg::HOFFSET), 141);
}

// Channel 2 sharing lines 300..350 of channel 0, as the test pattern leaves it: reading all
// registers changes none of them (the sharing source's click action once wrote the range the
// panel had not read yet) and shows what the chip holds.
TEST_F(ChannelPanelTest, ReadAllRegistersLeavesTheChipAsItWas) {
    TOsdexFormCH0* form = Channel_Window(2);
    const auto set = [&](std::uint8_t offset, std::uint8_t value) {
        Chip().Set_Register(form->Register_Address(offset), value);
    };
    set(Reg::QPH, 0x12);
    set(Reg::QPL, 0x34);
    set(Reg::QPHORIZ, 17);
    set(Reg::QPLINEH, 1);
    set(Reg::QPLINEL, 2);
    set(Reg::STATUS, Status_VINC);
    set(Reg::HOFFSET, 120);
    set(Reg::VOFFSET, 130);
    set(Reg::SHRSRC, 1);
    set(Reg::SHRBEGH, Line_High(300));
    set(Reg::SHRBEGL, Line_Low(300));
    set(Reg::SHRENDH, Line_High(350));
    set(Reg::SHRENDL, Line_Low(350));
    std::array<std::uint8_t, 16> chip_before{};
    for (std::uint8_t k = 0; k < 16; ++k) chip_before[k] = Reg_Of(form, k);
    const std::uint64_t writes_before = Writes();

    Click(form->btnGetAllRegs);

    EXPECT_EQ(Writes(), writes_before);
    for (std::uint8_t k = 0; k < 16; ++k) EXPECT_EQ(Reg_Of(form, k), chip_before[k]) << int(k);
    EXPECT_EQ(Selected(form), (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(form->UpDownQPHORIZ->value(), 17);
    EXPECT_EQ(form->UpDownQPLINE->value(), 258);
    EXPECT_TRUE(form->cbVINC->isChecked());
    EXPECT_EQ(form->UpDownHOFFSET->value(), 120);
    EXPECT_EQ(form->UpDownVOFFSET->value(), 130);
    EXPECT_EQ(form->ListBoxSHRSRC->currentRow(), 1);
    EXPECT_EQ(form->UpDownSHRBEG->value(), 300);
    EXPECT_EQ(form->UpDownSHREND->value(), 350);
    // The band shows the range read.
    EXPECT_TRUE(form->PanelSHRSRC->isVisibleTo(form));
    EXPECT_EQ(form->PanelSHRSRC->text(), "SHARED SOURCE: Channel 0/1");
}

TEST_F(ChannelPanelTest, SharedSourceDependsOnChannelParity) {
    TOsdexFormCH0* even = Channel_Window(0);
    TOsdexFormCH0* odd = Channel_Window(3);
    TOsdexFormCH0* five = Channel_Window(5);
    Choose(even->ListBoxSHRSRC, 1);
    Choose(odd->ListBoxSHRSRC, 1);
    Choose(five->ListBoxSHRSRC, 2);
    EXPECT_EQ(Reg_Of(even, Reg::SHRSRC), 1);
    EXPECT_EQ(Reg_Of(odd, Reg::SHRSRC), 2);
    EXPECT_EQ(Reg_Of(five, Reg::SHRSRC), 8);
    Choose(even->ListBoxSHRSRC, 4);
    Choose(odd->ListBoxSHRSRC, 4);
    EXPECT_EQ(Reg_Of(even, Reg::SHRSRC), 64);
    EXPECT_EQ(Reg_Of(odd, Reg::SHRSRC), 128);
    Choose(even->ListBoxSHRSRC, 0);
    Choose(odd->ListBoxSHRSRC, 0);
    EXPECT_EQ(Reg_Of(even, Reg::SHRSRC), 0);
    EXPECT_EQ(Reg_Of(odd, Reg::SHRSRC), 0);
    EXPECT_FALSE(even->PanelSHRSRC->isVisible());
    // Choosing with the keys is choosing too.
    QTest::keyClick(odd->ListBoxSHRSRC, Qt::Key_Down);
    EXPECT_EQ(odd->ListBoxSHRSRC->currentRow(), 1);
    EXPECT_EQ(Reg_Of(odd, Reg::SHRSRC), 2);
    EXPECT_TRUE(odd->PanelSHRSRC->isVisible());
}

TEST_F(ChannelPanelTest, SharedSourceReadShowsTheHighestPair) {
    TOsdexFormCH0* form = Channel_Window(0);
    Chip().Set_Register(Reg::SHRSRC, 0x41);
    Click(form->btnGetSHRSRC);
    EXPECT_EQ(form->ListBoxSHRSRC->currentRow(), 4);
    EXPECT_TRUE(form->PanelSHRSRC->isVisible());
    EXPECT_EQ(form->PanelSHRSRC->text(), "SHARED SOURCE: Channel 6/7");
    // A read leaves the chip's bits as they are.
    EXPECT_EQ(Reg_Of(form, Reg::SHRSRC), 0x41);

    Chip().Set_Register(Reg::SHRSRC, 0x30);
    Click(form->btnGetSHRSRC);
    EXPECT_EQ(form->ListBoxSHRSRC->currentItem()->text(), "Channel 4/5");
}

// The colour on screen near the band's left end, half-way down, away from its centred text.
QColor Painted_Band_Colour(TOsdexFormCH0* form) {
    form->PanelSHRSRC->show();
    const QRect band = form->PanelSHRSRC->geometry();
    const QImage shown = form->Image1->grab().toImage();
    return shown.pixelColor(band.left() + 8, band.center().y());
}

TEST_F(ChannelPanelTest, ReversedSharedRangeWarnsAndStillWritesBoth) {
    TOsdexFormCH0* form = Channel_Window(0);
    Type(form->UpDownSHRBEG, "300");
    Type(form->UpDownSHREND, "100");
    QLabel* band = form->PanelSHRSRC;
    EXPECT_EQ(band->text(), "WARNING: SHREND < SHRBEG!");
    EXPECT_EQ(band->geometry(), QRect(0, 100, 708, 200));
    // What the picture shows: the band is painted, over the picture, in red.
    EXPECT_EQ(Painted_Band_Colour(form), QColor(255, 0, 0));
    EXPECT_EQ(Line_Of(form, Reg::SHRBEGH), 300);
    EXPECT_EQ(Line_Of(form, Reg::SHRENDH), 100);

    Type(form->UpDownSHREND, "400");
    EXPECT_EQ(band->text(), "SHARED SOURCE: No Sharing");
    EXPECT_EQ(band->geometry(), QRect(0, 300, 708, 100));
    EXPECT_EQ(Painted_Band_Colour(form),
              form->palette().color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(Line_Of(form, Reg::SHRENDH), 400);
    EXPECT_EQ(Reg_Of(form, Reg::SHRENDH), 1);
}

TEST_F(ChannelPanelTest, ReadValuesBeyondTheFieldsStopAtTheirEnds) {
    TOsdexFormCH0* form = Channel_Window(0);
    Click_Box(form->cbNoAutoUpdate);
    Chip().Set_Register(Reg::QPHORIZ, 200);
    Chip().Set_Register(Reg::QPLINEH, 1);
    Chip().Set_Register(Reg::SHRENDH, 1);
    // The chip keeps one bit of a line's high register; a bus that returns bit 1 set makes
    // the reads 3 * 256 + 2, as a chip answering with a whole byte could.
    Board().Set_Read_Flip_Mask(0x02);
    Click(form->btnGetQPHORIZ);
    Click(form->btnGetQPLINE);
    Click(form->btnGetSHREND);
    EXPECT_EQ(form->UpDownQPHORIZ->value(), 177);
    EXPECT_EQ(form->UpDownQPLINE->value(), 511);
    EXPECT_EQ(form->UpDownSHREND->value(), 511);
    EXPECT_EQ(form->UpDownHOFFSET->maximum(), 255);
}

TEST_F(ChannelPanelTest, StatusBoxesWriteThenRead) {
    TOsdexFormCH0* form = Channel_Window(2);
    Chip().Set_Loss_Of_Sync(2, true);
    Click_Box(form->cbBLANK);
    EXPECT_EQ(Reg_Of(form, Reg::STATUS) & 0x1E, Status_BLANK);
    // The read after the write brings the chip's loss of sync into its box.
    EXPECT_TRUE(form->cbLOS->isChecked());
    EXPECT_TRUE(form->cbBLANK->isChecked());
}

TEST_F(ChannelPanelTest, StatusBoxOnAMisreadingBusEndsAfterOneWriteAndRead) {
    TOsdexFormCH0* form = Channel_Window(0);
    // Every read returns ASYNC inverted: the read-back never matches what was written.
    Board().Set_Read_Flip_Mask(Status_ASYNC);
    const std::uint64_t before = Writes();
    Click_Box(form->cbVINC);
    EXPECT_EQ(Writes(), before + 1);
    EXPECT_EQ(Reg_Of(form, Reg::STATUS), Status_VINC);
    EXPECT_TRUE(form->cbASYNC->isChecked());
}

TEST_F(ChannelPanelTest, QuadCommandsWriteAndReadThisChannelOnly) {
    TOsdexFormCH0* form = Channel_Window(2);
    Show_Pattern(form, {5, 6, 7, 8});
    Click(form->btnSetQP);
    Type(form->UpDownQPHORIZ, "10");
    Type(form->UpDownQPLINE, "300");
    Click_Box(form->cbHINC);
    Click(form->btnCOMMANDwriteQP);
    for (int n = 0; n < 8; ++n) EXPECT_EQ(Chip().Quad(n, 300, 10), n == 2 ? 0x5678 : 0) << n;
    EXPECT_EQ(Picture_Quad(form->Picture, 40, 300), (std::array<int, 4>{5, 6, 7, 8}));
    EXPECT_EQ(form->UpDownQPHORIZ->value(), 11);
    EXPECT_EQ(Reg_Of(form, Reg::QPHORIZ), 11);

    Chip().Set_Quad(2, 300, 11, 0x9ABC);
    Click(form->btnCOMMANDreadQP);
    EXPECT_EQ(Shown(form), (std::array<int, 4>{9, 10, 11, 12}));
    EXPECT_EQ(Selected(form), (std::array<int, 4>{9, 10, 11, 12}));
    EXPECT_EQ(Picture_Quad(form->Picture, 44, 300), (std::array<int, 4>{9, 10, 11, 12}));
    EXPECT_EQ(form->UpDownQPHORIZ->value(), 12);

    // At the last column the field stays where it is.
    Type(form->UpDownQPHORIZ, "177");
    Click(form->btnCOMMANDwriteQP);
    EXPECT_EQ(form->UpDownQPHORIZ->value(), 177);
    EXPECT_EQ(Chip().Quad(2, 300, 177), 0x9ABC);
}

TEST_F(ChannelPanelTest, PressOnTheSharedBandOnlyRecordsThePress) {
    TOsdexFormCH0* form = Channel_Window(0);
    Choose(form->ListBoxSHRSRC, 1);
    Type(form->UpDownSHRBEG, "100");
    Type(form->UpDownSHREND, "200");
    form->SelectTool(4);  // a solid rectangle would write on release
    const std::uint64_t before = Writes();
    QTest::mousePress(form->PanelSHRSRC, Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 7));
    QTest::mouseRelease(form->PanelSHRSRC, Qt::LeftButton, Qt::ShiftModifier, QPoint(60, 50));
    EXPECT_EQ(form->PressX, 30);
    EXPECT_EQ(form->PressY, 107);
    EXPECT_EQ(form->PressShift, Qt::ShiftModifier);
    EXPECT_FALSE(form->Dragging);
    EXPECT_EQ(Writes(), before);
}

}  // namespace
