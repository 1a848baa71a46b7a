// The eight channel window instances. The application owns them for the whole run; each
// variable is empty until its window is created. The channel windows are created when the
// main window is first shown, or by the first view command that names them.
#pragma once

#include <array>

class TOsdexFormCH0;

// Channel windows by channel number, and under their own names.
extern std::array<TOsdexFormCH0*, 8> OsdexFormCH;
inline TOsdexFormCH0*& OsdexFormCH0 = OsdexFormCH[0];
inline TOsdexFormCH0*& OsdexFormCH1 = OsdexFormCH[1];
inline TOsdexFormCH0*& OsdexFormCH2 = OsdexFormCH[2];
inline TOsdexFormCH0*& OsdexFormCH3 = OsdexFormCH[3];
inline TOsdexFormCH0*& OsdexFormCH4 = OsdexFormCH[4];
inline TOsdexFormCH0*& OsdexFormCH5 = OsdexFormCH[5];
inline TOsdexFormCH0*& OsdexFormCH6 = OsdexFormCH[6];
inline TOsdexFormCH0*& OsdexFormCH7 = OsdexFormCH[7];

// Creates channel window n if it does not exist yet: caption "Osdex Channel n", RegisterBase
// 16 n, not shown. Returns the window.
TOsdexFormCH0* Create_Channel_Window(int n);
// Shows channel window n in normal state and in front, creating it first if needed. The one
// way every view command brings up a channel window.
void Show_Channel_Window(int n);
// Destroys every channel window and empties the variables.
void Destroy_Channel_Windows();
