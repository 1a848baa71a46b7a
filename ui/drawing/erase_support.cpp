// Minimise / restore around an erase, and the pickers' erase level.
#include "ui/drawing/erase_support.h"

#include <QPointer>
#include <QWidget>

#include "shell/event_pump.h"
#include "ui/drawing/drawing_form.h"
#include "ui/widgets/qp_level_picker.h"

namespace {

void Set_Shown_State(const std::vector<QWidget*>& windows, Qt::WindowState state) {
    for (QWidget* window : windows)
        if (window && window->isVisible()) window->setWindowState(state);
}

}  // namespace

void Minimise_Shown(const std::vector<QWidget*>& windows) {
    Set_Shown_State(windows, Qt::WindowMinimized);
}

void Set_Shown_Normal(const std::vector<QWidget*>& windows) {
    Set_Shown_State(windows, Qt::WindowNoState);
}

void Run_Minimised(const std::vector<QWidget*>& windows, const std::function<void()>& work) {
    // Guarded: events run during the work, and a window may go away meanwhile.
    const std::vector<QPointer<QWidget>> guarded(windows.begin(), windows.end());
    Minimise_Shown(windows);
    work();
    if (Quit_Requested()) return;
    Set_Shown_Normal(std::vector<QWidget*>(guarded.begin(), guarded.end()));
}

void Show_Quad_Level(TDrawingForm& form, int level) {
    for (QpLevelPicker* picker : form.Quad_Pickers()) {
        picker->Set_Selected_Row(level);
        picker->Set_Shown_Row(level);
    }
}
