// Termination signals through a self-pipe: the handler does nothing but write(2), which is
// async-signal-safe; a QSocketNotifier on the reading end brings the signal to the event loop.
#include "ui/app/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#include "shell/event_pump.h"

namespace {

int signal_pipe[2] = {-1, -1};
struct sigaction previous_term {};
struct sigaction previous_int {};

void On_Termination_Signal(int signal_number) {
    const int saved_errno = errno;
    const char byte = static_cast<char>(signal_number);
    (void)!::write(signal_pipe[1], &byte, 1);  // a full pipe already holds a signal
    errno = saved_errno;
}

void Catch(int signal_number, struct sigaction* previous) {
    struct sigaction action {};
    action.sa_handler = On_Termination_Signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal_number, &action, previous);
}

void Drain(int fd) {
    char bytes[64];
    while (::read(fd, bytes, sizeof bytes) > 0) {
    }
}

}  // namespace

void Quit_On_Signal() {
    Request_Quit();
    QCoreApplication::exit(0);
}

TerminationSignals::TerminationSignals() {
    if (::pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;  // signals keep their default
    notifier_ = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_, &QSocketNotifier::activated, [this] { Take_Signal(); });
    Catch(SIGTERM, &previous_term);
    Catch(SIGINT, &previous_int);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_) return;
    ::sigaction(SIGTERM, &previous_term, nullptr);
    ::sigaction(SIGINT, &previous_int, nullptr);
    delete notifier_;
    ::close(signal_pipe[0]);
    ::close(signal_pipe[1]);
    signal_pipe[0] = signal_pipe[1] = -1;
}

void TerminationSignals::Take_Signal() {
    Drain(signal_pipe[0]);
    received_ = true;
    Quit_On_Signal();
}
