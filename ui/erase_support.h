// What the erase commands of both drawing windows share: the windows kept minimised while
// display memory is erased, and the quad pickers set to the erase level.
#pragma once

#include <functional>
#include <vector>

class QWidget;
class TDrawingForm;

// Minimises the windows in the order given (absent ones are skipped), runs work, then sets
// each back to the normal window state in the same order; a hidden window stays hidden. When
// the application was asked to quit meanwhile, the windows are left as they are.
void Run_Minimised(const std::vector<QWidget*>& windows, const std::function<void()>& work);

// The four quad pickers of the window select and show level.
void Show_Quad_Level(TDrawingForm& form, int level);
