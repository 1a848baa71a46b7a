// `osdex monitor CH FILE.png [--source bars|ramp|black|FILE]`: one frame of what a monitor on
// channel CH of the simulated board shows, the overlay over the channel's video, as a
// 712 x 512 PNG. Only the simulated board's video can be seen; a real board's is on its
// monitor.
#pragma once

#include <string>

// source: "" or "bars" (colour bars), "ramp", "black", or a picture file (any format the
// windows load) for the camera's picture. A bad source or an output that cannot be written
// is refused before the port is opened.
int Run_Monitor(int channel, const std::string& path, const std::string& source);
