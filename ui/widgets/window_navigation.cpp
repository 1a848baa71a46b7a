// Bringing a window to the front.
#include "ui/widgets/window_navigation.h"

#include <QWidget>

#include "port/window/port_window.h"

namespace {
QWidget* main_window = nullptr;
QWidget* crosspoint_window = nullptr;
}  // namespace

void Restore_And_Show(QWidget* window) {
    if (!window) return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void Set_Main_Window_Widget(QWidget* window) {
    main_window = window;
}

void Show_Main_Window() {
    Restore_And_Show(main_window);
}

void Set_Crosspoint_Window_Widget(QWidget* window) {
    crosspoint_window = window;
}

void Show_Crosspoint_Window() {
    Restore_And_Show(crosspoint_window);
}

void Show_Port_Window() {
    Restore_And_Show(LptConForm);
}
