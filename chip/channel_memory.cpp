#include "chip/channel_memory.h"

#include "chip/board_snapshot.h"
#include "chip/canvas.h"
#include "chip/drawing_primitives.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "vanlpt/board_state.h"
#include "vanlpt/vanlpt.h"

namespace {

constexpr int Line_Pixels = vanlpt::kStateQuadsPerLine * 4;
static_assert(Channel_Levels == static_cast<std::size_t>(vanlpt::kStateLines) * Line_Pixels);

std::string Bus_Failed() {
    return std::string("the register bus failed: ") + Vanlpt_Last_Error();
}

// The quad as a board state holds it: QPH << 8 | QPL.
std::uint16_t Quad_Of(const std::uint8_t* pixels) {
    return static_cast<std::uint16_t>(Quad_Byte(pixels[0], pixels[1]) << 8 |
                                      Quad_Byte(pixels[2], pixels[3]));
}

}  // namespace

std::optional<std::string> Read_Channel_Levels(int channel, std::span<std::uint8_t> levels) {
    vanlpt::BoardState state;
    if (!Read_Channel_Snapshot(channel, &state)) return Bus_Failed();
    for (int line = 0; line < vanlpt::kStateLines; ++line)
        for (int q = 0; q < vanlpt::kStateQuadsPerLine; ++q) {
            const std::uint16_t quad = state.Quad(channel, line, q);
            for (int p = 0; p < 4; ++p)
                levels[static_cast<std::size_t>(line) * Line_Pixels + 4 * q + p] =
                    static_cast<std::uint8_t>(Quad_Pixel(static_cast<std::uint8_t>(quad >> 8),
                                                         static_cast<std::uint8_t>(quad), p));
        }
    return std::nullopt;
}

std::optional<std::string> Write_Channel_Levels(int channel, std::span<const std::uint8_t> levels) {
    vanlpt::BoardState state;
    for (int line = 0; line < vanlpt::kStateLines; ++line)
        for (int q = 0; q < vanlpt::kStateQuadsPerLine; ++q)
            state.Quad(channel, line, q) =
                Quad_Of(&levels[static_cast<std::size_t>(line) * Line_Pixels + 4 * q]);
    if (!Write_Cached_Batch([&] { Write_Channel_Snapshot(channel, state); })) return Bus_Failed();
    return std::nullopt;
}

std::optional<std::string> Erase_Channels(std::uint8_t mask, int level) {
    const bool sent = Write_Cached_Batch([&] {
        Write_Solid_Rect_Multi(mask, nullptr, 0, 0, Canvas::Picture_Width - 1,
                               Canvas::Picture_Height - 1, level, level, level, level);
    });
    if (!sent) return Bus_Failed();
    return std::nullopt;
}
