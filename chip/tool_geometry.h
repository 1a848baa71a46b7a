// The geometry of the canvas tools, free of any toolkit: drag rectangles kept inside the
// picture and display memory, the luma bar sets, and the edges of an open rectangle. The
// windows' tools call these and supply the writers.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "chip/drawing_primitives.h"

// Picture pixels with inclusive bounds, as the drawing primitives take them.
struct PictureRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool operator==(const PictureRect&) const = default;
};

// The rectangle between the press point and the release point.
PictureRect Drag_Rectangle(int press_x, int press_y, int x, int y);

bool Inside_Picture(int x, int y);

// The part of r inside the picture, or nothing. While a button is held the pointer may lie
// outside the picture, and the primitives cut lines to their 9-bit registers (row -40 is
// line 472): every tool clips before it writes.
std::optional<PictureRect> Clip_To_Picture(const PictureRect& r);

// The same for a region that is uploaded or read back: those cover the quads from the one
// nearest Left to one beyond the one nearest Right, so Right is held where that last quad is
// still column 177 (in the last quad it may end up left of Left; the region is then that
// one quad). Nothing when the region starts beyond the last quad.
std::optional<PictureRect> Clip_Region_To_Memory(const PictureRect& r);

// Quad column under picture x as the quad and crosshair tools take it (truncated, so x = 6 is
// column 1; the rectangle tools round through Column_To_Quad instead).
int Truncated_Quad(int x);

// One bar of a luma bar set.
struct LumaBar {
    PictureRect Area;
    int Level = 0;
};

// Sixteen bars, level 15 first, or none when the drag spans fewer than 16 rows (horizontal
// bars) or 16 quads (vertical bars). The bars are as the drag makes them, not yet clipped.
std::vector<LumaBar> Horizontal_Luma_Bars(int press_y, int y, int left, int right);
std::vector<LumaBar> Vertical_Luma_Bars(int press_x, int x, int top, int bottom);

// Writes a solid rectangle in one quad pattern and paints it (one channel or several).
using SolidRectWriter = std::function<bool(const PictureRect&, const QuadLevels&)>;

// The rectangle clipped to the picture; nothing when none of it is inside. False when the
// application was asked to quit meanwhile.
bool Draw_Solid_Rect(const SolidRectWriter& write, const PictureRect& r, const QuadLevels& pattern);
// Every bar clipped on its own, in order; stops when the application is quitting.
bool Draw_Luma_Bars(const SolidRectWriter& write, const std::vector<LumaBar>& bars);

// The edges of an open rectangle: a horizontal edge covers columns x0..x1 of row y, a
// vertical one rows y0..y1 - 1 of the quad nearest x (the next edge covers the last row).
using HorizontalEdge = std::function<bool(int x0, int x1, int y)>;
using VerticalEdge = std::function<bool(int x, int y0, int y1)>;
// Top, bottom, left and right edge in this order, each cut to its part inside the picture;
// an edge that lies outside is left out. False when the application is quitting.
bool Draw_Open_Rect_Edges(const PictureRect& r, const HorizontalEdge& horizontal,
                          const VerticalEdge& vertical);
