// A monitor screen: the frame scaled to the widget.
#include "ui/monitor/monitor_screen.h"

#include <QMouseEvent>
#include <QPainter>

MonitorScreen::MonitorScreen(const QImage* frame, QWidget* parent)
    : QWidget(parent), frame_(frame) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

void MonitorScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!frame_ || frame_->isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // The frame keeps its shape, centred, with black around it. Nearest-pixel scaling keeps
    // the overlay's one-pixel lines crisp and costs little at 30 frames a second.
    QSize size = frame_->size().scaled(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    if (target != rect()) painter.fillRect(rect(), Qt::black);
    painter.drawImage(target, *frame_);
}

void MonitorScreen::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit Clicked();
}
