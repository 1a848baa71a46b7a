// The channel windows' pictures as the multi-channel primitives reach them: one slot per
// channel, empty until that channel's window exists. A channel window registers its picture
// when it is built and removes it (nullptr) when it is destroyed.
#pragma once

class Canvas;

void Set_Channel_Picture(int channel, Canvas* picture);
// The picture of channel 0..7, or nullptr (also for a channel number out of range).
Canvas* Channel_Picture(int channel);
