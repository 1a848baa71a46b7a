// Window instances and the navigation between them.
#include "ui/forms.h"

#include "chip/channel_pictures.h"
#include "port/window/port_window.h"
#include "ui/channel_window.h"
#include "ui/crosspoint_window.h"
#include "ui/main_window.h"
#include "ui/text_dialog/text_dialog.h"

TOsdexForm* OsdexForm = nullptr;
TXelorForm* XelorForm = nullptr;
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

void Restore_And_Show(QWidget* window) {
    if (!window) return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void Show_Channel_Window(int n) {
    Restore_And_Show(Create_Channel_Window(n));
}

void Show_Main_Window() {
    Restore_And_Show(OsdexForm);
}
void Show_Crosspoint_Window() {
    Restore_And_Show(XelorForm);
}
void Show_Port_Window() {
    Restore_And_Show(LptConForm);
}

template <typename T>
static void Destroy(T*& window) {
    delete window;
    window = nullptr;
}

void Destroy_All_Windows() {
    for (TOsdexFormCH0*& channel : OsdexFormCH) Destroy(channel);
    Destroy(CGForm);
    Destroy(LptConForm);
    Destroy(XelorForm);
    Destroy(OsdexForm);
}
