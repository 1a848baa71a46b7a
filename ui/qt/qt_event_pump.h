// Wires the shell's event pump to the running Qt application: long register loops process
// pending window events through it, and learn when the application is asked to end.
#pragma once

class QCoreApplication;

// Installs QCoreApplication::processEvents as the event processor and marks the quit request
// when the application is about to quit.
void Install_Qt_Event_Pump(QCoreApplication& app);
// Restores the shell's no-op processor (at the end of the run, before the application goes).
void Remove_Qt_Event_Pump();
