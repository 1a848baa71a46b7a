// The picture zoom controller.
#include "ui/widgets/picture_zoom.h"

#include <QAction>
#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "ui/widgets/icons.h"
#include "ui/widgets/pixel_scale.h"
#include "ui/widgets/zoomed_image.h"

QString Zoom_Text(int zoom) {
    return zoom == PictureZoom::Fit ? QString("Fit") : QString("%1\u00D7").arg(zoom);
}

namespace {

QAction* Window_Action(QWidget* window, const QString& text, const QString& name,
                       const QList<QKeySequence>& keys = {}) {
    auto* action = new QAction(text, window);
    action->setObjectName(name);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
}

}  // namespace

PictureZoom::PictureZoom(ZoomedImage* view, QScrollArea* area, QWidget* window)
    : QObject(window), view_(view), area_(area) {
    ZoomIn = Window_Action(
        window, "Zoom &In", "menuViewZoomIn",
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    ZoomOut = Window_Action(window, "Zoom &Out", "menuViewZoomOut",
                            {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    ActualSize = Window_Action(window, "&Actual Size", "menuViewActualSize",
                               {QKeySequence(Qt::CTRL | Qt::Key_0)});
    FitToWindow = Window_Action(window, "&Fit to Window", "menuViewFit");
    FitToWindow->setCheckable(true);
    QuadGrid = Window_Action(window, "Quad &Grid (from 4\u00D7)", "menuViewQuadGrid");
    QuadGrid->setCheckable(true);
    QuadGrid->setIcon(Tool_Icon(IconId::QuadGrid));
    QuadGrid->setToolTip("Show the quad boundaries from 4\u00D7 up");
    connect(ZoomIn, &QAction::triggered, this, &PictureZoom::Zoom_In);
    connect(ZoomOut, &QAction::triggered, this, &PictureZoom::Zoom_Out);
    connect(ActualSize, &QAction::triggered, this, &PictureZoom::Actual_Size);
    connect(FitToWindow, &QAction::triggered, this, [this](bool fit) { Set_Zoom(fit ? Fit : 1); });
    connect(QuadGrid, &QAction::toggled, this, &PictureZoom::Set_Grid);
    connect(view_, &ZoomedImage::Ratio_Changed, this, [this] { Set_Zoom(zoom_); });

    view_->installEventFilter(this);
    area_->viewport()->installEventFilter(this);
    Apply(QPoint());  // 1x in whole device pixels of the screen's scale
    Show_Zoom();
}

void PictureZoom::Set_Grid(bool on) {
    view_->Set_Grid(on);
    if (QuadGrid->isChecked() != on) QuadGrid->setChecked(on);
}

int PictureZoom::Next_Step(int direction) const {
    // From Fit (or any scale between steps) to the nearest step in that direction.
    const double now = view_->Scale().Zoom();
    if (direction > 0) {
        for (int step : Zoom_Steps)
            if (step > now + 1e-9) return step;
        return Zoom_Steps.back();
    }
    for (auto it = Zoom_Steps.rbegin(); it != Zoom_Steps.rend(); ++it)
        if (*it < now - 1e-9) return *it;
    return Zoom_Steps.front();
}

void PictureZoom::Zoom_In() {
    Set_Zoom(Next_Step(+1));
}

void PictureZoom::Zoom_Out() {
    Set_Zoom(Next_Step(-1));
}

void PictureZoom::Set_Zoom(int zoom) {
    Set_Zoom_About(zoom, area_->viewport()->rect().center());
}

void PictureZoom::Set_Zoom_About(int zoom, QPoint viewport_point) {
    const bool known =
        zoom == Fit || std::find(Zoom_Steps.begin(), Zoom_Steps.end(), zoom) != Zoom_Steps.end();
    if (!known) return;
    zoom_ = zoom;
    Apply(viewport_point);
    Show_Zoom();
    emit Zoom_Changed(zoom_);
}

void PictureZoom::Apply(QPoint viewport_point) {
    const double ratio = view_->devicePixelRatioF();
    const int device_pixels =
        zoom_ == Fit ? Device_Pixels_To_Fit(view_->Picture_Size(), area_->viewport()->size(), ratio)
                     : Device_Pixels_For_Zoom(zoom_, ratio);
    // The picture point under the anchor before, and where it lies in the view after.
    const QPointF in_view = QPointF(viewport_point) - QPointF(view_->pos());
    const QPointF picture = in_view / view_->Scale().Zoom();
    view_->Set_Device_Pixels(device_pixels);
    const QPointF after = picture * view_->Scale().Zoom();
    area_->horizontalScrollBar()->setValue(
        static_cast<int>(std::lround(after.x() - viewport_point.x())));
    area_->verticalScrollBar()->setValue(
        static_cast<int>(std::lround(after.y() - viewport_point.y())));
}

void PictureZoom::Show_Zoom() {
    FitToWindow->setChecked(zoom_ == Fit);
    ZoomIn->setEnabled(zoom_ != Zoom_Steps.back());
    ZoomOut->setEnabled(zoom_ != Zoom_Steps.front());
    if (Selector) {
        const QSignalBlocker quiet(Selector);
        Selector->setCurrentIndex(Selector->findData(zoom_));
    }
}

QComboBox* PictureZoom::Make_Selector(QWidget* parent) {
    Selector = new QComboBox(parent);
    Selector->setObjectName("ComboZoom");
    Selector->setToolTip("Zoom (Ctrl++, Ctrl+-, Ctrl+0, Ctrl+wheel)");
    Selector->setFocusPolicy(Qt::TabFocus);
    for (int step : Zoom_Steps) Selector->addItem(Zoom_Text(step), step);
    Selector->addItem(Zoom_Text(Fit), Fit);
    connect(Selector, &QComboBox::activated, this,
            [this](int index) { Set_Zoom(Selector->itemData(index).toInt()); });
    Show_Zoom();
    return Selector;
}

void PictureZoom::Add_To_Tool_Bar(QToolBar* bar) {
    bar->addSeparator();
    bar->addWidget(Make_Selector(bar));
    bar->addAction(QuadGrid);
}

bool PictureZoom::eventFilter(QObject* watched, QEvent* event) {
    QWidget* viewport = area_->viewport();
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
        const int turn = wheel->angleDelta().y();
        if (turn == 0) return true;
        QPoint at = wheel->position().toPoint();
        if (watched == view_) at = view_->mapTo(viewport, at);
        Set_Zoom_About(Next_Step(turn > 0 ? +1 : -1), at);
        return true;
    }
    if (watched == viewport && event->type() == QEvent::Resize && zoom_ == Fit) Apply(QPoint());
    return false;
}
