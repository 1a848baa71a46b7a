// The screen colour of an OSD level as the widgets paint it (pickers, level buttons).
#pragma once

#include <QColor>

QColor Level_QColor(int level);
