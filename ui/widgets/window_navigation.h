// Bringing a window to the front. The view buttons of every window show the main window and
// the crosspoint window, which sit above the channel windows; they are known here by their
// widgets alone, so that no window depends on one above it.
#pragma once

class QWidget;

// Un-minimises a window and shows it in front (nothing for an absent window).
void Restore_And_Show(QWidget* window);

// The main window as the view buttons show it; nullptr while it does not exist.
void Set_Main_Window_Widget(QWidget* window);
void Show_Main_Window();
// The crosspoint window the same way.
void Set_Crosspoint_Window_Widget(QWidget* window);
void Show_Crosspoint_Window();
// The port diagnostic window (nothing while it does not exist).
void Show_Port_Window();
