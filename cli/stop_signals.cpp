#include "cli/stop_signals.h"

#include <csignal>

#include "shell/event_pump.h"

namespace {

volatile std::sig_atomic_t stop_signal = 0;

void On_Stop_Signal(int signal) {
    stop_signal = signal;
    Request_Quit();  // only sets a flag: safe in a signal handler
}

}  // namespace

void Install_Stop_Signals() {
    struct sigaction action {};
    action.sa_handler = On_Stop_Signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int Stop_Signal() {
    return stop_signal;
}

int Take_Stop_Signal() {
    const int signal = stop_signal;
    stop_signal = 0;
    return signal;
}
