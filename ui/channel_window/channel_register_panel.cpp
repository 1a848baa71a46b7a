// The channel window's register panel: STATUS, the quad commands, the display offsets, the
// shared-buffer registers with their band over the picture, Read All Registers, and the
// "Postpone automatic updates" switch. The quad rows are shared with the main window
// (quad_rows.cpp); here they get the channel's change actions.
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <functional>
#include <utility>

#include "chip/canvas.h"
#include "chip/drawing_primitives.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "ui/channel_window/channel_window.h"
#include "ui/drawing/register_values.h"
#include "ui/widgets/picture_view.h"

namespace {

// The band's colour when the shared range is reversed: red, in the program's 0x00BBGGRR form.
constexpr std::uint32_t Reversed_Range_Color = 0x000000FF;
constexpr int Shared_Band_Width = 708;

// Presses on the shared-buffer band only record the press; the band keeps every mouse event
// from the picture below it, so no tool runs.
class BandMouseFilter : public QObject {
public:
    BandMouseFilter(TOsdexFormCH0* window, QObject* parent) : QObject(parent), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: {
                auto* press = static_cast<QMouseEvent*>(event);
                const QPoint at = press->position().toPoint();
                window_->PanelSHRSRCMouseDown(press->button(), press->modifiers(), at.x(), at.y());
                return true;
            }
            case QEvent::MouseButtonRelease:
            case QEvent::MouseMove:
                return true;
            default:
                return QObject::eventFilter(watched, event);
        }
    }

private:
    TOsdexFormCH0* window_;
};

// A list box's click action also follows the user's keys: a key that moves the selection
// is a choice, as a click is. Choices made from code run no action.
class ListKeyFilter : public QObject {
public:
    ListKeyFilter(QListWidget* list, std::function<void()> choice)
        : QObject(list), list_(list), choice_(std::move(choice)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != list_ || event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const int before = list_->currentRow();
        const bool handled = static_cast<QObject*>(list_)->event(event);
        if (list_->currentRow() != before) choice_();
        return handled;
    }

private:
    QListWidget* list_;
    std::function<void()> choice_;
};

}  // namespace

std::array<std::pair<QCheckBox*, std::uint8_t>, 5> TOsdexFormCH0::Status_Boxes() const {
    return {{{cbVINC, Status_VINC},
             {cbHINC, Status_HINC},
             {cbASYNC, Status_ASYNC},
             {cbBLANK, Status_BLANK},
             {cbLOS, Status_LOS}}};
}

void TOsdexFormCH0::Connect_Register_Panel() {
    Connect_Quad_Rows();
    connect(btnGetSTATUS, &QPushButton::clicked, this, &TOsdexFormCH0::btnGetSTATUSClick);
    connect(btnSetSTATUS, &QPushButton::clicked, this, &TOsdexFormCH0::btnSetSTATUSClick);
    // cbLOS has no action: its state only goes out with every STATUS write.
    for (QCheckBox* box : {cbVINC, cbHINC, cbASYNC, cbBLANK})
        connect(box, &QCheckBox::toggled, this, &TOsdexFormCH0::cbSTATUSClick);
    connect(btnCOMMANDwriteQP, &QPushButton::clicked, this, &TOsdexFormCH0::btnCOMMANDwriteQPClick);
    connect(btnCOMMANDreadQP, &QPushButton::clicked, this, &TOsdexFormCH0::btnCOMMANDreadQPClick);

    connect(btnGetHOFFSET, &QPushButton::clicked, this, &TOsdexFormCH0::btnGetHOFFSETClick);
    connect(btnSetHOFFSET, &QPushButton::clicked, this, &TOsdexFormCH0::btnSetHOFFSETClick);
    connect(UpDownHOFFSET, &QSpinBox::valueChanged, this, &TOsdexFormCH0::EditHOFFSETChange);
    connect(btnGetVOFFSET, &QPushButton::clicked, this, &TOsdexFormCH0::btnGetVOFFSETClick);
    connect(btnSetVOFFSET, &QPushButton::clicked, this, &TOsdexFormCH0::btnSetVOFFSETClick);
    connect(UpDownVOFFSET, &QSpinBox::valueChanged, this, &TOsdexFormCH0::EditVOFFSETChange);

    connect(btnGetSHRSRC, &QPushButton::clicked, this, &TOsdexFormCH0::btnGetSHRSRCClick);
    connect(btnSetSHRSRC, &QPushButton::clicked, this, &TOsdexFormCH0::btnSetSHRSRCClick);
    // A list box chosen from code runs no action: only the user's choice does.
    connect(ListBoxSHRSRC, &QListWidget::clicked, this, &TOsdexFormCH0::ListBoxSHRSRCClick);
    connect(ListBoxSHRSRC, &QListWidget::activated, this, &TOsdexFormCH0::ListBoxSHRSRCClick);
    ListBoxSHRSRC->installEventFilter(
        new ListKeyFilter(ListBoxSHRSRC, [this] { ListBoxSHRSRCClick(); }));
    connect(btnGetSHRBEG, &QPushButton::clicked, this, &TOsdexFormCH0::btnGetSHRBEGClick);
    connect(btnSetSHRBEG, &QPushButton::clicked, this, &TOsdexFormCH0::btnSetSHRBEGClick);
    connect(UpDownSHRBEG, &QSpinBox::valueChanged, this, &TOsdexFormCH0::EditSHRBEGChange);
    connect(btnGetSHREND, &QPushButton::clicked, this, &TOsdexFormCH0::btnGetSHRENDClick);
    connect(btnSetSHREND, &QPushButton::clicked, this, &TOsdexFormCH0::btnSetSHRENDClick);
    connect(UpDownSHREND, &QSpinBox::valueChanged, this, &TOsdexFormCH0::EditSHRENDChange);
    connect(btnGetAllRegs, &QPushButton::clicked, this, &TOsdexFormCH0::btnGetAllRegsClick);

    PanelSHRSRC->installEventFilter(new BandMouseFilter(this, PanelSHRSRC));
}

bool TOsdexFormCH0::Updates_Postponed() const {
    return cbNoAutoUpdate->isChecked();
}

bool TOsdexFormCH0::Changes_Write() const {
    return !Updates_Postponed() && !Showing_Chip_Values();
}

void TOsdexFormCH0::EditQPHORIZChange() {
    if (Changes_Write()) btnSetQPHORIZClick();
}

void TOsdexFormCH0::EditQPLINEChange() {
    if (Changes_Write()) btnSetQPLINEClick();
}

void TOsdexFormCH0::btnGetSTATUSClick() {
    const ChipRead reading(*this);
    const std::uint8_t s = Read_Register(Register_Address(Reg::STATUS));
    for (auto [box, bit] : Status_Boxes()) box->setChecked(s & bit);
}

void TOsdexFormCH0::btnSetSTATUSClick() {
    std::uint8_t s = 0;
    for (auto [box, bit] : Status_Boxes()) {
        if (box->isChecked()) s |= bit;
    }
    Write_Register(Register_Address(Reg::STATUS), s);
}

void TOsdexFormCH0::cbSTATUSClick() {
    // The read-back sets the boxes as a Get does, so a bus that returns other bits than
    // written cannot bounce between the two.
    if (!Changes_Write()) return;
    btnSetSTATUSClick();
    btnGetSTATUSClick();
}

void TOsdexFormCH0::btnCOMMANDwriteQPClick() {
    Write_Register(Register_Address(Reg::COMMAND), Command_Write_Quad);
    const int h = UpDownQPHORIZ->value();
    const int l = UpDownQPLINE->value();
    Select_Shown_Rows();
    const std::array<int, 4> q = Selected_Levels();
    Paint_Quad(&Picture, 4 * h, l, q[0], q[1], q[2], q[3]);
    Follow_Auto_Increment(cbHINC->isChecked(), cbVINC->isChecked());
}

void TOsdexFormCH0::btnCOMMANDreadQPClick() {
    Write_Register(Register_Address(Reg::COMMAND), Command_Read_Quad);
    btnGetQPClick();
    const int h = UpDownQPHORIZ->value();
    const int l = UpDownQPLINE->value();
    const std::array<int, 4> q = Selected_Levels();
    Paint_Quad(&Picture, 4 * h, l, q[0], q[1], q[2], q[3]);
    Follow_Auto_Increment(cbHINC->isChecked(), cbVINC->isChecked());
}

void TOsdexFormCH0::btnGetHOFFSETClick() {
    const ChipRead reading(*this);
    Show_Read_Value(UpDownHOFFSET, Read_Register(Register_Address(Reg::HOFFSET)));
}

void TOsdexFormCH0::btnSetHOFFSETClick() {
    Write_Register(Register_Address(Reg::HOFFSET),
                   static_cast<std::uint8_t>(UpDownHOFFSET->value()));
}

void TOsdexFormCH0::EditHOFFSETChange() {
    if (Changes_Write()) btnSetHOFFSETClick();
}

void TOsdexFormCH0::btnGetVOFFSETClick() {
    const ChipRead reading(*this);
    Show_Read_Value(UpDownVOFFSET, Read_Register(Register_Address(Reg::VOFFSET)));
}

void TOsdexFormCH0::btnSetVOFFSETClick() {
    Write_Register(Register_Address(Reg::VOFFSET),
                   static_cast<std::uint8_t>(UpDownVOFFSET->value()));
}

void TOsdexFormCH0::EditVOFFSETChange() {
    if (Changes_Write()) btnSetVOFFSETClick();
}

void TOsdexFormCH0::btnGetSHRSRCClick() {
    const ChipRead reading(*this);
    const int k = Shrsrc_Decode(Read_Register(Register_Address(Reg::SHRSRC)));
    if (k == ListBoxSHRSRC->currentRow()) return;
    ListBoxSHRSRC->setCurrentRow(k);
    ListBoxSHRSRC->scrollToItem(ListBoxSHRSRC->item(k));
    ListBoxSHRSRCClick();
}

void TOsdexFormCH0::btnSetSHRSRCClick() {
    // No selection writes 0, as "No Sharing" does.
    Write_Register(Register_Address(Reg::SHRSRC),
                   Shrsrc_Encode(ListBoxSHRSRC->currentRow(), Register_Address(0)));
}

void TOsdexFormCH0::ListBoxSHRSRCClick() {
    PanelSHRSRC->setVisible(ListBoxSHRSRC->currentRow() > 0);
    SharedRangeAction();
    if (Changes_Write()) btnSetSHRSRCClick();
}

void TOsdexFormCH0::btnGetSHRBEGClick() {
    const ChipRead reading(*this);
    Show_Read_Value(UpDownSHRBEG, Read_Line_Pair(Register_Address(Reg::SHRBEGH)));
}

void TOsdexFormCH0::btnSetSHRBEGClick() {
    Write_Line_Pair(Register_Address(Reg::SHRBEGH), UpDownSHRBEG->value());
}

void TOsdexFormCH0::btnGetSHRENDClick() {
    const ChipRead reading(*this);
    Show_Read_Value(UpDownSHREND, Read_Line_Pair(Register_Address(Reg::SHRENDH)));
}

void TOsdexFormCH0::btnSetSHRENDClick() {
    Write_Line_Pair(Register_Address(Reg::SHRENDH), UpDownSHREND->value());
}

void TOsdexFormCH0::EditSHRBEGChange() {
    SharedRangeAction();
}

void TOsdexFormCH0::EditSHRENDChange() {
    SharedRangeAction();
}

QString TOsdexFormCH0::Shared_Source_Caption() const {
    const QListWidgetItem* item = ListBoxSHRSRC->currentItem();
    return QString("SHARED SOURCE: %1").arg(item ? item->text() : QString());
}

void TOsdexFormCH0::SharedRangeAction() {
    const int b = UpDownSHRBEG->value();
    const int e = UpDownSHREND->value();
    QPalette band = PanelSHRSRC->palette();
    if (e < b) {
        // Placed from SHREND down to SHRBEG so that the user sees which lines are meant.
        Image1->Place_Over(PanelSHRSRC, QRect(0, e, Shared_Band_Width, b - e));
        band.setColor(QPalette::Window, QColor::fromRgb(To_QRgb(Reversed_Range_Color)));
        PanelSHRSRC->setText("WARNING: SHREND < SHRBEG!");
    } else {
        Image1->Place_Over(PanelSHRSRC, QRect(0, b, Shared_Band_Width, e - b));
        band.setColor(QPalette::Window, palette().color(QPalette::Active, QPalette::Highlight));
        PanelSHRSRC->setText(Shared_Source_Caption());
    }
    PanelSHRSRC->setPalette(band);
    // A reversed range is still written: the warning tells, the chip decides.
    if (Changes_Write()) {
        btnSetSHRBEGClick();
        btnSetSHRENDClick();
    }
}

void TOsdexFormCH0::btnGetAllRegsClick() {
    const ChipRead reading(*this);
    btnGetQPClick();
    btnGetQPHORIZClick();
    btnGetQPLINEClick();
    btnGetSTATUSClick();
    btnGetHOFFSETClick();
    btnGetVOFFSETClick();
    btnGetSHRSRCClick();
    btnGetSHRBEGClick();
    btnGetSHRENDClick();
}

void TOsdexFormCH0::PanelSHRSRCMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                         int y) {
    // In picture pixels, at any zoom.
    const QPoint at = Image1->Scale().Picture_Point(QPointF(PanelSHRSRC->pos() + QPoint(x, y)));
    PressX = at.x();
    PressY = at.y();
    PressButton = button;
    PressShift = shift;
}
