// The event pump the long register loops call between steps.
#include "shell/event_pump.h"

#include "shell/services.h"

namespace {

bool quit_requested = false;

}  // namespace

bool Process_Pending_Events() {
    if (const auto& process = Program_Services().process_events) process();
    return quit_requested;
}

bool Quit_Requested() {
    return quit_requested;
}

void Request_Quit() {
    quit_requested = true;
}

void Clear_Quit_Request() {
    quit_requested = false;
}
