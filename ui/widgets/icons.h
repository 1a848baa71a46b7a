// Tool-bar pictures, drawn by our own code in 16 x 16 units (like the image lists of the
// windows' tool bars) at the size and device pixel ratio they are shown at.
#pragma once

#include <QColor>
#include <QIcon>

enum class IconId {
    // Drawing tools.
    Crosshair,
    Freehand,
    QuadPixel,
    OpenRect,
    SolidRect,
    LumaHoriz,
    LumaVert,
    Text,
    Load,
    SaveRect,
    ReadOsd,
    ShareMem,
    ShareMemOff,
    TimeStampXY,
    TimeStampFont,
    TimeStampRun,
    Date,
    // Other windows.
    ViewCrosspoint,
    ViewMwrite,
    ParallelPort,
    // Commands.
    AdvancedFeatures,
    Erase,
    LoadAll,
    SaveAll,
    MoveUp,
    MoveDown,
    MoveLeft,
    MoveRight,
    BlankOsd,
    Help,
    // The picture zoom's quad grid.
    QuadGrid,
};

QIcon Tool_Icon(IconId id);
// A channel window's picture with the channel digit (view buttons).
QIcon View_Channel_Icon(int channel);
// A chip with the channel digit (multi-write channel buttons).
QIcon Write_Channel_Icon(int channel);
// A shared-source pair "01", "23" … for the first channel of the pair.
QIcon Share_Pair_Icon(int first_channel);
// A swatch of a luminance level in its picture colour.
QIcon Luma_Icon(int level, QColor colour);
