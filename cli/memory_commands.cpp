#include "cli/memory_commands.h"

#include <QImage>

#include "chip/board_session.h"
#include "chip/board_snapshot.h"
#include "chip/canvas.h"
#include "chip/display_memory.h"
#include "chip/drawing_primitives.h"
#include "chip/luma.h"
#include "chip/picture_decoding.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "cli/command_output.h"
#include "cli/exit_status.h"
#include "shell/whole_file.h"
#include "vanlpt/vanlpt.h"

namespace {

int Bus_Failed() {
    return Failed(std::string("the register bus failed: ") + Vanlpt_Last_Error(),
                  Exit_Board_Failed);
}

// Quad pixel p (0 leftmost) of a quad as QPH << 8 | QPL holds it.
int Quad_Pixel(std::uint16_t quad, int p) {
    return (quad >> (12 - 4 * p)) & 15;
}

QImage Channel_Image(const vanlpt::BoardState& state, int channel) {
    QRgb colour[16];
    for (int level = 0; level < 16; ++level) colour[level] = To_QRgb(OSD_To_Color(level));
    QImage image(Canvas::Picture_Width, Canvas::Picture_Height, QImage::Format_RGB32);
    for (int line = 0; line < vanlpt::kStateLines; ++line) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(line));
        for (int q = 0; q < vanlpt::kStateQuadsPerLine; ++q)
            for (int p = 0; p < 4; ++p)
                row[4 * q + p] = colour[Quad_Pixel(state.Quad(channel, line, q), p)];
    }
    return image;
}

}  // namespace

int Run_Memory_Save(int channel, const std::string& path) {
    if (auto cause = Check_Whole_File_Writable(path))
        return Failed("cannot write " + path + ": " + *cause, Exit_Bad_Usage);
    if (auto failed = Open_Board()) return Failed(*failed);
    vanlpt::BoardState state;
    if (!Read_Channel_Snapshot(channel, &state)) return Bus_Failed();
    if (auto cause = Write_Png_File(path, Channel_Image(state, channel)))
        return Failed("cannot write " + path + ": " + *cause, Exit_Board_Failed);
    return Exit_Ok;
}

int Run_Memory_Load(int channel, const std::string& path) {
    const PictureLoadResult loaded = Load_Picture_File(path);
    if (loaded.image.isNull()) return Failed(loaded.error + " Nothing was sent.", Exit_Bad_Usage);
    if (auto failed = Open_Board()) return Failed(*failed);
    Canvas picture;
    // The whole of a channel, so that what `memory save` wrote loads back exactly.
    const QSize drawn =
        Draw_Loaded_Picture(picture, loaded.image, {Canvas::Picture_Width, Canvas::Picture_Height});
    const std::int32_t failures = num_busy_timeout_errors;
    Cache_Enabled = 1;  // repeated quad data need not be sent again
    Begin_Register_Batch();
    Upload_Picture(Channel_Bank(channel), &picture, 0, 0, drawn.width() - 1, drawn.height() - 1);
    End_Register_Batch();
    Cache_Enabled = 0;
    return num_busy_timeout_errors == failures ? Exit_Ok : Bus_Failed();
}

int Run_Memory_Erase(std::uint8_t mask, int level) {
    if (auto failed = Open_Board()) return Failed(*failed);
    const std::int32_t failures = num_busy_timeout_errors;
    Cache_Enabled = 1;
    Begin_Register_Batch();
    Write_Solid_Rect_Multi(mask, nullptr, 0, 0, Canvas::Picture_Width - 1,
                           Canvas::Picture_Height - 1, level, level, level, level);
    End_Register_Batch();
    Cache_Enabled = 0;
    return num_busy_timeout_errors == failures ? Exit_Ok : Bus_Failed();
}
