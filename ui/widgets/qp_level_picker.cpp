// The level picker: owner-drawn rows, a scroll bar, wheel and arrow keys scroll the shown row.
#include "ui/widgets/qp_level_picker.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>

namespace {
constexpr int Scroll_Bar_Width = 12;
int Clamp_Row(int row) {
    return std::clamp(row, 0, QpLevelPicker::Rows - 1);
}
}  // namespace

QpLevelPicker::QpLevelPicker(std::function<QColor(int)> level_colour, QWidget* parent)
    : QWidget(parent), level_colour_(std::move(level_colour)), scroll_bar_(new QScrollBar(this)) {
    setFocusPolicy(Qt::StrongFocus);
    setFixedHeight(Box_Height);
    scroll_bar_->setRange(0, Rows - 1);
    scroll_bar_->setPageStep(1);
    connect(scroll_bar_, &QScrollBar::valueChanged, this, [this](int value) {
        shown_ = value;
        update();
    });
    resize(sizeHint());
}

QSize QpLevelPicker::sizeHint() const {
    return QSize(40, Box_Height);
}

int QpLevelPicker::List_Width() const {
    return std::max(0, width() - Scroll_Bar_Width);
}

void QpLevelPicker::Set_Shown_Row(int row) {
    shown_ = Clamp_Row(row);
    QSignalBlocker block(scroll_bar_);
    scroll_bar_->setValue(shown_);
    update();
}

void QpLevelPicker::Set_Selected_Row(int row) {
    selected_ = Clamp_Row(row);
    update();
}

QRect QpLevelPicker::Row_Rect(int row) const {
    return QRect(0, (row - shown_) * Row_Height, List_Width(), Row_Height);
}

void QpLevelPicker::paintEvent(QPaintEvent*) {
    scroll_bar_->setGeometry(List_Width(), 0, Scroll_Bar_Width, height());
    QPainter p(this);
    p.setClipRect(0, 0, List_Width(), height());
    p.fillRect(0, 0, List_Width(), height(), palette().base());
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    // Each row is filled with its own level's colour; its number is written in the level half
    // the scale away so that it stays readable on every fill.
    for (int row = shown_; row < Rows && Row_Rect(row).top() < height(); ++row) {
        QRect r = Row_Rect(row);
        p.fillRect(r, level_colour_(row));
        p.setPen(level_colour_((row + 8) % Rows));
        p.drawText(r.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, QString::number(row));
    }
    if (hasFocus() && selected_ >= shown_) {
        p.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
        p.drawRect(Row_Rect(selected_).adjusted(0, 0, -1, -1));
    }
}

void QpLevelPicker::wheelEvent(QWheelEvent* event) {
    int steps = event->angleDelta().y() / 120;
    if (steps != 0) scroll_bar_->setValue(shown_ - steps);
    event->accept();
}

void QpLevelPicker::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
            scroll_bar_->setValue(shown_ - 1);
            break;
        case Qt::Key_Down:
            scroll_bar_->setValue(shown_ + 1);
            break;
        case Qt::Key_Home:
            scroll_bar_->setValue(0);
            break;
        case Qt::Key_End:
            scroll_bar_->setValue(Rows - 1);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void QpLevelPicker::mousePressEvent(QMouseEvent* event) {
    int row = shown_ + event->position().toPoint().y() / Row_Height;
    if (row < Rows && event->position().x() < List_Width()) Set_Selected_Row(row);
    setFocus(Qt::MouseFocusReason);
}
