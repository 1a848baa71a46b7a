// Picture view: paints only the exposed part of the picture.
#include "ui/widgets/picture_view.h"

#include <QMetaObject>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "chip/canvas.h"

PictureView::PictureView(Canvas* canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);  // moves without a button update the caption too
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(canvas_->Width(), canvas_->Height());
    // The first change after a repaint queues one; drawing loops that let events run get
    // their rows on screen as they go.
    canvas_->Set_Change_Listener([this] {
        QMetaObject::invokeMethod(this, &PictureView::Show_Changes, Qt::QueuedConnection);
    });
}

PictureView::~PictureView() {
    canvas_->Set_Change_Listener({});
}

QSize PictureView::sizeHint() const {
    return QSize(canvas_->Width(), canvas_->Height());
}

void PictureView::Show_Changes() {
    QRect changed = canvas_->Take_Dirty_Rect();
    if (!changed.isEmpty()) update(changed);
}

void PictureView::Repaint_Changes() {
    const QRect changed = canvas_->Take_Dirty_Rect();
    if (!changed.isEmpty()) repaint(changed);
}

void PictureView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect r = event->rect();
    p.drawImage(r.topLeft(), canvas_->Image(), r);
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    emit Mouse_Down(event->button(), event->modifiers(), at.x(), at.y());
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    emit Mouse_Move(event->buttons(), event->modifiers(), at.x(), at.y());
}

void PictureView::mouseReleaseEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    emit Mouse_Up(event->button(), event->modifiers(), at.x(), at.y());
}
