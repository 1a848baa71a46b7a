// The geometry of the canvas tools.
#include "chip/tool_geometry.h"

#include <algorithm>
#include <cstdlib>

#include "chip/display_memory.h"

namespace {

constexpr int Last_Column = Display_Width - 1;  // 711
constexpr int Last_Row = Display_Lines - 1;     // 511
constexpr int Bar_Count = 16;

// The highest Right of an upload or read-back whose "one beyond" quad is still column 177.
constexpr int Last_Region_Right = (Display_Quads - 2) * Pixels_Per_Quad + 1;  // 705

}  // namespace

PictureRect Drag_Rectangle(int press_x, int press_y, int x, int y) {
    return {std::min(press_x, x), std::min(press_y, y), std::max(press_x, x), std::max(press_y, y)};
}

bool Inside_Picture(int x, int y) {
    return x >= 0 && x <= Last_Column && y >= 0 && y <= Last_Row;
}

std::optional<PictureRect> Clip_To_Picture(const PictureRect& r) {
    const PictureRect clipped{std::max(r.Left, 0), std::max(r.Top, 0),
                              std::min(r.Right, Last_Column), std::min(r.Bottom, Last_Row)};
    if (clipped.Left > clipped.Right || clipped.Top > clipped.Bottom) return std::nullopt;
    return clipped;
}

std::optional<PictureRect> Clip_Region_To_Memory(const PictureRect& r) {
    std::optional<PictureRect> clipped = Clip_To_Picture(r);
    // A region starting in the second half of the last quad starts beyond memory.
    if (!clipped || Nearest_Quad(clipped->Left) >= Display_Quads) return std::nullopt;
    clipped->Right = std::min(clipped->Right, Last_Region_Right);
    return clipped;
}

int Truncated_Quad(int x) {
    return x / Pixels_Per_Quad;
}

std::vector<LumaBar> Horizontal_Luma_Bars(int press_y, int y, int left, int right) {
    const int r = (y - press_y) / Bar_Count;
    std::vector<LumaBar> bars;
    if (r == 0) return bars;
    for (int k = 0; k < Bar_Count; ++k) {
        const int top = press_y + k * r;
        bars.push_back({{left, top, right, top + std::abs(r) - 1}, Bar_Count - 1 - k});
    }
    return bars;
}

std::vector<LumaBar> Vertical_Luma_Bars(int press_x, int x, int top, int bottom) {
    // Quads are taken whole, not cut to the register's 8 bits: a drag past the left edge
    // steps the bars leftward (and off the picture) instead of wrapping round to column 255.
    const int q0 = Nearest_Quad(press_x);
    const int q1 = Nearest_Quad(x + Pixels_Per_Quad);
    const int w = (q1 - q0) / Bar_Count;
    std::vector<LumaBar> bars;
    if (w == 0) return bars;
    for (int k = 0; k < Bar_Count; ++k) {
        const int first = q0 + k * w;
        bars.push_back(
            {{first * Pixels_Per_Quad, top, (first + std::abs(w)) * Pixels_Per_Quad - 1, bottom},
             Bar_Count - 1 - k});
    }
    return bars;
}

bool Draw_Solid_Rect(const SolidRectWriter& write, const PictureRect& r,
                     const QuadLevels& pattern) {
    const std::optional<PictureRect> clipped = Clip_To_Picture(r);
    return !clipped || write(*clipped, pattern);
}

bool Draw_Luma_Bars(const SolidRectWriter& write, const std::vector<LumaBar>& bars) {
    for (const LumaBar& bar : bars) {
        const QuadLevels plain{bar.Level, bar.Level, bar.Level, bar.Level};
        if (!Draw_Solid_Rect(write, bar.Area, plain)) return false;
    }
    return true;
}

bool Draw_Open_Rect_Edges(const PictureRect& r, const HorizontalEdge& horizontal,
                          const VerticalEdge& vertical) {
    const int left = std::max(r.Left, 0);
    const int right = std::min(r.Right, Last_Column);
    const int top = std::max(r.Top, 0);
    const int end = std::min(r.Bottom, Last_Row + 1);  // vertical edges stop before Bottom
    const auto row_edge = [&](int y) {
        return y < 0 || y > Last_Row || left > right || horizontal(left, right, y);
    };
    const auto column_edge = [&](int x) {
        return x < 0 || x > Last_Column || top >= end || vertical(x, top, end);
    };
    return row_edge(r.Top) && row_edge(r.Bottom) && column_edge(r.Left) && column_edge(r.Right);
}
