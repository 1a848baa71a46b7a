// The channel window instances.
#include "ui/channel_window/channel_windows.h"

#include "chip/channel_pictures.h"
#include "ui/channel_window/channel_window.h"
#include "ui/widgets/window_navigation.h"

std::array<TOsdexFormCH0*, 8> OsdexFormCH{};

TOsdexFormCH0* Create_Channel_Window(int n) {
    TOsdexFormCH0*& slot = OsdexFormCH.at(n);
    if (!slot) {
        slot = new TOsdexFormCH0();
        slot->setWindowTitle(QString("Osdex Channel %1").arg(n));
        slot->RegisterBase = 16 * n;
        // The multi-channel drawing paints this picture too.
        Set_Channel_Picture(n, &slot->Picture);
    }
    return slot;
}

void Show_Channel_Window(int n) {
    Restore_And_Show(Create_Channel_Window(n));
}

void Destroy_Channel_Windows() {
    for (TOsdexFormCH0*& channel : OsdexFormCH) {
        delete channel;
        channel = nullptr;
    }
}
