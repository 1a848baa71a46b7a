#include "chip/channel_pictures.h"

#include "chip/register_map.h"

namespace {
Canvas* channel_pictures[Channel_Count] = {};
bool Valid_Channel(int channel) {
    return channel >= 0 && channel < Channel_Count;
}
}  // namespace

void Set_Channel_Picture(int channel, Canvas* picture) {
    if (Valid_Channel(channel)) channel_pictures[channel] = picture;
}

Canvas* Channel_Picture(int channel) {
    return Valid_Channel(channel) ? channel_pictures[channel] : nullptr;
}
