// The drawing windows from the keyboard: a letter per tool, the digits and Alt+digits for the
// levels, Ctrl+Alt+digits for the channels. None takes a key the menus have (F1, F3, F4, F5,
// F8, F10, Ctrl+L) or the zoom's (Ctrl++, Ctrl+-, Ctrl+0); typing into a field still types.
#pragma once

#include <QKeySequence>

// The key of a tool number; empty for a tool without one.
QKeySequence Tool_Key(int tool);
// The key of a level 0..15: 0..9, then Alt+0 .. Alt+5 for 10..15.
QKeySequence Level_Key(int level);
// The key of channel n 0..7: Ctrl+Alt+n.
QKeySequence Channel_Key(int channel);
