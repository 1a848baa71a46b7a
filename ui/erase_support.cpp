// Minimise / restore around an erase, and the pickers' erase level.
#include "ui/erase_support.h"

#include <QPointer>
#include <QWidget>

#include "shell/event_pump.h"
#include "ui/drawing_form.h"
#include "ui/qp_level_picker.h"

void Run_Minimised(const std::vector<QWidget*>& windows, const std::function<void()>& work) {
    // Guarded: events run during the work, and a window may go away meanwhile.
    std::vector<QPointer<QWidget>> guarded(windows.begin(), windows.end());
    // Window states, not show/hide: a hidden window takes the state without appearing.
    for (QWidget* window : guarded)
        if (window) window->setWindowState(Qt::WindowMinimized);
    work();
    if (Quit_Requested()) return;
    for (QWidget* window : guarded)
        if (window) window->setWindowState(Qt::WindowNoState);
}

void Show_Quad_Level(TDrawingForm& form, int level) {
    for (QpLevelPicker* picker : form.Quad_Pickers()) {
        picker->Set_Selected_Row(level);
        picker->Set_Shown_Row(level);
    }
}
