// Minimise / restore around an erase, and the pickers' erase level.
#include "ui/drawing/erase_support.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "shell/event_pump.h"
#include "ui/drawing/drawing_form.h"
#include "ui/widgets/qp_level_picker.h"

namespace {

void Set_Shown_State(const std::vector<QWidget*>& windows, Qt::WindowState state) {
    for (QWidget* window : windows)
        if (window && window->isVisible()) window->setWindowState(state);
}

}  // namespace

QWidget* Minimise_Shown(const std::vector<QWidget*>& windows) {
    QWidget* front = QApplication::activeWindow();
    Set_Shown_State(windows, Qt::WindowMinimized);
    return front;
}

void Set_Shown_Normal(const std::vector<QWidget*>& windows, QWidget* front) {
    Set_Shown_State(windows, Qt::WindowNoState);
    if (!front) return;
    // The window system focuses each restored window as it gets to it; the front window is
    // asked for after those, even while the toolkit still takes it for the active one.
    const QPointer<QWidget> guarded = front;
    Process_Pending_Events();
    if (!guarded || !guarded->isVisible()) return;
    guarded->raise();
    if (QWindow* handle = guarded->windowHandle()) handle->requestActivate();
}

void Run_Minimised(const std::vector<QWidget*>& windows, const std::function<void()>& work) {
    // Guarded: events run during the work, and a window may go away meanwhile.
    const std::vector<QPointer<QWidget>> guarded(windows.begin(), windows.end());
    const QPointer<QWidget> front = Minimise_Shown(windows);
    work();
    if (Quit_Requested()) return;
    Set_Shown_Normal(std::vector<QWidget*>(guarded.begin(), guarded.end()), front);
}

void Show_Quad_Level(TDrawingForm& form, int level) {
    for (QpLevelPicker* picker : form.Quad_Pickers()) {
        picker->Set_Selected_Row(level);
        picker->Set_Shown_Row(level);
    }
}
