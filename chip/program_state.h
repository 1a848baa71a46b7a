// The program's process-wide state below the windows, back to how a run starts: for tests,
// as the port library's testing reset is for the library. A test fixture calls it after
// resetting the library, so that no test sees what an earlier one left behind.
#pragma once

// The register transactions' options, counters, cache and last access; the batch file
// closed; the see-through colour and the event interval at their defaults; the activity log
// file closed and Port_State at its initial values; no quit requested.
void Reset_Program_State();
