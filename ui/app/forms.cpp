// The end of the program's windows.
#include "ui/app/forms.h"

template <typename T>
static void Destroy(T*& window) {
    delete window;
    window = nullptr;
}

void Destroy_All_Windows() {
    Destroy_Monitor_Window();
    Destroy_Channel_Windows();
    Destroy(CGForm);
    Destroy(LptConForm);
    Set_Crosspoint_Window_Widget(nullptr);
    Destroy(XelorForm);
    Set_Main_Window_Widget(nullptr);
    Destroy(OsdexForm);
}
