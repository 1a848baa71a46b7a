// Everything the program takes from its surroundings and a test or the windows replace, in
// one record: the dialogs, the clock (with the date and time it shows), the program launcher,
// the event processor, the process exit, the diagnostic window's side of the activity log
// and the operating-system family. An empty member means the system's own. Tests install a
// whole record for their time with ScopedServices, so no test leaves a service behind.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "shell/platform.h"

class ActivityLogView;
class Clock;
class Dialogs;
class ProgramLauncher;

// Ends the process at once; must not return normally.
using ProcessExitFunction = void (*)(int code);

struct Services {
    Dialogs* dialogs = nullptr;                    // the console's dialogs
    Clock* clock = nullptr;                        // the system clock
    ProgramLauncher* launcher = nullptr;           // the system launcher
    std::function<void()> process_events;          // no events to process
    ProcessExitFunction process_exit = nullptr;    // _Exit: nothing flushed, nothing written
    ActivityLogView* activity_log_view = nullptr;  // no diagnostic window
    std::optional<OsFamily> os_family;             // the real family
};

// The record in use. The windows fill in what they supply; the caller keeps ownership of
// every object it puts there.
Services& Program_Services();

// Installs a record for its lifetime and puts the previous one back afterwards.
class ScopedServices {
public:
    explicit ScopedServices(Services services = {})
        : saved_(std::exchange(Program_Services(), std::move(services))) {}
    ~ScopedServices() { Program_Services() = std::move(saved_); }
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    Services saved_;
};

// Ends the process with the installed process exit (the program's start-up gives up this
// way when the user cancels the board check).
[[noreturn]] void End_Process(int code);
