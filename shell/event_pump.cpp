// The event pump the long register loops call between steps.
#include "shell/event_pump.h"

#include <csignal>

#include "shell/services.h"

namespace {

// Set from signal handlers too (a stop request), hence a sig_atomic_t.
volatile std::sig_atomic_t quit_requested = 0;

}  // namespace

bool Process_Pending_Events() {
    if (const auto& process = Program_Services().process_events) process();
    return quit_requested != 0;
}

bool Quit_Requested() {
    return quit_requested != 0;
}

void Request_Quit() {
    quit_requested = 1;
}

void Clear_Quit_Request() {
    quit_requested = 0;
}
