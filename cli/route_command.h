// `osdex route OUT IN|off [--gain 1|2]`: one single update of the crosspoint (address pins
// 0000), sent by the same code as the crosspoint window's.
#pragma once

// input -1: the output is switched off.
int Run_Route(int output, int input, int gain);
