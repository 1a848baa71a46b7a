// Image1 of the drawing windows: shows the window's 712 x 512 picture at the window's zoom
// (one picture pixel as a whole number of device pixels), with a cross-hair cursor, and passes
// mouse presses, moves and releases on to the window in picture coordinates, the same at
// every zoom. Only the canvas's changed rectangle is repainted, so a tool that paints one quad
// costs one small repaint.
#pragma once

#include "ui/widgets/zoomed_image.h"

class Canvas;

class PictureView : public ZoomedImage {
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

signals:
    void Mouse_Down(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void Mouse_Move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void Mouse_Up(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Canvas* canvas_;
};
