#include "chip/channel_memory.h"

#include "chip/board_snapshot.h"
#include "chip/canvas.h"
#include "chip/drawing_primitives.h"
#include "chip/register_bus.h"
#include "vanlpt/board_state.h"
#include "vanlpt/vanlpt.h"

namespace {

constexpr int Line_Pixels = vanlpt::kStateQuadsPerLine * 4;
static_assert(Channel_Levels == static_cast<std::size_t>(vanlpt::kStateLines) * Line_Pixels);

std::string Bus_Failed() {
    return std::string("the register bus failed: ") + Vanlpt_Last_Error();
}

// Quad pixel p (0 leftmost) of a quad as QPH << 8 | QPL holds it.
std::uint8_t Quad_Pixel(std::uint16_t quad, int p) {
    return static_cast<std::uint8_t>((quad >> (12 - 4 * p)) & 15);
}

std::uint16_t Quad_Of(const std::uint8_t* pixels) {
    return static_cast<std::uint16_t>(pixels[0] << 12 | pixels[1] << 8 | pixels[2] << 4 |
                                      pixels[3]);
}

// Runs write with the cache on: repeated data and line set-ups need not be sent again.
template <typename Write>
bool With_Cache(Write write) {
    const std::int32_t failures = num_busy_timeout_errors;
    Cache_Enabled = 1;
    Begin_Register_Batch();  // no write needs its answer before the next is sent
    write();
    End_Register_Batch();
    Cache_Enabled = 0;
    return num_busy_timeout_errors == failures;
}

}  // namespace

std::optional<std::string> Read_Channel_Levels(int channel, std::span<std::uint8_t> levels) {
    vanlpt::BoardState state;
    if (!Read_Channel_Snapshot(channel, &state)) return Bus_Failed();
    for (int line = 0; line < vanlpt::kStateLines; ++line)
        for (int q = 0; q < vanlpt::kStateQuadsPerLine; ++q)
            for (int p = 0; p < 4; ++p)
                levels[static_cast<std::size_t>(line) * Line_Pixels + 4 * q + p] =
                    Quad_Pixel(state.Quad(channel, line, q), p);
    return std::nullopt;
}

std::optional<std::string> Write_Channel_Levels(int channel, std::span<const std::uint8_t> levels) {
    vanlpt::BoardState state;
    for (int line = 0; line < vanlpt::kStateLines; ++line)
        for (int q = 0; q < vanlpt::kStateQuadsPerLine; ++q)
            state.Quad(channel, line, q) =
                Quad_Of(&levels[static_cast<std::size_t>(line) * Line_Pixels + 4 * q]);
    if (!With_Cache([&] { Write_Channel_Snapshot(channel, state); })) return Bus_Failed();
    return std::nullopt;
}

std::optional<std::string> Erase_Channels(std::uint8_t mask, int level) {
    const bool sent = With_Cache([&] {
        Write_Solid_Rect_Multi(mask, nullptr, 0, 0, Canvas::Picture_Width - 1,
                               Canvas::Picture_Height - 1, level, level, level, level);
    });
    if (!sent) return Bus_Failed();
    return std::nullopt;
}
