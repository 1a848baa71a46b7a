// Window places.
#include "ui/widgets/window_places.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPoint>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace {

// A window manager's frame around a window not mapped yet, whose frame size is unknown.
constexpr int Frame_Allowance = 24;

QRect Available_Geometry(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// The window's frame, or its geometry with an allowance for a frame when it has none yet.
QRect Frame_Of(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    if (frame != window.geometry()) return frame;
    return frame.adjusted(0, 0, Frame_Allowance, Frame_Allowance);
}

class PlaceKeeper : public QObject {
public:
    explicit PlaceKeeper(QWidget* window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_) return false;
        if (event->type() == QEvent::Hide && !window_->isMinimized()) {
            place_ = window_->pos();
        } else if (event->type() == QEvent::Show && place_ && window_->pos() != *place_) {
            // Before the window is mapped: the window system takes the place as the user's.
            window_->move(*place_);
        }
        return false;
    }

private:
    QWidget* window_;
    std::optional<QPoint> place_;
};

}  // namespace

void Grow_Within_Screen(QWidget& window, int extra) {
    if (extra <= 0) return;
    const QRect available = Available_Geometry(window);
    const int frame = window.frameGeometry().height() - window.height();
    int height = window.height() + extra;
    if (!available.isEmpty()) height = std::min(height, available.height() - frame);
    if (height <= window.height()) return;
    window.resize(window.width(), height);
    if (available.isEmpty()) return;
    const int bottom = window.pos().y() + height + frame - 1;
    if (bottom > available.bottom())
        window.move(window.pos().x(),
                    std::max(available.top(), window.pos().y() - (bottom - available.bottom())));
}

void Fit_Within_Screen(QWidget& window) {
    const QRect available = Available_Geometry(window);
    QSize size = window.sizeHint().expandedTo(window.minimumSizeHint());
    if (!available.isEmpty())
        size = size.boundedTo(available.size() - QSize(Frame_Allowance, 2 * Frame_Allowance));
    window.resize(size);
    if (available.isEmpty()) return;
    const QRect frame(window.pos(), size + QSize(Frame_Allowance, 2 * Frame_Allowance));
    if (!available.contains(frame)) {
        const int x = std::clamp(frame.left(), available.left(), available.right() - frame.width());
        const int y = std::clamp(frame.top(), available.top(), available.bottom() - frame.height());
        window.move(x, y);
    }
}

void Place_Beside(QWidget& window, const QWidget& beside) {
    const QRect available = Available_Geometry(beside);
    const QRect other = Frame_Of(beside);
    const QSize size = window.frameGeometry().size() + QSize(Frame_Allowance, Frame_Allowance);
    const QRect right(QPoint(other.right() + 1, other.top()), size);
    const QRect below(QPoint(other.left(), other.bottom() + 1), size);
    for (const QRect& place : {right, below}) {
        if (available.contains(place)) {
            window.move(place.topLeft());
            return;
        }
    }
}

void Keep_Place_Between_Shows(QWidget& window) {
    window.installEventFilter(new PlaceKeeper(&window));
}
