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
#include "shell/event_pump.h"
#include "shell/memory_status.h"
#include "shell/message_text.h"
#include "shell/module_steps.h"
#include "shell/services.h"
#include "ui/app/forms.h"
#include "ui/app/termination_signals.h"
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

void End_Port_Library(ProgramEnd how, const PortLibraryEnd& library) {
    if (library.shutdown() != 0) return;
    std::string why = library.last_error();
    if (why.empty()) why = "a board kept in a file could not be written back";
    if (how == ProgramEnd::Signal) {
        std::cerr << Application_Title << ": " << Printable_Text(why) << '\n';
        return;
    }
    Show_Message(Application_Title, why, MsgIcon::Warning);
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
        TerminationSignals termination;
        QtDialogs dialogs;
        Program_Services().dialogs = &dialogs;
        Install_Qt_Event_Pump(app);

        Show_Memory_Report();
        QApplication::setApplicationName(Application_Title);
        try {
            Create_Application_Windows();
            OsdexForm->show();
            // A signal during start-up has ended the boxes' loops already; the main loop
            // would not know of it.
            if (!Quit_Requested()) app.exec();
        } catch (const std::exception& error) {
            Show_Error(error);
        }
        Destroy_All_Windows();
        Remove_Qt_Event_Pump();
        Run_Module_End_Steps();
        // A board kept in a state file goes back to it; the application is still there to
        // show why when it cannot.
        End_Port_Library(termination.Received() ? ProgramEnd::Signal : ProgramEnd::Closed);
        Program_Services().dialogs = nullptr;
    }
    return 0;
}
