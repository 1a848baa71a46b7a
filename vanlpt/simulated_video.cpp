#include "vanlpt/simulated_video.h"

#include <algorithm>

#include "vanlpt/vanlpt.h"

namespace vanlpt {
namespace {

static_assert(VANLPT_FRAME_WIDTH == board::kFrameWidth &&
              VANLPT_FRAME_HEIGHT == board::kFrameHeight);

bool Channel_Ok(int channel) {
    return channel >= 0 && channel < board::kChannels;
}

std::string Bad_Channel(int channel) {
    return "there is no channel " + std::to_string(channel) + ": the channels are 0 to 7";
}

std::string Check_Picture(const std::uint32_t* picture, int width, int height) {
    if (picture == nullptr) return "a picture source needs its pixels";
    if (width <= 0 || height <= 0)
        return "a picture of " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels has none to show";
    if (std::int64_t{width} * height > board::kMaxSourcePixels)
        return "a picture of " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels is larger than the 2^26 pixels a video source may have";
    return "";
}

}  // namespace

std::string Fetch_Channel_Frame(board::SimulatedBoard& model, int channel, unsigned frame_number,
                                std::uint32_t* pixels, int* changed) {
    if (!Channel_Ok(channel)) return Bad_Channel(channel);
    if (pixels == nullptr) return "no pixels to put the frame into";
    const int rows = model.Render_Video(channel, frame_number);
    const auto frame = model.Video().Frame(channel);
    std::copy(frame.begin(), frame.end(), pixels);
    if (changed) *changed = rows > 0 ? 1 : 0;
    return "";
}

std::string Set_Video_Source(board::SimulatedBoard& model, int channel, int source,
                             const std::uint32_t* picture, int width, int height) {
    if (!Channel_Ok(channel)) return Bad_Channel(channel);
    board::VideoOutput& video = model.Video();
    switch (source) {
        case VANLPT_VIDEO_BARS:
            video.Set_Source(channel, board::VideoSource::ColourBars);
            return "";
        case VANLPT_VIDEO_RAMP:
            video.Set_Source(channel, board::VideoSource::GreyRamp);
            return "";
        case VANLPT_VIDEO_BLACK:
            video.Set_Source(channel, board::VideoSource::Black);
            return "";
        case VANLPT_VIDEO_MOVING:
            video.Set_Source(channel, board::VideoSource::MovingPattern);
            return "";
        case VANLPT_VIDEO_PICTURE:
            if (std::string bad = Check_Picture(picture, width, height); !bad.empty()) return bad;
            video.Set_Picture(
                channel,
                {picture, static_cast<std::size_t>(width) * static_cast<std::size_t>(height)},
                width, height);
            return "";
        default:
            return "there is no video source " + std::to_string(source) +
                   ": the sources are 0 (bars) to 4 (picture)";
    }
}

int Video_Source_Of(const board::SimulatedBoard& model, int channel) {
    if (!Channel_Ok(channel)) return -1;
    switch (model.Video().Source(channel)) {
        case board::VideoSource::ColourBars:
            return VANLPT_VIDEO_BARS;
        case board::VideoSource::GreyRamp:
            return VANLPT_VIDEO_RAMP;
        case board::VideoSource::Black:
            return VANLPT_VIDEO_BLACK;
        case board::VideoSource::MovingPattern:
            return VANLPT_VIDEO_MOVING;
        case board::VideoSource::Picture:
            return VANLPT_VIDEO_PICTURE;
    }
    return -1;
}

}  // namespace vanlpt
