// A picture shown at a zoom: every picture pixel as the same whole number of device pixels,
// copied pixel for pixel (no smoothing), with an optional grid of quad boundaries from 4x up.
// Only the exposed part is scaled and drawn, so a small change costs a small repaint at any
// zoom. The picture views of the drawing windows and the Video Monitor's enlarged view are
// ones; the zoom controller (picture_zoom.h) sets their scale.
#pragma once

#include <QPointer>
#include <QWidget>
#include <utility>
#include <vector>

#include "ui/widgets/pixel_scale.h"

class QImage;

class ZoomedImage : public QWidget {
    Q_OBJECT
public:
    // image must outlive the view, or be replaced first; null shows nothing.
    explicit ZoomedImage(const QImage* image, QWidget* parent = nullptr);

    void Show_Image(const QImage* image);
    QSize Picture_Size() const;

    // Device pixels per picture pixel; the widget takes the picture's size at that scale.
    void Set_Device_Pixels(int device_pixels);
    int Device_Pixels() const { return device_pixels_; }
    PixelScale Scale() const;

    // The grid of quad boundaries (every 4 pixels), drawn from a zoom of 4 up.
    void Set_Grid(bool on);
    bool Grid_Shown() const;

    // Repaints the widget area of a picture rectangle, when the event loop next runs / at once.
    void Update_Picture_Rect(const QRect& picture);
    void Repaint_Picture_Rect(const QRect& picture);

    // Keeps a child widget over a picture rectangle at every zoom.
    void Place_Over(QWidget* child, const QRect& picture);

    QSize sizeHint() const override;

signals:
    // The screen's device pixel ratio changed under the view (moved to another screen).
    void Ratio_Changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Check_Ratio();
    void Fit_To_Scale();

    const QImage* image_;
    int device_pixels_ = 1;
    double ratio_ = 1;
    bool grid_ = false;
    std::vector<std::pair<QPointer<QWidget>, QRect>> overlays_;
};

// The picture pixels of `source` as blocks of k x k device pixels, with the quad grid over
// them when asked; what the view draws.
QImage Scaled_Block(const QImage& picture, const QRect& source, int k, bool grid);
