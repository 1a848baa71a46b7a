// The program's start-up sequence and its end.
#include "ui/app/application.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "chip/register_bus.h"
#include "port/window/port_window.h"
#include "shell/dialogs.h"
#include "shell/memory_status.h"
#include "shell/module_steps.h"
#include "shell/services.h"
#include "ui/app/forms.h"
#include "ui/crosspoint/crosspoint_window.h"
#include "ui/main_window/main_window.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_event_pump.h"
#include "ui/text_dialog/text_dialog.h"
#include "vanlpt/vanlpt.h"

namespace {

bool Has_Text(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// The standard error display: one box with the error's text, no retry.
void Show_Error(const std::exception& error) {
    Show_Message(Application_Title, error.what(), MsgIcon::Stop);
}

}  // namespace

std::optional<std::string> Missing_Display_Message() {
    // An explicitly chosen platform plugin (offscreen, vnc …) needs no display server.
    if (Has_Text("QT_QPA_PLATFORM")) return std::nullopt;
    if (Has_Text("DISPLAY") || Has_Text("WAYLAND_DISPLAY")) return std::nullopt;
    return std::string(Application_Title) +
           ": no display to show the windows on (neither DISPLAY nor WAYLAND_DISPLAY is set). "
           "Start it from a desktop session, or under xvfb-run.";
}

void Show_Memory_Report() {
    Take_Start_Memory_Snapshot();
    Show_Message(Memory_Report_Caption, Memory_Report_Text(Start_Memory_Snapshot()));
}

void Create_Application_Windows() {
    OsdexForm = new TOsdexForm();
    Set_Main_Window_Widget(OsdexForm);
    XelorForm = new TXelorForm();
    Set_Crosspoint_Window_Widget(XelorForm);
    LptConForm = new TLptConForm();
    CGForm = new TCGForm();
}

int Run_Application(int argc, char** argv) {
    if (auto problem = Missing_Display_Message()) {
        std::cerr << *problem << '\n';
        return 1;
    }
    Set_Module_Work(Module::Drawing, {Drawing_Module_Start, Drawing_Module_End});
    Run_Module_Start_Steps();

    {
        QApplication app(argc, argv);
        // The main window decides when the program ends, not the last window closed.
        app.setQuitOnLastWindowClosed(false);
        QtDialogs dialogs;
        Program_Services().dialogs = &dialogs;
        Install_Qt_Event_Pump(app);

        Show_Memory_Report();
        QApplication::setApplicationName(Application_Title);
        try {
            Create_Application_Windows();
            OsdexForm->show();
            app.exec();
        } catch (const std::exception& error) {
            Show_Error(error);
        }
        Destroy_All_Windows();
        Remove_Qt_Event_Pump();
        Program_Services().dialogs = nullptr;
    }
    Run_Module_End_Steps();
    Vanlpt_Shutdown();  // a board kept in a state file goes back to it
    return 0;
}
