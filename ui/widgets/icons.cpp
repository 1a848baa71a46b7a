// Tool-bar pictures painted with QPainter: simple shapes that read at 16 x 16.
#include "ui/widgets/icons.h"

#include <QApplication>
#include <QFont>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>
#include <QStyle>
#include <QStyleOption>
#include <functional>
#include <utility>

namespace {

constexpr int Size = 16;  // the drawing's own units: a 16 x 16 image list picture

using Drawing = std::function<void(QPainter&)>;

// The icon drawn afresh for every size and device pixel ratio it is asked for, so that it is
// sharp at 200 % rather than a 16 x 16 bitmap blown up.
class PaintedIconEngine : public QIconEngine {
public:
    explicit PaintedIconEngine(Drawing draw) : draw_(std::move(draw)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device()->devicePixelRatioF();
        QPixmap pixmap = scaledPixmap(rect.size() * ratio, mode, state, ratio);
        painter->drawPixmap(rect, pixmap);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    // size is in device pixels, as QIcon asks for it.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal) override {
        const QString key = QString("%1x%2:%3").arg(size.width()).arg(size.height()).arg(mode);
        if (const auto found = cache_.find(key); found != cache_.end()) return *found;
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.scale(size.width() / double(Size), size.height() / double(Size));
        draw_(p);
        p.end();
        if (mode == QIcon::Disabled && qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QStyleOption option;
            option.palette = QApplication::palette();
            pixmap = QApplication::style()->generatedIconPixmap(QIcon::Disabled, pixmap, &option);
        }
        cache_.insert(key, pixmap);
        return pixmap;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new PaintedIconEngine(draw_); }
    QString key() const override { return "osdex-painted"; }

private:
    Drawing draw_;
    QHash<QString, QPixmap> cache_;
};

QIcon Paint(const Drawing& draw) {
    return QIcon(new PaintedIconEngine(draw));
}

void Small_Text(QPainter& p, const QRect& box, const QString& text, QColor colour, int px = 9) {
    QFont font("DejaVu Sans");
    font.setPixelSize(px);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

void Arrow(QPainter& p, int dx, int dy) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 90, 180));
    // An arrow pointing right, turned to the wanted direction about the centre.
    p.translate(8, 8);
    p.rotate(dy > 0 ? 90 : dy < 0 ? -90 : dx < 0 ? 180 : 0);
    p.drawPolygon(QPolygon({{-6, -2}, {1, -2}, {1, -6}, {7, 0}, {1, 6}, {1, 2}, {-6, 2}}));
    p.resetTransform();
}

void Screen(QPainter& p, QColor face) {
    p.setPen(Qt::black);
    p.setBrush(face);
    p.drawRect(1, 2, 13, 10);
    p.drawLine(5, 14, 10, 14);
}

void Floppy(QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(QColor(40, 60, 140));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(3, 9, 9, 5);
}

void Folder(QPainter& p) {
    p.setPen(QColor(120, 90, 0));
    p.setBrush(QColor(240, 200, 80));
    p.drawPolygon(QPolygon({{1, 4}, {6, 4}, {7, 5}, {14, 5}, {14, 13}, {1, 13}}));
}

void Draw_Tool(QPainter& p, IconId id) {
    switch (id) {
        case IconId::Crosshair:
            p.setPen(QPen(Qt::black, 1));
            p.drawLine(8, 1, 8, 15);
            p.drawLine(1, 8, 15, 8);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPoint(8, 8), 4, 4);
            break;
        case IconId::Freehand: {
            QPainterPath path(QPointF(1, 12));
            path.cubicTo(5, 0, 9, 16, 15, 3);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(Qt::black, 1.5));
            p.drawPath(path);
            break;
        }
        case IconId::QuadPixel:
            for (int i = 0; i < 4; ++i)
                p.fillRect(1 + i * 4, 6, 3, 4, QColor(60 * i, 60 * i, 60 * i));
            p.setPen(Qt::black);
            p.drawRect(0, 5, 15, 5);
            break;
        case IconId::OpenRect:
            p.setPen(QPen(Qt::black, 2));
            p.drawRect(2, 3, 12, 10);
            break;
        case IconId::SolidRect:
            p.setPen(Qt::black);
            p.setBrush(QColor(120, 120, 120));
            p.drawRect(2, 3, 12, 10);
            break;
        case IconId::LumaHoriz:
            for (int i = 0; i < 4; ++i)
                p.fillRect(1, 1 + i * 4, 14, 4, QColor::fromHsv(0, 0, 255 - i * 70));
            break;
        case IconId::LumaVert:
            for (int i = 0; i < 4; ++i)
                p.fillRect(1 + i * 4, 1, 4, 14, QColor::fromHsv(0, 0, 255 - i * 70));
            break;
        case IconId::Text:
            Small_Text(p, QRect(0, 0, Size, Size), "A", Qt::black, 14);
            break;
        case IconId::Load:
            Folder(p);
            break;
        case IconId::SaveRect:
            Floppy(p);
            p.setPen(QPen(Qt::red, 1, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(0, 0, 15, 15);
            break;
        case IconId::ReadOsd:
            p.setPen(QPen(Qt::black, 1, Qt::DashLine));
            p.drawRect(1, 1, 13, 13);
            Arrow(p, 0, 1);
            break;
        case IconId::ShareMem:
            p.setPen(Qt::black);
            p.setBrush(QColor(160, 200, 255));
            p.drawRect(1, 4, 13, 7);
            p.drawLine(1, 2, 14, 2);
            p.drawLine(1, 13, 14, 13);
            break;
        case IconId::ShareMemOff:
            p.setPen(Qt::black);
            p.setBrush(QColor(160, 200, 255));
            p.drawRect(1, 4, 13, 7);
            p.setPen(QPen(Qt::red, 2));
            p.drawLine(2, 14, 14, 2);
            break;
        case IconId::TimeStampXY:
            p.setPen(Qt::black);
            p.setBrush(Qt::black);
            p.drawRect(1, 5, 13, 7);
            Small_Text(p, QRect(1, 5, 14, 8), "12", Qt::white, 7);
            break;
        case IconId::TimeStampFont:
            Small_Text(p, QRect(0, 0, 10, 16), "A", Qt::black, 13);
            Small_Text(p, QRect(8, 4, 8, 12), "a", QColor(0, 90, 180), 10);
            break;
        case IconId::TimeStampRun:
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::black);
            p.setBrush(Qt::white);
            p.drawEllipse(1, 1, 13, 13);
            p.drawLine(8, 8, 8, 3);
            p.drawLine(8, 8, 11, 9);
            break;
        case IconId::Date:
            p.setPen(Qt::black);
            p.setBrush(Qt::white);
            p.drawRect(1, 2, 13, 12);
            p.fillRect(2, 3, 12, 3, QColor(200, 40, 40));
            Small_Text(p, QRect(1, 6, 14, 9), "31", Qt::black, 7);
            break;
        case IconId::ViewCrosspoint:
            p.setPen(Qt::black);
            for (int i = 2; i <= 14; i += 4) {
                p.drawLine(i, 1, i, 15);
                p.drawLine(1, i, 15, i);
            }
            p.setBrush(Qt::red);
            p.drawEllipse(QPoint(6, 10), 2, 2);
            break;
        case IconId::ViewMwrite:
            p.setPen(Qt::black);
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(5, 1, 10, 8);
            p.drawRect(3, 4, 10, 8);
            p.setBrush(QColor(0, 0, 255));
            p.drawRect(1, 7, 10, 8);
            break;
        case IconId::ParallelPort:
            p.setPen(Qt::black);
            p.setBrush(QColor(190, 190, 190));
            p.drawPolygon(QPolygon({{0, 4}, {15, 4}, {13, 12}, {2, 12}}));
            for (int x = 3; x <= 12; x += 2) p.drawPoint(x, 7);
            for (int x = 4; x <= 11; x += 2) p.drawPoint(x, 9);
            break;
        case IconId::AdvancedFeatures:
            p.setPen(Qt::black);
            p.setBrush(QColor(255, 255, 200));
            p.drawRect(1, 1, 13, 13);
            Small_Text(p, QRect(1, 1, 14, 14), "R", QColor(0, 90, 180), 11);
            break;
        case IconId::Erase:
            p.setPen(Qt::black);
            p.setBrush(QColor(240, 130, 150));
            p.drawPolygon(QPolygon({{1, 11}, {8, 3}, {14, 8}, {8, 14}, {4, 14}}));
            break;
        case IconId::LoadAll:
            Folder(p);
            Arrow(p, -1, 0);
            break;
        case IconId::SaveAll:
            Floppy(p);
            break;
        case IconId::MoveUp:
            Arrow(p, 0, -1);
            break;
        case IconId::MoveDown:
            Arrow(p, 0, 1);
            break;
        case IconId::MoveLeft:
            Arrow(p, -1, 0);
            break;
        case IconId::MoveRight:
            Arrow(p, 1, 0);
            break;
        case IconId::BlankOsd:
            Screen(p, Qt::black);
            break;
        case IconId::QuadGrid:
            p.fillRect(1, 1, 14, 14, QColor(0, 0, 255));
            p.setPen(QColor(200, 200, 200));
            for (int i = 1; i <= 15; i += 7) {
                p.drawLine(i, 1, i, 15);
                p.drawLine(1, i, 15, i);
            }
            break;
        case IconId::Help:
            p.setPen(Qt::black);
            p.setBrush(QColor(255, 240, 120));
            p.drawEllipse(1, 1, 13, 13);
            Small_Text(p, QRect(1, 1, 14, 14), "?", Qt::black, 12);
            break;
    }
}

}  // namespace

QIcon Tool_Icon(IconId id) {
    return Paint([id](QPainter& p) { Draw_Tool(p, id); });
}

QIcon View_Channel_Icon(int channel) {
    return Paint([channel](QPainter& p) {
        Screen(p, QColor(0, 0, 255));
        Small_Text(p, QRect(1, 2, 14, 11), QString::number(channel), Qt::white);
    });
}

QIcon Write_Channel_Icon(int channel) {
    return Paint([channel](QPainter& p) {
        p.setPen(Qt::black);
        p.setBrush(QColor(255, 220, 120));
        p.drawRect(2, 1, 11, 13);
        Small_Text(p, QRect(2, 1, 12, 14), QString::number(channel), Qt::black);
    });
}

QIcon Share_Pair_Icon(int first_channel) {
    return Paint([first_channel](QPainter& p) {
        p.setPen(Qt::black);
        p.setBrush(QColor(160, 200, 255));
        p.drawRect(0, 2, 15, 11);
        Small_Text(p, QRect(0, 2, 16, 12),
                   QString::number(first_channel) + QString::number(first_channel + 1), Qt::black,
                   8);
    });
}

QIcon Luma_Icon(int level, QColor colour) {
    return Paint([level, colour](QPainter& p) {
        p.setPen(Qt::black);
        p.setBrush(colour);
        p.drawRect(0, 0, 15, 15);
        // The digit contrasts with the swatch: dark on the bright half of the scale.
        QColor ink = qGray(colour.rgb()) > 110 ? Qt::black : Qt::white;
        Small_Text(p, QRect(0, 0, 16, 16), QString::number(level), ink, level > 9 ? 8 : 10);
    });
}
