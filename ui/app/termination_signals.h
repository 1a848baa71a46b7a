// SIGTERM and SIGINT (logout, shutdown, Ctrl+C in the terminal) end the program as its close
// does, but without the close question: nobody may be there to answer it. The signal handler
// only writes a byte to a pipe (the self-pipe trick); the event loop reads it and asks the
// application to end, so everything else happens on the GUI thread as usual.
#pragma once

class QSocketNotifier;

class TerminationSignals {
public:
    // Installs the handlers; Quit_On_Signal runs on the GUI thread once a signal has come.
    TerminationSignals();
    // Puts the previous handlers back.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // True once a signal has been received (and the quit asked for).
    bool Received() const { return received_; }

private:
    void Take_Signal();

    QSocketNotifier* notifier_ = nullptr;
    bool received_ = false;
};

// What a termination signal does to the running program: the quit request that long
// register loops check at their next step, and the end of every event loop, the modal
// boxes' included.
void Quit_On_Signal();
