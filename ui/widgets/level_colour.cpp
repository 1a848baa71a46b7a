// Level colours through the chip layer's luma mapping.
#include "ui/widgets/level_colour.h"

#include "chip/canvas.h"
#include "chip/luma.h"

QColor Level_QColor(int level) {
    return QColor::fromRgb(To_QRgb(OSD_To_Color(level)));
}
