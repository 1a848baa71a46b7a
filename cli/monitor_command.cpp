#include "cli/monitor_command.h"

#include <QImage>
#include <cstdint>
#include <iostream>
#include <vector>

#include "chip/board_session.h"
#include "chip/picture_decoding.h"
#include "cli/command_output.h"
#include "cli/exit_status.h"
#include "shell/whole_file.h"
#include "vanlpt/vanlpt.h"

namespace {

struct VideoSourceChoice {
    int kind = VANLPT_VIDEO_BARS;
    std::vector<std::uint32_t> picture;  // 0xAARRGGBB, for VANLPT_VIDEO_PICTURE
    int width = 0;
    int height = 0;
};

VideoSourceChoice Picture_Source(const QImage& loaded) {
    const QImage image = loaded.convertToFormat(QImage::Format_ARGB32);
    VideoSourceChoice source{VANLPT_VIDEO_PICTURE, {}, image.width(), image.height()};
    source.picture.reserve(static_cast<std::size_t>(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        source.picture.insert(source.picture.end(), row, row + image.width());
    }
    return source;
}

// The words name the built-in sources; anything else is a picture file (./bars for a file
// of that name). False with *error when the file cannot be loaded.
bool Resolve_Source(const std::string& text, VideoSourceChoice* source, std::string* error) {
    if (text.empty() || text == "bars") return true;
    if (text == "ramp" || text == "black") {
        source->kind = text == "ramp" ? VANLPT_VIDEO_RAMP : VANLPT_VIDEO_BLACK;
        return true;
    }
    const PictureLoadResult loaded = Load_Picture_File(text);
    if (loaded.image.isNull()) {
        *error = loaded.error;
        return false;
    }
    *source = Picture_Source(loaded.image);
    return true;
}

bool Show_Source(int channel, const VideoSourceChoice& source) {
    return Vanlpt_Set_Video_Source(channel, source.kind,
                                   source.picture.empty() ? nullptr : source.picture.data(),
                                   source.width, source.height) != 0;
}

}  // namespace

int Run_Monitor(int channel, const std::string& path, const std::string& source_text) {
    VideoSourceChoice source;
    std::string error;
    if (!Resolve_Source(source_text, &source, &error)) return Failed(error, Exit_Bad_Usage);
    if (auto cause = Check_Whole_File_Writable(path))
        return Failed("cannot write " + path + ": " + *cause, Exit_Bad_Usage);
    if (auto failed = Open_Board()) return Failed(*failed);
    std::vector<std::uint32_t> frame(VANLPT_FRAME_WIDTH * VANLPT_FRAME_HEIGHT);
    if (!Show_Source(channel, source) ||
        Vanlpt_Channel_Frame(channel, 0, frame.data(), nullptr) == 0)
        return Failed(Vanlpt_Last_Error(), Exit_Board_Failed);
    // The frame's 0xFFRRGGBB words are the picture's RGB32 pixels as they lie in memory.
    const QImage picture(reinterpret_cast<const uchar*>(frame.data()), VANLPT_FRAME_WIDTH,
                         VANLPT_FRAME_HEIGHT, QImage::Format_RGB32);
    if (auto cause = Write_Png_File(path, picture))
        return Failed("cannot write " + path + ": " + *cause, Exit_Board_Failed);
    return Exit_Ok;
}
