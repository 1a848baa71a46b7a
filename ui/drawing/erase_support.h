// What the erase commands of both drawing windows share: the windows kept minimised while
// display memory is erased, and the quad pickers set to the erase level.
#pragma once

#include <functional>
#include <vector>

class QWidget;
class TDrawingForm;

// Minimises the shown windows in the order given; absent and hidden ones are left alone,
// since a window state set on a hidden window maps it on X11 (unpainted, yet taking clicks).
// Returns the active window, which Set_Shown_Normal puts back in front.
QWidget* Minimise_Shown(const std::vector<QWidget*>& windows);
// Sets each shown window back to the normal window state, in the order given; hidden ones
// stay hidden and untouched. Then `front` (the window the user worked in) is raised and
// active again, so that the keys pressed next reach it rather than the last window restored.
void Set_Shown_Normal(const std::vector<QWidget*>& windows, QWidget* front);

// Minimise_Shown, then work, then Set_Shown_Normal. When the application was asked to quit
// meanwhile, the windows are left as they are. Windows that go away meanwhile are skipped.
void Run_Minimised(const std::vector<QWidget*>& windows, const std::function<void()>& work);

// The four quad pickers of the window select and show level.
void Show_Quad_Level(TDrawingForm& form, int level);
