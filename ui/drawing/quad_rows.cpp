// The quad rows of both register panels (QP, QPHORIZ, QPLINE): the same actions in the main
// window (bank 128) and in the channel windows (bank 16 n). Only what typing in a position
// field does differs; each window defines that itself.
#include <QPushButton>
#include <QSpinBox>

#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "ui/drawing/drawing_form.h"
#include "ui/drawing/register_values.h"
#include "ui/widgets/qp_level_picker.h"

std::uint8_t TDrawingForm::Register_Address(std::uint8_t offset) const {
    return static_cast<std::uint8_t>((RegisterBase & 0xFF) | offset);
}

void TDrawingForm::Connect_Quad_Rows() {
    connect(btnGetQP, &QPushButton::clicked, this, &TDrawingForm::btnGetQPClick);
    connect(btnSetQP, &QPushButton::clicked, this, &TDrawingForm::btnSetQPClick);
    connect(btnGetQPHORIZ, &QPushButton::clicked, this, &TDrawingForm::btnGetQPHORIZClick);
    connect(btnSetQPHORIZ, &QPushButton::clicked, this, &TDrawingForm::btnSetQPHORIZClick);
    connect(btnGetQPLINE, &QPushButton::clicked, this, &TDrawingForm::btnGetQPLINEClick);
    connect(btnSetQPLINE, &QPushButton::clicked, this, &TDrawingForm::btnSetQPLINEClick);
    connect(UpDownQPHORIZ, &QSpinBox::valueChanged, this, [this] { EditQPHORIZChange(); });
    connect(UpDownQPLINE, &QSpinBox::valueChanged, this, [this] { EditQPLINEChange(); });
}

void TDrawingForm::btnGetQPClick() {
    const ChipRead reading(*this);
    const std::uint8_t h = Read_Register(Register_Address(Reg::QPH));
    const std::uint8_t l = Read_Register(Register_Address(Reg::QPL));
    const std::array<QpLevelPicker*, 4> pickers = Quad_Pickers();
    for (int i = 0; i < 4; ++i) pickers[i]->Set_Selected_Row(Quad_Pixel(h, l, i));
    for (QpLevelPicker* picker : pickers) picker->Set_Shown_Row(picker->Selected_Row());
}

void TDrawingForm::btnSetQPClick() {
    Write_Register(Register_Address(Reg::QPH),
                   Quad_Byte(ListBoxQP3->Shown_Row(), ListBoxQP2->Shown_Row()));
    Write_Register(Register_Address(Reg::QPL),
                   Quad_Byte(ListBoxQP1->Shown_Row(), ListBoxQP0->Shown_Row()));
}

void TDrawingForm::btnGetQPHORIZClick() {
    const ChipRead reading(*this);
    Show_Read_Value(UpDownQPHORIZ, Read_Register(Register_Address(Reg::QPHORIZ)));
}

void TDrawingForm::btnSetQPHORIZClick() {
    Write_Register(Register_Address(Reg::QPHORIZ),
                   static_cast<std::uint8_t>(UpDownQPHORIZ->value() & 0xFF));
}

void TDrawingForm::btnGetQPLINEClick() {
    const ChipRead reading(*this);
    Show_Read_Value(UpDownQPLINE, Read_Line_Pair(Register_Address(Reg::QPLINEH)));
}

void TDrawingForm::btnSetQPLINEClick() {
    Write_Line_Pair(Register_Address(Reg::QPLINEH), UpDownQPLINE->value());
}

void TDrawingForm::Select_Shown_Rows() {
    for (QpLevelPicker* picker : {ListBoxQP0, ListBoxQP1, ListBoxQP2, ListBoxQP3}) {
        if (picker->Selected_Row() != picker->Shown_Row()) picker->Select_Shown_Row();
    }
}

std::array<int, 4> TDrawingForm::Selected_Levels() const {
    return {ListBoxQP3->Selected_Row(), ListBoxQP2->Selected_Row(), ListBoxQP1->Selected_Row(),
            ListBoxQP0->Selected_Row()};
}

void TDrawingForm::Follow_Auto_Increment(bool hinc, bool vinc) {
    // The chip runs on past the last column and wraps its line; the fields stop at their ends.
    if (hinc) UpDownQPHORIZ->setValue(UpDownQPHORIZ->value() + 1);
    if (vinc) UpDownQPLINE->setValue(UpDownQPLINE->value() + 1);
}
