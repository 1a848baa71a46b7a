// How `osdex` ends when it is told to: SIGTERM and SIGINT stop the work at the next register
// transaction (the long loops see the quit request), after which the board is saved and the
// process exits with 128 + the signal. SIGPIPE is ignored, so that a reader that goes away
// (osdex ... | head -1) is an output error that ends the run normally, board saved.
#pragma once

void Install_Stop_Signals();
// The signal that asked the run to stop; 0 when none did.
int Stop_Signal();
// The signal that asked the run to stop, taken: afterwards the run counts as not stopped
// (a server's normal end is a stop).
int Take_Stop_Signal();
