#include "cli/memory_commands.h"

#include <QImage>
#include <vector>

#include "chip/board_session.h"
#include "chip/canvas.h"
#include "chip/channel_memory.h"
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

QImage Channel_Image(const std::vector<std::uint8_t>& levels) {
    QRgb colour[16];
    for (int level = 0; level < 16; ++level) colour[level] = To_QRgb(OSD_To_Color(level));
    QImage image(Canvas::Picture_Width, Canvas::Picture_Height, QImage::Format_RGB32);
    for (int line = 0; line < Canvas::Picture_Height; ++line) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(line));
        const std::uint8_t* level = &levels[static_cast<std::size_t>(line) * Canvas::Picture_Width];
        for (int x = 0; x < Canvas::Picture_Width; ++x) row[x] = colour[level[x]];
    }
    return image;
}

}  // namespace

int Run_Memory_Save(int channel, const std::string& path) {
    if (auto cause = Check_Whole_File_Writable(path))
        return Failed("cannot write " + path + ": " + *cause, Exit_Bad_Usage);
    if (auto failed = Open_Board()) return Failed(*failed);
    std::vector<std::uint8_t> levels(Channel_Levels);
    if (auto failed = Read_Channel_Levels(channel, levels))
        return Failed(*failed, Exit_Board_Failed);
    if (auto cause = Write_Png_File(path, Channel_Image(levels)))
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
    const bool sent = Write_Cached_Batch([&] {
        Upload_Picture(Channel_Bank(channel), &picture, 0, 0, drawn.width() - 1,
                       drawn.height() - 1);
    });
    return sent ? Exit_Ok : Bus_Failed();
}

int Run_Memory_Erase(std::uint8_t mask, int level) {
    if (auto failed = Open_Board()) return Failed(*failed);
    if (auto failed = Erase_Channels(mask, level)) return Failed(*failed, Exit_Board_Failed);
    return Exit_Ok;
}
