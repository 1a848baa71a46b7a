// How a picture lies on the screen at a zoom: every picture pixel covers the same whole number
// of device pixels each way, so that one-pixel lines and checkerboards stay even at any screen
// scale (at 150 % a picture pixel at 1x is 2 x 2 device pixels, never 2 and 1 by turns).
// Widget (logical) coordinates follow from the device pixels and the screen's ratio.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <array>

// The zoom steps, in picture pixels per logical pixel.
inline constexpr std::array<int, 6> Zoom_Steps = {1, 2, 3, 4, 6, 8};
// The grid of quad boundaries shows from this zoom up.
inline constexpr int Grid_Zoom = 4;

// Device pixels per picture pixel at a zoom step: zoom x ratio rounded to the nearest whole
// number (halves up), at least 1.
int Device_Pixels_For_Zoom(int zoom, double device_pixel_ratio);
// The largest whole number of device pixels per picture pixel with which the picture fits in
// a viewport of the given logical size; at least 1, at most that of the largest step.
int Device_Pixels_To_Fit(QSize picture, QSize viewport, double device_pixel_ratio);

struct PixelScale {
    int device_pixels = 1;  // per picture pixel, each way
    double ratio = 1;       // device pixels per logical pixel

    // Picture pixels per logical pixel: what the user sees as the zoom.
    double Zoom() const { return device_pixels / ratio; }
    // The picture pixel under a widget point (outside the picture too: negative or beyond).
    QPoint Picture_Point(QPointF view) const;
    // A widget point on a picture position (a pixel's top-left corner).
    QPointF View_Point(QPointF picture) const;
    // The widget rectangle that covers the picture pixels of a rectangle, rounded outward.
    QRect View_Rect(const QRect& picture) const;
    // The picture pixels a widget rectangle touches, rounded outward.
    QRect Picture_Rect(const QRect& view) const;
    // The widget size of a whole picture.
    QSize View_Size(QSize picture) const;
};
