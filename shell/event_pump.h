// Lets long register loops keep the windows alive: processes pending window events and
// reports whether the application has been asked to end. The windows wire it to Qt; without
// them it does nothing and no quit is ever requested.
#pragma once

#include <functional>

// Processes pending events; returns true when the application has received its quit request.
bool Process_Pending_Events();
// True once a quit has been requested (without processing events).
bool Quit_Requested();
// Marks the quit request (the windows call it when the application is asked to end).
void Request_Quit();
// Clears the quit request (tests only, and a new run).
void Clear_Quit_Request();
