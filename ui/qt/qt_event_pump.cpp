// Event pump on Qt.
#include "ui/qt/qt_event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "shell/event_pump.h"

void Install_Qt_Event_Pump(QCoreApplication& app) {
    Install_Event_Processor([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { Request_Quit(); });
}

void Remove_Qt_Event_Pump() {
    Install_Event_Processor({});
}
