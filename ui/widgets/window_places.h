// Where windows go on the screen within a run: grown within the screen, placed beside another
// window at the start, and back where the user left them when shown again.
#pragma once

class QWidget;

// Makes the window `extra` pixels taller, no taller than the screen it is on allows, and
// moves it up as far as needed to keep its bottom on that screen.
void Grow_Within_Screen(QWidget& window, int extra);

// Gives the window its preferred size, or as much of it as the screen holds with room for a
// frame, and keeps it on that screen.
void Fit_Within_Screen(QWidget& window);

// Places `window` to the right of `beside` (frames apart), or below it, where the screen
// holds it whole; otherwise leaves its place to the window system.
void Place_Beside(QWidget& window, const QWidget& beside);

// Keeps the window's place when it is hidden (closed) and puts it back there when it is shown
// again, so that the window system does not place it anew.
void Keep_Place_Between_Shows(QWidget& window);
