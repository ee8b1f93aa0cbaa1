#pragma once
// A modal dialog of 3ds Max's own, as its file dialogs are: owned by the main window (which it
// disables), with a message loop of its own on the main thread for as long as it is up.
#include <windows.h>

namespace maxhost {

// Runs the dialog on the calling (main) thread until `milliseconds` have passed or it is
// cancelled; prints "HOST-DIALOG UP" and "HOST-DIALOG CLOSED".
void RunHostDialog(HWND mainWindow, unsigned milliseconds);

} // namespace maxhost
