// Port selection and the search for the evaluation board by its loopback (pin 9 tied to
// pin 10 on the board).
#pragma once

#include "shell/dialogs.h"

// Selects LPTn (1..3) through the library and records it in Port_State.Selected_Port
// (0 when the library refuses); sets ECP byte mode on LPT1/LPT2 when enabled. Returns the
// library's result. Numbers outside 1..3 select nothing and return 0.
int Select_LPT_Port(int n);

// True when inPin follows both changes of outPin on the selected port. outPin is left at
// the level it had. Fails without touching a pin when no port is selected, or when outPin
// is a data pin (2..9) while the data pins float.
bool Test_Loopback(int outPin, int inPin);

// Tries LPT1 (with data 0 and control 4), then, outside the NT family, LPT2 and LPT3; true
// when a port with the loopback is found and selected.
bool HuntForLoopback(int outPin, int inPin);

// Asks the library what keeps any mapped port from working (a real port that cannot be
// claimed and the simulated board standing in, a mapped port that fails) and shows it in one
// warning box with the application title; shows nothing when every port works. Run before
// the hunt, so that nobody draws into a simulation believing it is the board.
void Report_Port_Problems();

enum class HuntOutcome { Found, Ignored, Aborted };

// Hunts until the board is found or the user gives up: every failure shows the given
// Abort / Retry / Ignore box; Retry hunts again. On Aborted the caller ends the program.
HuntOutcome Hunt_Until_Found(int outPin, int inPin, const MessageBoxRequest& on_failure);

// The failure box of the diagnostic window's search button.
MessageBoxRequest Interactive_Hunt_Failure_Box();

// The diagnostic window's search: Hunt_Until_Found with Port_State's loopback pins and the
// box above.
HuntOutcome Interactive_Hunt();
