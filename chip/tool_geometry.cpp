// The geometry of the canvas tools.
#include "chip/tool_geometry.h"

#include <algorithm>
#include <cstdlib>

#include "chip/display_memory.h"

namespace {

constexpr int kLastColumn = Display_Width - 1;  // 711
constexpr int kLastRow = Display_Lines - 1;     // 511
constexpr int kBarCount = 16;

// The highest Right of an upload or read-back whose "one beyond" quad is still column 177.
constexpr int kLastRegionRight = (Display_Quads - 2) * Pixels_Per_Quad + 1;  // 705

}  // namespace

Picture_Rect Drag_Rectangle(int press_x, int press_y, int x, int y) {
    return {std::min(press_x, x), std::min(press_y, y), std::max(press_x, x), std::max(press_y, y)};
}

bool Inside_Picture(int x, int y) {
    return x >= 0 && x <= kLastColumn && y >= 0 && y <= kLastRow;
}

std::optional<Picture_Rect> Clip_To_Picture(const Picture_Rect& r) {
    const Picture_Rect clipped{std::max(r.Left, 0), std::max(r.Top, 0),
                               std::min(r.Right, kLastColumn), std::min(r.Bottom, kLastRow)};
    if (clipped.Left > clipped.Right || clipped.Top > clipped.Bottom) return std::nullopt;
    return clipped;
}

std::optional<Picture_Rect> Clip_Region_To_Memory(const Picture_Rect& r) {
    std::optional<Picture_Rect> clipped = Clip_To_Picture(r);
    // A region starting in the second half of the last quad starts beyond memory.
    if (!clipped || Nearest_Quad(clipped->Left) >= Display_Quads) return std::nullopt;
    clipped->Right = std::min(clipped->Right, kLastRegionRight);
    return clipped;
}

int Truncated_Quad(int x) {
    return x / Pixels_Per_Quad;
}

std::vector<Luma_Bar> Horizontal_Luma_Bars(int press_y, int y, int left, int right) {
    const int r = (y - press_y) / kBarCount;
    std::vector<Luma_Bar> bars;
    if (r == 0) return bars;
    for (int k = 0; k < kBarCount; ++k) {
        const int top = press_y + k * r;
        bars.push_back({{left, top, right, top + std::abs(r) - 1}, kBarCount - 1 - k});
    }
    return bars;
}

std::vector<Luma_Bar> Vertical_Luma_Bars(int press_x, int x, int top, int bottom) {
    // Quads are taken whole, not cut to the register's 8 bits: a drag past the left edge
    // steps the bars leftward (and off the picture) instead of wrapping round to column 255.
    const int q0 = Nearest_Quad(press_x);
    const int q1 = Nearest_Quad(x + Pixels_Per_Quad);
    const int w = (q1 - q0) / kBarCount;
    std::vector<Luma_Bar> bars;
    if (w == 0) return bars;
    for (int k = 0; k < kBarCount; ++k) {
        const int first = q0 + k * w;
        bars.push_back(
            {{first * Pixels_Per_Quad, top, (first + std::abs(w)) * Pixels_Per_Quad - 1, bottom},
             kBarCount - 1 - k});
    }
    return bars;
}

bool Draw_Solid_Rect(const Solid_Rect_Writer& write, const Picture_Rect& r,
                     const Quad_Levels& pattern) {
    const std::optional<Picture_Rect> clipped = Clip_To_Picture(r);
    return !clipped || write(*clipped, pattern);
}

bool Draw_Luma_Bars(const Solid_Rect_Writer& write, const std::vector<Luma_Bar>& bars) {
    for (const Luma_Bar& bar : bars) {
        const Quad_Levels plain{bar.Level, bar.Level, bar.Level, bar.Level};
        if (!Draw_Solid_Rect(write, bar.Area, plain)) return false;
    }
    return true;
}

bool Draw_Open_Rect_Edges(const Picture_Rect& r, const Horizontal_Edge& horizontal,
                          const Vertical_Edge& vertical) {
    const int left = std::max(r.Left, 0);
    const int right = std::min(r.Right, kLastColumn);
    const int top = std::max(r.Top, 0);
    const int end = std::min(r.Bottom, kLastRow + 1);  // vertical edges stop before Bottom
    const auto row_edge = [&](int y) {
        return y < 0 || y > kLastRow || left > right || horizontal(left, right, y);
    };
    const auto column_edge = [&](int x) {
        return x < 0 || x > kLastColumn || top >= end || vertical(x, top, end);
    };
    return row_edge(r.Top) && row_edge(r.Bottom) && column_edge(r.Left) && column_edge(r.Right);
}
