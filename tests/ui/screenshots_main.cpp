// Builds the program's windows on the simulated board, as the program does at start-up, and
// saves a picture of each into the folder given as the only argument.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QWidget>
#include <iostream>

#include "port/window/port_window.h"
#include "shell/dialogs.h"
#include "shell/services.h"
#include "ui/app/application.h"
#include "ui/app/forms.h"
#include "ui/channel_window/channel_window.h"
#include "ui/crosspoint/crosspoint_window.h"
#include "ui/main_window/main_window.h"
#include "ui/monitor/monitor_window.h"
#include "ui/text_dialog/text_dialog.h"
#include "ui/widgets/picture_zoom.h"
#include "vanlpt/vanlpt.h"

namespace {

void Save(QWidget* window, const QDir& folder, const QString& name) {
    window->show();
    window->raise();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    QString path = folder.filePath(name + ".png");
    if (!window->grab().save(path))
        std::cerr << "cannot write " << path.toStdString() << '\n';
    else
        std::cout << path.toStdString() << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: ui_screenshots FOLDER\n";
        return 2;
    }
    QApplication app(argc, argv);
    QDir folder(argv[1]);
    if (!folder.mkpath(".")) {
        std::cerr << "cannot create " << argv[1] << '\n';
        return 1;
    }
    // Message boxes answer with their default button.
    ScriptedDialogs dialogs;
    Program_Services().dialogs = &dialogs;
    Show_Memory_Report();
    Create_Application_Windows();
    OsdexForm->show();

    Save(OsdexForm, folder, "main_window");
    OsdexForm->ToolButtonAdvancedFeatures->click();
    OsdexForm->resize(1060, 800);
    Save(OsdexForm, folder, "main_window_low_level");
    Save(OsdexFormCH0, folder, "channel_window");
    OsdexFormCH0->ToolButtonAdvancedFeatures->click();
    OsdexFormCH0->resize(1020, 640);
    Save(OsdexFormCH0, folder, "channel_window_registers");
    Save(XelorForm, folder, "crosspoint_window");
    Save(LptConForm, folder, "port_window");
    Save(CGForm, folder, "text_dialog");

    // The monitor after the test pattern, with channel 5 enlarged, a grey ramp behind
    // channel 6 and channel 7 without sync.
    OsdexForm->menuDiagnosticTestPattern1Click();
    Show_Monitor_Window();
    MonitorForm->ComboSource[6]->setCurrentIndex(VANLPT_VIDEO_RAMP);
    emit MonitorForm->ComboSource[6]->activated(VANLPT_VIDEO_RAMP);
    MonitorForm->CheckLossOfSync[7]->click();
    MonitorForm->Enlarge_Channel(5);
    MonitorForm->resize(1180, 860);
    for (int n = 0; n < 8; ++n) MonitorForm->Refresh_Frames();
    Save(MonitorForm, folder, "video_monitor");
    Vanlpt_Clear_Simulated_Faults();

    // Channel window 0 at 4x with the quad grid, on its label of the test pattern (its
    // register pane closed again).
    OsdexFormCH0->ToolButtonAdvancedFeatures->click();
    OsdexFormCH0->resize(760, 560);
    OsdexFormCH0->Zoom->QuadGrid->setChecked(true);
    OsdexFormCH0->Zoom->Set_Zoom(4);
    OsdexFormCH0->ScrollBoxImage->horizontalScrollBar()->setValue(4 * 180);
    OsdexFormCH0->ScrollBoxImage->verticalScrollBar()->setValue(4 * 205);
    Save(OsdexFormCH0, folder, "zoom_grid");

    Destroy_All_Windows();
    Program_Services().dialogs = nullptr;
    return 0;
}
