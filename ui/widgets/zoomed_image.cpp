// The zoomed picture: exact integer scaling of the exposed part.
#include "ui/widgets/zoomed_image.h"

#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <cstring>

namespace {

constexpr int Quad_Width = 4;

// A grid pixel: the picture's colour half-way to grey, seen on every level.
QRgb Grid_Colour(QRgb pixel) {
    return ((pixel & 0x00FEFEFE) >> 1) + 0xFF404040;
}

}  // namespace

QImage Scaled_Block(const QImage& picture, const QRect& source, int k, bool grid) {
    const QRect area = source.intersected(picture.rect());
    if (area.isEmpty()) return QImage();
    const QImage rgb = picture.format() == QImage::Format_RGB32
                           ? picture
                           : picture.convertToFormat(QImage::Format_RGB32);
    QImage block(area.width() * k, area.height() * k, QImage::Format_RGB32);
    const int row_bytes = area.width() * k * 4;
    for (int y = 0; y < area.height(); ++y) {
        const int picture_y = area.top() + y;
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(picture_y)) + area.left();
        auto* out = reinterpret_cast<QRgb*>(block.scanLine(y * k));
        for (int x = 0; x < area.width(); ++x) {
            const QRgb pixel = in[x];
            const bool edge = grid && (area.left() + x) % Quad_Width == 0;
            out[x * k] = edge ? Grid_Colour(pixel) : pixel;
            for (int i = 1; i < k; ++i) out[x * k + i] = pixel;
        }
        for (int i = 1; i < k; ++i) std::memcpy(block.scanLine(y * k + i), out, row_bytes);
        if (grid && picture_y % Quad_Width == 0) {
            for (int x = 0; x < area.width() * k; ++x) out[x] = Grid_Colour(in[x / k]);
        }
    }
    return block;
}

ZoomedImage::ZoomedImage(const QImage* image, QWidget* parent) : QWidget(parent), image_(image) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    ratio_ = devicePixelRatioF();
    Fit_To_Scale();
}

void ZoomedImage::Show_Image(const QImage* image) {
    image_ = image;
    Fit_To_Scale();
    update();
}

QSize ZoomedImage::Picture_Size() const {
    return image_ ? image_->size() : QSize();
}

PixelScale ZoomedImage::Scale() const {
    return PixelScale{device_pixels_, ratio_};
}

void ZoomedImage::Set_Device_Pixels(int device_pixels) {
    ratio_ = devicePixelRatioF();
    if (device_pixels == device_pixels_ && size() == Scale().View_Size(Picture_Size())) return;
    device_pixels_ = std::max(1, device_pixels);
    Fit_To_Scale();
    update();
}

void ZoomedImage::Set_Grid(bool on) {
    if (grid_ == on) return;
    grid_ = on;
    update();
}

bool ZoomedImage::Grid_Shown() const {
    return grid_ && Scale().Zoom() >= Grid_Zoom - 1e-9;
}

void ZoomedImage::Fit_To_Scale() {
    const PixelScale scale = Scale();
    setFixedSize(scale.View_Size(Picture_Size()));
    for (auto& [child, picture] : overlays_) {
        if (child) child->setGeometry(scale.View_Rect(picture));
    }
}

void ZoomedImage::Place_Over(QWidget* child, const QRect& picture) {
    for (auto& overlay : overlays_) {
        if (overlay.first == child) {
            overlay.second = picture;
            child->setGeometry(Scale().View_Rect(picture));
            return;
        }
    }
    overlays_.emplace_back(child, picture);
    child->setGeometry(Scale().View_Rect(picture));
}

QSize ZoomedImage::sizeHint() const {
    return Scale().View_Size(Picture_Size());
}

void ZoomedImage::Update_Picture_Rect(const QRect& picture) {
    if (!picture.isEmpty()) update(Scale().View_Rect(picture));
}

void ZoomedImage::Repaint_Picture_Rect(const QRect& picture) {
    if (!picture.isEmpty()) repaint(Scale().View_Rect(picture));
}

void ZoomedImage::Check_Ratio() {
    if (devicePixelRatioF() == ratio_) return;
    ratio_ = devicePixelRatioF();
    Fit_To_Scale();
    emit Ratio_Changed();
}

bool ZoomedImage::event(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show)
        Check_Ratio();
    return QWidget::event(event);
}

void ZoomedImage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const PixelScale scale = Scale();
    const QRect exposed = event->rect();
    const QRect picture_area =
        image_ ? scale.View_Rect(image_->rect()).intersected(rect()) : QRect();
    const QRegion outside = QRegion(exposed).subtracted(picture_area);
    for (const QRect& r : outside) painter.fillRect(r, palette().color(backgroundRole()));
    if (!image_ || image_->isNull()) return;

    const QRect source = scale.Picture_Rect(exposed).intersected(image_->rect());
    const int k = scale.device_pixels;
    if (k == 1 && scale.ratio == 1 && !Grid_Shown()) {
        painter.drawImage(source.topLeft(), *image_, source);
        return;
    }
    const QImage block = Scaled_Block(*image_, source, k, Grid_Shown());
    if (block.isNull()) return;
    // Drawn in device pixels, so that the blocks land on whole device pixels unscaled.
    painter.setWorldTransform(QTransform::fromScale(1.0 / scale.ratio, 1.0 / scale.ratio));
    painter.drawImage(QPoint(source.left() * k, source.top() * k), block);
}
