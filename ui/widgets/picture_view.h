// Image1 of the drawing windows: shows the window's 712 x 512 picture, one screen pixel per
// display-memory pixel, with a cross-hair cursor, and passes mouse presses, moves and releases
// on to the window in picture coordinates. Only the canvas's changed rectangle is repainted,
// so a tool that paints one quad costs one small repaint.
#pragma once

#include <QWidget>

class Canvas;

class PictureView : public QWidget {
    Q_OBJECT
public:
    // canvas is the window's picture; it must outlive the view. The view becomes the
    // canvas's change listener.
    explicit PictureView(Canvas* canvas, QWidget* parent = nullptr);
    ~PictureView() override;

    // Repaints what the canvas changed since the last call, when the event loop next runs.
    void Show_Changes();
    // The same at once.
    void Repaint_Changes();

    QSize sizeHint() const override;

signals:
    void Mouse_Down(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void Mouse_Move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void Mouse_Up(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Canvas* canvas_;
};
