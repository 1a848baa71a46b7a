// The main window's multi-channel register panel: the channel selection MwriteMask with its
// two mirrors (the MWRITE check boxes and the write tool buttons), the multi-write step, and
// CONTROL. The quad rows are shared with the channel windows (quad_rows.cpp); LOSALL is read
// by btnGetLOSALLClick.
#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include "chip/channel_pictures.h"
#include "chip/drawing_primitives.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "ui/main_window/main_window.h"

void TOsdexForm::Connect_Register_Panel() {
    Connect_Quad_Rows();
    for (int n = 0; n < 8; ++n) {
        // A check box set from code runs its click action when its state changes; a tool
        // button runs its action only when the user clicks it.
        connect(cbMWRITE[n], &QCheckBox::toggled, this, [this, n] { cbMWRITEClick(n); });
        connect(ToolButtonWrite[n], &QToolButton::clicked, this,
                [this, n] { ToolButtonWriteClick(n); });
    }
    connect(btnSetMWRITE, &QPushButton::clicked, this, &TOsdexForm::btnSetMWRITEClick);
    connect(btnGetCONTROL, &QPushButton::clicked, this, &TOsdexForm::btnGetCONTROLClick);
    connect(btnSetCONTROL, &QPushButton::clicked, this, &TOsdexForm::btnSetCONTROLClick);
}

void TOsdexForm::EditQPHORIZChange() {
    // Typing a column writes nothing until Set.
}

void TOsdexForm::EditQPLINEChange() {
    // Typing a line writes nothing until Set.
}

void TOsdexForm::SetMwriteMask(int m) {
    // The check boxes call back in here with the mask already stored; returning at once on an
    // unchanged mask is what keeps the two mirrors from fighting.
    m &= 0xFF;  // one bit per channel
    if (m == MwriteMask) return;
    MwriteMask = m;
    for (int n = 0; n < 8; ++n) cbMWRITE[n]->setChecked((m >> n) & 1);
    for (int n = 0; n < 8; ++n) ToolButtonWrite[n]->setChecked((m >> n) & 1);
}

void TOsdexForm::cbMWRITEClick(int n) {
    const int bit = 1 << n;
    SetMwriteMask(cbMWRITE[n]->isChecked() ? (MwriteMask | bit) : (MwriteMask & ~bit));
}

void TOsdexForm::ToolButtonWriteClick(int n) {
    SetMwriteMask(MwriteMask ^ (1 << n));
}

void TOsdexForm::btnSetMWRITEClick() {
    // The chip writes the quad it holds at the position it holds; the panel's fields are only
    // where the step paints and what it advances.
    Write_Register(MReg::MWRITE, static_cast<std::uint8_t>(MwriteMask));
    const int x = 4 * UpDownQPHORIZ->value();
    const int y = UpDownQPLINE->value();
    Select_Shown_Rows();
    const std::array<int, 4> q = Selected_Levels();
    Paint_Quad(&Picture, x, y, q[0], q[1], q[2], q[3]);
    for (int n = 0; n < 8; ++n) {
        if (cbMWRITE[n]->isChecked()) Paint_Quad(Channel_Picture(n), x, y, q[0], q[1], q[2], q[3]);
    }
    Follow_Auto_Increment(cbCONTROL_HINC->isChecked(), cbCONTROL_VINC->isChecked());
}

void TOsdexForm::btnGetCONTROLClick() {
    const ChipRead reading(*this);
    const std::uint8_t v = Read_Register(MReg::CONTROL);
    cbCONTROL_VINC->setChecked(v & Status_VINC);
    cbCONTROL_HINC->setChecked(v & Status_HINC);
}

void TOsdexForm::btnSetCONTROLClick() {
    std::uint8_t v = 0;
    if (cbCONTROL_VINC->isChecked()) v |= Status_VINC;
    if (cbCONTROL_HINC->isChecked()) v |= Status_HINC;
    Write_Register(MReg::CONTROL, v);
}
