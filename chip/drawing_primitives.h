// Drawing primitives: write, read and paint pixels, quads, runs, rectangles and picture
// regions, for one channel (bank = the channel's RegisterBase, 16 n) or for the channels of a
// mask through the multi-channel bank. Quad levels are given leftmost first (p0 is the high
// nibble of QPH); a level uses its low four bits.
//
// Writes go through Write_Register / Read_Register; with the cache on, a run sends its
// position once and then only the data that changes and one command per quad.
//
// Responsive loops check before every step whether the application has been asked to quit and
// then stop at once; such primitives return false when they stopped early. Pending GUI events
// run between steps too, at most once per event interval of the program's clock (shell/clock.h),
// because one turn of the event loop costs more than several register writes.
// While they let events run, another handler may use the bus: with the cache on, a run
// notices what that changed and sets its registers again before its next command.
//
// Positions are not range-checked: a line is cut to its 9-bit register value (512 addresses
// line 0, -40 line 472) and a quad column to 8 bits (columns 178..255 hold no memory), as the
// registers take them. Keeping positions inside the picture is the tools' job. Paints land on
// the quads the chip writes; the picture ignores paints outside it, and picks outside it read
// as level 15.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

class Canvas;

using QuadLevels = std::array<int, 4>;  // pixel 0 (leftmost) .. pixel 3

// How often responsive loops let pending events run, in milliseconds of the program's clock;
// zero: before every step.
inline constexpr std::uint32_t Default_Event_Interval_ms = 4;
void Set_Event_Interval(std::uint32_t interval_ms);

// Single pixels and quads.
void Write_Pixel(std::uint8_t bank, int x, int line, int level);
void Paint_Pixel(Canvas* canvas, int x, int y, int level);
void Write_Quad(std::uint8_t bank, int x, int line, int p0, int p1, int p2, int p3);
void Write_Quad_Multi(std::uint8_t mask, int x, int line, int p0, int p1, int p2, int p3);
QuadLevels Read_Quad(std::uint8_t bank, int x, int line);
void Paint_Quad(Canvas* canvas, int x, int y, int p0, int p1, int p2, int p3);
// Levels of pixels (x .. x + 3, y); all 0 without a canvas.
QuadLevels Pick_Quad(Canvas* canvas, int x, int y);

// Runs repeat the quad the chip already holds in QPH/QPL (or 128/129): horizontal runs write
// round((x1 - x0) / 4) quads from Column_To_Quad(x0); vertical runs write lines y0 .. y1 - 1.
bool Write_Horiz_Run(std::uint8_t bank, int x0, int x1, int line);
bool Write_Vert_Run(std::uint8_t bank, int x, int y0, int y1);
bool Write_Horiz_Run_Multi(std::uint8_t mask, int x0, int x1, int line);
bool Write_Vert_Run_Multi(std::uint8_t mask, int x, int y0, int y1);
// Paints the quads of the matching write run with the levels a, b, c, d. A uniform run is one
// line in the pen, which keeps that colour afterwards.
bool Paint_Horiz_Run(Canvas* canvas, int x0, int x1, int y, int a, int b, int c, int d);
bool Paint_Vert_Run(Canvas* canvas, int x, int y0, int y1, int a, int b, int c, int d);

// Rectangles with inclusive corners (x0, y0) .. (x1, y1), x0 <= x1 and y0 <= y1. A full erase
// over rows 0..512 writes 513 rows, the last one line 0 again with the same data.
bool Write_Open_Rect(std::uint8_t bank, int x0, int y0, int x1, int y1);
bool Paint_Open_Rect(Canvas* canvas, int x0, int y0, int x1, int y1, int a, int b, int c, int d);
bool Write_Solid_Rect(std::uint8_t bank, Canvas* canvas, int x0, int y0, int x1, int y1, int a,
                      int b, int c, int d);
// Also repaints the rows on the registered picture of every channel in the mask.
bool Write_Solid_Rect_Multi(std::uint8_t mask, Canvas* canvas, int x0, int y0, int x1, int y1,
                            int a, int b, int c, int d);

// Picture regions: the quads from the one nearest x0 to one or two beyond the one holding x1,
// rows y0 .. y1, each pixel's colour mapped to a level.
bool Upload_Picture(std::uint8_t bank, Canvas* canvas, int x0, int y0, int x1, int y1);
bool Upload_Picture_Multi(std::uint8_t mask, Canvas* canvas, int x0, int y0, int x1, int y1);
// Reads the same region back from the chip and paints it; refresh (when given) runs after
// every quad so the window can show the progress.
bool Read_Back_Picture(Canvas* canvas, std::uint8_t bank, int x0, int y0, int x1, int y1,
                       const std::function<void()>& refresh = {});
