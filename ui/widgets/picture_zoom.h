// The zoom of one picture view in its scroll area, shared by the drawing windows and the Video
// Monitor's enlarged view: the steps 1x, 2x, 3x, 4x, 6x, 8x and Fit (the largest whole scale
// that shows the whole picture), Ctrl++ / Ctrl+- / Ctrl+0 while the window is active, and
// Ctrl+wheel over the picture, which zooms about the pointer: the picture pixel under it stays
// under it. The quad grid is a switch of its own, shown from 4x up.
#pragma once

#include <QObject>
#include <QPoint>

class QAction;
class QComboBox;
class QScrollArea;
class QToolBar;
class QWidget;
class ZoomedImage;

class PictureZoom : public QObject {
    Q_OBJECT
public:
    static constexpr int Fit = 0;

    // The zoom of `view`, the widget of `area`; the actions are the window's own, so that
    // their shortcuts work wherever the focus is in it.
    PictureZoom(ZoomedImage* view, QScrollArea* area, QWidget* window);

    // A step of Zoom_Steps, or Fit.
    int Zoom() const { return zoom_; }
    // Zooms about the middle of what the scroll area shows.
    void Set_Zoom(int zoom);
    // Zooms so that the picture point at `viewport_point` stays there.
    void Set_Zoom_About(int zoom, QPoint viewport_point);
    void Zoom_In();
    void Zoom_Out();
    void Actual_Size() { Set_Zoom(1); }
    void Set_Grid(bool on);

    // Zoom In, Zoom Out, Actual Size, Fit and Quad Grid, in that order (the main window puts
    // them at the end of its View menu).
    QAction* ZoomIn = nullptr;
    QAction* ZoomOut = nullptr;
    QAction* ActualSize = nullptr;
    QAction* FitToWindow = nullptr;
    QAction* QuadGrid = nullptr;
    // The list of zooms (it follows every change) and the grid switch, made by Add_To_Tool_Bar.
    QComboBox* Selector = nullptr;
    // The list and the grid switch at the end of a tool bar, after a separator.
    void Add_To_Tool_Bar(QToolBar* bar);
    // The list alone, for a window without tool bars.
    QComboBox* Make_Selector(QWidget* parent);

signals:
    void Zoom_Changed(int zoom);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int Next_Step(int direction) const;
    void Apply(QPoint viewport_point);
    void Show_Zoom();

    ZoomedImage* view_;
    QScrollArea* area_;
    int zoom_ = 1;
};

// The zoom list's text of a step: "1×" … "8×", "Fit".
QString Zoom_Text(int zoom);
