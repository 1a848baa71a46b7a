// Event pump on Qt.
#include "ui/qt/qt_event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "shell/event_pump.h"
#include "shell/services.h"

void Install_Qt_Event_Pump(QCoreApplication& app) {
    Program_Services().process_events = [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    };
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { Request_Quit(); });
}

void Remove_Qt_Event_Pump() {
    Program_Services().process_events = nullptr;
}
