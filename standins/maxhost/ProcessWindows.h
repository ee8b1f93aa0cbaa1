#pragma once
// Finding this process's top-level windows: message boxes and the dialog in front.
#include <windows.h>

#include <string>
#include <vector>

namespace maxhost {

std::vector<HWND> ProcessTopLevelWindows();   // visible ones, front first
bool IsMessageBox(HWND window);
std::wstring WindowText(HWND window);
// The window steps act on: the foreground window when it is ours, else the first enabled one.
HWND FrontWindow();

} // namespace maxhost
