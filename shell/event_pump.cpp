// The event pump the long register loops call between steps.
#include "shell/event_pump.h"

#include <utility>

namespace {

std::function<void()> event_processor;
bool quit_requested = false;

}  // namespace

bool Process_Pending_Events() {
    if (event_processor) event_processor();
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

void Install_Event_Processor(std::function<void()> process) {
    event_processor = std::move(process);
}
