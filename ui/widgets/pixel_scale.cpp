// Pixel scale arithmetic.
#include "ui/widgets/pixel_scale.h"

#include <algorithm>
#include <cmath>

int Device_Pixels_For_Zoom(int zoom, double device_pixel_ratio) {
    return std::max(1, static_cast<int>(std::floor(zoom * device_pixel_ratio + 0.5)));
}

int Device_Pixels_To_Fit(QSize picture, QSize viewport, double device_pixel_ratio) {
    if (picture.isEmpty()) return 1;
    const int across =
        static_cast<int>(std::floor(viewport.width() * device_pixel_ratio)) / picture.width();
    const int down =
        static_cast<int>(std::floor(viewport.height() * device_pixel_ratio)) / picture.height();
    const int largest = Device_Pixels_For_Zoom(Zoom_Steps.back(), device_pixel_ratio);
    return std::clamp(std::min(across, down), 1, largest);
}

namespace {

// Small slack so that a widget coordinate that is a pixel edge in exact arithmetic (7.9999…)
// does not fall into the pixel before it.
constexpr double Slack = 1e-9;

int Floor_Div(double value) {
    return static_cast<int>(std::floor(value + Slack));
}
int Ceil_Div(double value) {
    return static_cast<int>(std::ceil(value - Slack));
}

}  // namespace

QPoint PixelScale::Picture_Point(QPointF view) const {
    const double per_logical = ratio / device_pixels;
    return QPoint(Floor_Div(view.x() * per_logical), Floor_Div(view.y() * per_logical));
}

QPointF PixelScale::View_Point(QPointF picture) const {
    return picture * Zoom();
}

QRect PixelScale::View_Rect(const QRect& picture) const {
    const double z = Zoom();
    const int left = Floor_Div(picture.left() * z);
    const int top = Floor_Div(picture.top() * z);
    const int right = Ceil_Div((picture.left() + picture.width()) * z);
    const int bottom = Ceil_Div((picture.top() + picture.height()) * z);
    return QRect(left, top, right - left, bottom - top);
}

QRect PixelScale::Picture_Rect(const QRect& view) const {
    const double per_logical = ratio / device_pixels;
    const int left = Floor_Div(view.left() * per_logical);
    const int top = Floor_Div(view.top() * per_logical);
    const int right = Ceil_Div((view.left() + view.width()) * per_logical);
    const int bottom = Ceil_Div((view.top() + view.height()) * per_logical);
    return QRect(left, top, right - left, bottom - top);
}

QSize PixelScale::View_Size(QSize picture) const {
    const double z = Zoom();
    return QSize(Ceil_Div(picture.width() * z), Ceil_Div(picture.height() * z));
}
