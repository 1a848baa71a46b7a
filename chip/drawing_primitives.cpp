// Drawing primitives (module Drawing): register sequences for quads, runs and regions, and
// the matching paints on the pictures.
#include "chip/drawing_primitives.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

#include "chip/canvas.h"
#include "chip/channel_pictures.h"
#include "chip/display_memory.h"
#include "chip/luma.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "shell/clock.h"
#include "shell/event_pump.h"

namespace {

std::uint32_t event_interval_ms = Default_Event_Interval_ms;
std::uint32_t last_events = 0;
bool events_ran = false;  // last_events is set

// Called before each step of a responsive loop: true when the loop must stop.
// The writes of a run or a region need not wait for each answer on a served board; their
// failures are counted when it ends.
struct RegisterBatch {
    RegisterBatch() { Begin_Register_Batch(); }
    ~RegisterBatch() { End_Register_Batch(); }
    RegisterBatch(const RegisterBatch&) = delete;
    RegisterBatch& operator=(const RegisterBatch&) = delete;
};

bool Stop_Before_Step() {
    const std::uint32_t now = Clock_Milliseconds();
    // Unsigned difference: right across the clock's wrap at 2^32.
    if (events_ran && now - last_events < event_interval_ms) return Quit_Requested();
    events_ran = true;
    last_events = now;
    return Process_Pending_Events();
}

// The registers of one bank that quad commands use.
struct BankRegisters {
    std::uint8_t qph, qpl, column, line_high, line_low, increment, trigger;
};

BankRegisters Channel_Registers(std::uint8_t bank) {
    const auto at = [bank](std::uint8_t offset) {
        return static_cast<std::uint8_t>(bank | offset);
    };
    return {at(Reg::QPH),     at(Reg::QPL),    at(Reg::QPHORIZ), at(Reg::QPLINEH),
            at(Reg::QPLINEL), at(Reg::STATUS), at(Reg::COMMAND)};
}

constexpr BankRegisters Multi_Registers{MReg::QPH,     MReg::QPL,     MReg::QPHORIZ, MReg::QPLINEH,
                                        MReg::QPLINEL, MReg::CONTROL, MReg::MWRITE};

enum class Direction { Horizontal, Vertical };

// How a primitive sets the increment bits: the multi-channel runs write CONTROL as a whole,
// everything else by read-modify-write so that BLANK and ASYNC keep their state.
enum class IncrementWrite { Whole, Keep_Other_Bits };

std::uint8_t Increment_Bit(Direction direction) {
    return direction == Direction::Horizontal ? Status_HINC : Status_VINC;
}

void Set_Increment(const BankRegisters& r, Direction direction, IncrementWrite how) {
    const std::uint8_t bit = Increment_Bit(direction);
    if (how == IncrementWrite::Whole) {
        Write_Register(r.increment, bit);
        return;
    }
    const std::uint8_t status = Read_Register(r.increment);
    Write_Register(r.increment, static_cast<std::uint8_t>((status & ~Increment_Bits) | bit));
}

// With the cache on, sets the increment again when the cache no longer knows it to be set
// (another handler changed it between steps, or the cache was invalidated). Without the cache
// nothing is known, and every step is sent as it stands.
void Keep_Increment(const BankRegisters& r, Direction direction, IncrementWrite how) {
    if (!Cache_Enabled) return;
    const std::optional<std::uint8_t> value = Register_Cache_Value(r.increment);
    if (!value || (*value & Increment_Bits) != Increment_Bit(direction)) {
        Set_Increment(r, direction, how);
    }
}

void Write_Unless_Held(std::uint8_t address, std::uint8_t data) {
    if (!Register_Cache_Holds(address, data)) Write_Register(address, data);
}

void Write_Position(const BankRegisters& r, int line, int quad) {
    Write_Register(r.line_high, Line_High(line));
    Write_Register(r.line_low, Line_Low(line));
    Write_Register(r.column, static_cast<std::uint8_t>(quad));
}

std::uint8_t Data_Byte(int p0, int p1) {
    return Quad_Byte(p0 & 15, p1 & 15);
}

struct Span {
    int first;
    int count;
};

// first .. end - 1; empty when end <= first. Worked out wide so that extreme arguments
// cannot overflow: first + i (i < count) stays below end.
Span Span_To(int first, long long end) {
    return {first, static_cast<int>(std::clamp<long long>(end - first, 0, INT_MAX))};
}

// first .. last inclusive.
Span Inclusive_Span(int first, int last) {
    return Span_To(first, last + 1LL);
}

// Quads a run repeats over: round((to - from) / 4), none when that is not positive.
int Run_Length(int from, int to) {
    const double quads = std::floor((static_cast<double>(to) - from) / 4.0 + 0.5);
    return static_cast<int>(std::max(quads, 0.0));
}

// Quads of a horizontal run, from the quad nearest x0.
Span Run_Quads(int x0, int x1) {
    return {Nearest_Quad(x0), Run_Length(x0, x1)};
}

// Quads of an upload or read-back: from the quad nearest x0 to one beyond the quad nearest x1.
Span Region_Quads(int x0, int x1) {
    return Inclusive_Span(Nearest_Quad(x0), Nearest_Quad(x1) + 1);
}

// A run: one command repeated while the chip's address advances.
struct Run {
    BankRegisters r;
    Direction direction;
    IncrementWrite how;
    std::uint8_t trigger_value;  // COMMAND 2, or the channel mask for MWRITE
    int line;
    int quad;
    int count;
    std::optional<std::uint16_t> data;  // QPH << 8 | QPL when known
};

Run Horizontal_Run(const BankRegisters& r, IncrementWrite how, std::uint8_t trigger_value, int x0,
                   int x1, int line) {
    const Span quads = Run_Quads(x0, x1);
    return {r, Direction::Horizontal, how, trigger_value, line, quads.first, quads.count, {}};
}

Run Vertical_Run(const BankRegisters& r, IncrementWrite how, std::uint8_t trigger_value, int x,
                 int y0, int y1) {
    const Span rows = Span_To(y0, y1);
    return {r,          Direction::Vertical, how,        trigger_value,
            rows.first, Nearest_Quad(x),     rows.count, {}};
}

// The quad data the chip holds, when the cache knows it.
std::optional<std::uint16_t> Held_Data(const BankRegisters& r) {
    const auto high = Register_Cache_Value(r.qph);
    const auto low = Register_Cache_Value(r.qpl);
    if (!high || !low) return std::nullopt;
    return static_cast<std::uint16_t>(*high << 8 | *low);
}

// Before each command: whatever another handler changed while events ran is set again. With
// nothing changed every write here is already held and nothing is sent.
void Keep_On_Track(const Run& run, int step) {
    if (!Cache_Enabled) return;
    Keep_Increment(run.r, run.direction, run.how);
    if (run.data) {
        Write_Unless_Held(run.r.qph, static_cast<std::uint8_t>(*run.data >> 8));
        Write_Unless_Held(run.r.qpl, static_cast<std::uint8_t>(*run.data & 0xFF));
    }
    const bool horizontal = run.direction == Direction::Horizontal;
    const int line = run.line + (horizontal ? 0 : step);
    Write_Unless_Held(run.r.line_high, Line_High(line));
    Write_Unless_Held(run.r.line_low, Line_Low(line));
    Write_Unless_Held(run.r.column, static_cast<std::uint8_t>(run.quad + (horizontal ? step : 0)));
}

// The set-up is sent even for a run of no command: callers rely on the increment bit and the
// position a run leaves behind.
bool Execute_Run(const Run& run) {
    const RegisterBatch batch;
    Set_Increment(run.r, run.direction, run.how);
    Write_Position(run.r, run.line, run.quad);
    for (int step = 0; step < run.count; ++step) {
        if (Stop_Before_Step()) return false;
        Keep_On_Track(run, step);
        Write_Register(run.r.trigger, run.trigger_value);
    }
    return true;
}

bool Uniform(int a, int b, int c, int d) {
    return (a & 15) == (b & 15) && (b & 15) == (c & 15) && (c & 15) == (d & 15);
}

// One row of a solid rectangle in display memory: the data, then the run.
bool Write_Solid_Row(const BankRegisters& r, IncrementWrite how, std::uint8_t trigger_value, int x0,
                     int x1, int y, int a, int b, int c, int d) {
    const std::uint8_t high = Data_Byte(a, b);
    const std::uint8_t low = Data_Byte(c, d);
    Write_Register(r.qph, high);
    Write_Register(r.qpl, low);
    Run run = Horizontal_Run(r, how, trigger_value, x0, x1, y);
    run.data = static_cast<std::uint16_t>(high << 8 | low);
    return Execute_Run(run);
}

// Rows of a region, quad by quad; the increment bit is kept on between rows.
template <typename Quad_Step>
bool For_Region(const BankRegisters& r, int x0, int y0, int x1, int y1, Quad_Step step) {
    const RegisterBatch batch;
    const Span quads = Region_Quads(x0, x1);
    const Span rows = Inclusive_Span(y0, y1);
    for (int row = 0; row < rows.count; ++row) {
        if (Stop_Before_Step()) return false;
        Keep_Increment(r, Direction::Horizontal, IncrementWrite::Keep_Other_Bits);
        for (int q = 0; q < quads.count; ++q) {
            step((quads.first + q) * Pixels_Per_Quad, rows.first + row);
        }
    }
    return true;
}

}  // namespace

void Set_Event_Interval(std::uint32_t interval_ms) {
    event_interval_ms = interval_ms;
    events_ran = false;
}

void Write_Pixel(std::uint8_t bank, int x, int line, int level) {
    const BankRegisters r = Channel_Registers(bank);
    // Floor division and modulo, so a negative x still names one pixel of one quad.
    const int quad = x >> 2;
    const int pixel = x & 3;
    const int shift = (pixel % 2 == 0) ? 4 : 0;
    Write_Position(r, line, quad);
    Write_Register(r.increment,
                   static_cast<std::uint8_t>(Read_Register(r.increment) & ~Increment_Bits));
    Write_Register(r.trigger, Command_Read_Quad);
    std::uint8_t bytes[2] = {Read_Register(r.qph), Read_Register(r.qpl)};
    std::uint8_t& byte = bytes[pixel / 2];
    byte = static_cast<std::uint8_t>((byte & ~(0x0F << shift)) | (level & 15) << shift);
    Write_Register(r.qph, bytes[0]);
    Write_Register(r.qpl, bytes[1]);
    Write_Register(r.trigger, Command_Write_Quad);
}

void Paint_Pixel(Canvas* canvas, int x, int y, int level) {
    if (canvas) canvas->Set_Pixel(x, y, OSD_To_Color(level));
}

void Write_Quad(std::uint8_t bank, int x, int line, int p0, int p1, int p2, int p3) {
    const BankRegisters r = Channel_Registers(bank);
    Write_Register(r.qph, Data_Byte(p0, p1));
    Write_Register(r.qpl, Data_Byte(p2, p3));
    Write_Position(r, line, Column_To_Quad(x));
    Write_Register(r.trigger, Command_Write_Quad);
}

void Write_Quad_Multi(std::uint8_t mask, int x, int line, int p0, int p1, int p2, int p3) {
    if (mask == 0) return;
    const BankRegisters& r = Multi_Registers;
    Write_Register(r.qph, Data_Byte(p0, p1));
    Write_Register(r.qpl, Data_Byte(p2, p3));
    Write_Position(r, line, Column_To_Quad(x));
    Write_Register(r.trigger, mask);
}

QuadLevels Read_Quad(std::uint8_t bank, int x, int line) {
    const BankRegisters r = Channel_Registers(bank);
    Write_Position(r, line, Column_To_Quad(x));
    Write_Register(r.trigger, Command_Read_Quad);
    const std::uint8_t high = Read_Register(r.qph);
    const std::uint8_t low = Read_Register(r.qpl);
    return {Quad_Pixel(high, low, 0), Quad_Pixel(high, low, 1), Quad_Pixel(high, low, 2),
            Quad_Pixel(high, low, 3)};
}

void Paint_Quad(Canvas* canvas, int x, int y, int p0, int p1, int p2, int p3) {
    if (!canvas) return;
    const std::uint32_t colors[4] = {OSD_To_Color(p0), OSD_To_Color(p1), OSD_To_Color(p2),
                                     OSD_To_Color(p3)};
    canvas->Set_Quad(x, y, colors);
}

QuadLevels Pick_Quad(Canvas* canvas, int x, int y) {
    QuadLevels levels{};
    if (!canvas) return levels;
    for (int i = 0; i < Pixels_Per_Quad; ++i) levels[i] = Color_To_OSD(canvas->Pixel(x + i, y));
    return levels;
}

bool Write_Horiz_Run(std::uint8_t bank, int x0, int x1, int line) {
    const BankRegisters r = Channel_Registers(bank);
    Run run = Horizontal_Run(r, IncrementWrite::Keep_Other_Bits, Command_Write_Quad, x0, x1, line);
    run.data = Held_Data(r);
    return Execute_Run(run);
}

bool Write_Vert_Run(std::uint8_t bank, int x, int y0, int y1) {
    const BankRegisters r = Channel_Registers(bank);
    Run run = Vertical_Run(r, IncrementWrite::Keep_Other_Bits, Command_Write_Quad, x, y0, y1);
    run.data = Held_Data(r);
    return Execute_Run(run);
}

bool Write_Horiz_Run_Multi(std::uint8_t mask, int x0, int x1, int line) {
    Run run = Horizontal_Run(Multi_Registers, IncrementWrite::Whole, mask, x0, x1, line);
    run.data = Held_Data(Multi_Registers);
    return Execute_Run(run);
}

bool Write_Vert_Run_Multi(std::uint8_t mask, int x, int y0, int y1) {
    Run run = Vertical_Run(Multi_Registers, IncrementWrite::Whole, mask, x, y0, y1);
    run.data = Held_Data(Multi_Registers);
    return Execute_Run(run);
}

bool Paint_Horiz_Run(Canvas* canvas, int x0, int x1, int y, int a, int b, int c, int d) {
    if (!canvas) return true;
    const Span quads = Run_Quads(x0, x1);
    const int x = quads.first * Pixels_Per_Quad;
    if (Uniform(a, b, c, d)) {
        canvas->Set_Pen_Color(OSD_To_Color(a));
        canvas->Move_To(x, y);
        canvas->Line_To(x + quads.count * Pixels_Per_Quad, y);
        return true;
    }
    for (int i = 0; i < quads.count; ++i) {
        if (Stop_Before_Step()) return false;
        Paint_Quad(canvas, x + i * Pixels_Per_Quad, y, a, b, c, d);
    }
    return true;
}

bool Paint_Vert_Run(Canvas* canvas, int x, int y0, int y1, int a, int b, int c, int d) {
    if (!canvas) return true;
    const Span rows = Span_To(y0, y1);
    const int quad_x = Nearest_Quad(x) * Pixels_Per_Quad;
    for (int row = 0; row < rows.count; ++row) {
        if (Stop_Before_Step()) return false;
        Paint_Quad(canvas, quad_x, rows.first + row, a, b, c, d);
    }
    return true;
}

bool Write_Open_Rect(std::uint8_t bank, int x0, int y0, int x1, int y1) {
    return Write_Horiz_Run(bank, x0, x1, y0) && Write_Horiz_Run(bank, x0, x1, y1) &&
           Write_Vert_Run(bank, x0, y0, y1) && Write_Vert_Run(bank, x1, y0, y1);
}

bool Paint_Open_Rect(Canvas* canvas, int x0, int y0, int x1, int y1, int a, int b, int c, int d) {
    return Paint_Horiz_Run(canvas, x0, x1, y0, a, b, c, d) &&
           Paint_Horiz_Run(canvas, x0, x1, y1, a, b, c, d) &&
           Paint_Vert_Run(canvas, x0, y0, y1, a, b, c, d) &&
           Paint_Vert_Run(canvas, x1, y0, y1, a, b, c, d);
}

bool Write_Solid_Rect(std::uint8_t bank, Canvas* canvas, int x0, int y0, int x1, int y1, int a,
                      int b, int c, int d) {
    const BankRegisters r = Channel_Registers(bank);
    const Span rows = Inclusive_Span(y0, y1);
    for (int row = 0; row < rows.count; ++row) {
        const int y = rows.first + row;
        if (Stop_Before_Step()) return false;
        if (!Write_Solid_Row(r, IncrementWrite::Keep_Other_Bits, Command_Write_Quad, x0, x1, y, a,
                             b, c, d) ||
            !Paint_Horiz_Run(canvas, x0, x1, y, a, b, c, d)) {
            return false;
        }
    }
    return true;
}

bool Write_Solid_Rect_Multi(std::uint8_t mask, Canvas* canvas, int x0, int y0, int x1, int y1,
                            int a, int b, int c, int d) {
    const Span rows = Inclusive_Span(y0, y1);
    for (int row = 0; row < rows.count; ++row) {
        const int y = rows.first + row;
        if (Stop_Before_Step()) return false;
        if (!Write_Solid_Row(Multi_Registers, IncrementWrite::Whole, mask, x0, x1, y, a, b, c, d)) {
            return false;
        }
        // The channel pictures that mirror the memory this row was written to.
        for (int channel = 0; channel < Channel_Count; ++channel) {
            Canvas* picture = (mask >> channel & 1) ? Channel_Picture(channel) : nullptr;
            if (picture && !Paint_Horiz_Run(picture, x0, x1, y, a, b, c, d)) return false;
        }
        if (!Paint_Horiz_Run(canvas, x0, x1, y, a, b, c, d)) return false;
    }
    return true;
}

bool Upload_Picture(std::uint8_t bank, Canvas* canvas, int x0, int y0, int x1, int y1) {
    if (!canvas) return true;
    const BankRegisters r = Channel_Registers(bank);
    Set_Increment(r, Direction::Horizontal, IncrementWrite::Keep_Other_Bits);
    return For_Region(r, x0, y0, x1, y1, [&](int x, int y) {
        const QuadLevels p = Pick_Quad(canvas, x, y);
        Write_Quad(bank, x, y, p[0], p[1], p[2], p[3]);
    });
}

bool Upload_Picture_Multi(std::uint8_t mask, Canvas* canvas, int x0, int y0, int x1, int y1) {
    if (mask == 0 || !canvas) return true;
    Set_Increment(Multi_Registers, Direction::Horizontal, IncrementWrite::Keep_Other_Bits);
    return For_Region(Multi_Registers, x0, y0, x1, y1, [&](int x, int y) {
        const QuadLevels p = Pick_Quad(canvas, x, y);
        Write_Quad_Multi(mask, x, y, p[0], p[1], p[2], p[3]);
    });
}

bool Read_Back_Picture(Canvas* canvas, std::uint8_t bank, int x0, int y0, int x1, int y1,
                       const std::function<void()>& refresh) {
    const BankRegisters r = Channel_Registers(bank);
    Set_Increment(r, Direction::Horizontal, IncrementWrite::Keep_Other_Bits);
    return For_Region(r, x0, y0, x1, y1, [&](int x, int y) {
        const QuadLevels p = Read_Quad(bank, x, y);
        Paint_Quad(canvas, x, y, p[0], p[1], p[2], p[3]);
        if (refresh) refresh();
    });
}
