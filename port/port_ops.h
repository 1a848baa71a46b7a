// The port layer's operations on the selected port (module Lptconfm): the millisecond
// busy wait and the six operations the executable exports under their own names.
#pragma once

#include <string>

// Busy-waits until the clock has moved on by at least ms since the call; never yields to
// the event loop. A wrap of the clock does not lengthen the wait.
void Delay_ms(unsigned ms);

// The text of the once-per-run warning shown when a port operation runs before the hunt.
inline constexpr const char* Developer_Warning_Text =
    "Warning to developer: HuntForLoopback has not been called yet,\nso program is not "
    "controlling the right port.\nCheck main form's OnCreate event.";

extern "C" {

// Switches ECP byte mode on and the loopback settle time to 500 ms, then writes 0x30 to the
// extended control register(s) of LPT1 or LPT2. Always true.
bool Can_Disable_LPT_Data_Output();
void Disable_LPT_Data_Output();  // data pins 2..9 float
void Enable_LPT_Data_Output();   // data pins 2..9 drive
// The data register, or 0 when no port is selected (the library is not touched then).
unsigned char DirectReadPrinterData();
void DirectWritePrinterData(unsigned char v);
void DirectWritePrinterControl(unsigned char v);

}  // extern "C"

// Writes 0x30 to the extended control register(s) enabled in Port_State when ECP byte mode
// is on and LPT1 or LPT2 is selected (shared by port selection and the call above).
void Set_ECP_Byte_Mode_Registers();
