#include "board/video_changes.h"

namespace board {

bool ChannelChanges::Any() const {
    if (whole) return true;
    for (std::uint64_t word : lines)
        if (word != 0) return true;
    return false;
}

void VideoChanges::Mark_All() {
    for (ChannelChanges& c : channels_) c.whole = true;
}

ChannelChanges VideoChanges::Take(int channel) {
    ChannelChanges taken = channels_[channel];
    channels_[channel] = {};
    return taken;
}

}  // namespace board
