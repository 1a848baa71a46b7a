// Picture view: the canvas at the window's zoom, the mouse in picture pixels.
#include "ui/widgets/picture_view.h"

#include <QMetaObject>
#include <QMouseEvent>

#include "chip/canvas.h"

PictureView::PictureView(Canvas* canvas, QWidget* parent)
    : ZoomedImage(&canvas->Image(), parent), canvas_(canvas) {
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);  // moves without a button update the caption too
    // The first change after a repaint queues one; drawing loops that let events run get
    // their rows on screen as they go.
    canvas_->Set_Change_Listener([this] {
        QMetaObject::invokeMethod(this, &PictureView::Show_Changes, Qt::QueuedConnection);
    });
}

PictureView::~PictureView() {
    canvas_->Set_Change_Listener({});
}

void PictureView::Show_Changes() {
    Update_Picture_Rect(canvas_->Take_Dirty_Rect());
}

void PictureView::Repaint_Changes() {
    Repaint_Picture_Rect(canvas_->Take_Dirty_Rect());
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = Scale().Picture_Point(event->position());
    emit Mouse_Down(event->button(), event->modifiers(), at.x(), at.y());
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = Scale().Picture_Point(event->position());
    emit Mouse_Move(event->buttons(), event->modifiers(), at.x(), at.y());
}

void PictureView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = Scale().Picture_Point(event->position());
    emit Mouse_Up(event->button(), event->modifiers(), at.x(), at.y());
}
