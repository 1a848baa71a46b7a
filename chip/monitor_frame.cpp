#include "chip/monitor_frame.h"

#include <QImage>

#include "chip/picture_decoding.h"
#include "vanlpt/vanlpt.h"

static_assert(Monitor_Frame_Pixels ==
              static_cast<std::size_t>(VANLPT_FRAME_WIDTH) * VANLPT_FRAME_HEIGHT);

namespace {

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

}  // namespace

std::optional<std::string> Resolve_Video_Source(const std::string& text,
                                                VideoSourceChoice* source) {
    *source = {VANLPT_VIDEO_BARS, {}, 0, 0};
    if (text.empty() || text == "bars") return std::nullopt;
    if (text == "ramp" || text == "black") {
        source->kind = text == "ramp" ? VANLPT_VIDEO_RAMP : VANLPT_VIDEO_BLACK;
        return std::nullopt;
    }
    const PictureLoadResult loaded = Load_Picture_File(text);
    if (loaded.image.isNull()) return loaded.error;
    *source = Picture_Source(loaded.image);
    return std::nullopt;
}

std::optional<std::string> Show_Video_Source(int channel, const VideoSourceChoice& source) {
    if (Vanlpt_Set_Video_Source(channel, source.kind,
                                source.picture.empty() ? nullptr : source.picture.data(),
                                source.width, source.height) == 0)
        return std::string(Vanlpt_Last_Error());
    return std::nullopt;
}

std::optional<std::string> Monitor_Frame(int channel, std::uint32_t* pixels) {
    if (Vanlpt_Channel_Frame(channel, 0, pixels, nullptr) == 0)
        return std::string(Vanlpt_Last_Error());
    return std::nullopt;
}
