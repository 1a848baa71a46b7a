// Tool-bar buttons as every window's tool bars have them, the view band that the drawing
// windows and the crosspoint window share, and the width their tool bars need.
#pragma once

#include <QIcon>
#include <QString>
#include <QToolBar>
#include <QToolButton>
#include <array>

class QMainWindow;

// A named button with its hint and picture, flat until the pointer is over it.
QToolButton* Add_Tool_Button(QToolBar* bar, const QString& name, const QString& hint,
                             const QIcon& icon, bool checkable = false);

// The buttons of the view band: the eight channel windows, the crosspoint window, the
// main window and the port window.
struct ViewButtons {
    std::array<QToolButton*, 8> channel{};
    QToolButton* crosspoint = nullptr;
    QToolButton* mwrite = nullptr;
    QToolButton* parallel_port = nullptr;
};

// Fills `bar` with the view buttons; the windows differ only in the port button's hint.
ViewButtons Add_View_Buttons(QToolBar* bar, const QString& parallel_port_hint);

// Widens the window, only as much as needed, until each row of its top tool bars fits, so
// that no button hides behind the tool bar's extension arrow at the window's start size.
void Widen_For_Tool_Bars(QMainWindow& window);
