// The program's window instances, each declared beside its window, and their end. The
// application owns them all for the whole run; each variable is empty until its window is
// created.
#pragma once

#include "port/window/port_window.h"            // LptConForm
#include "ui/channel_window/channel_windows.h"  // OsdexFormCH, OsdexFormCH0..7
#include "ui/crosspoint/crosspoint_window.h"    // XelorForm
#include "ui/main_window/main_window.h"         // OsdexForm
#include "ui/monitor/monitor_window.h"          // MonitorForm
#include "ui/text_dialog/text_dialog.h"         // CGForm
#include "ui/widgets/window_navigation.h"

// Destroys every window the application owns, channel windows first, and empties the
// variables (at the end of the run).
void Destroy_All_Windows();
