#pragma once
// The busy dialog (template 104): tells the artist which step of the submission runs, and
// follows the worker's flags (hide, show, close) on a 30 ms timer. While 7-Zip packs, it shows
// the percentage on a determinate bar; Cancel is offered from the start until the request leaves.
#include <windows.h>

#include <cstdint>
#include <string>

namespace rud {

INT_PTR CALLBACK BusyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The busy dialog ends with this once the worker has handed 3ds Max back.
constexpr INT_PTR kBusyHandedBack = 2;
// WM_INITDIALOG's parameter of the progress window.
constexpr LPARAM kProgressWindowParam = 0x50524F47;

// The same dialog as a window of its own after the hand-back: modeless, unowned, on the calling
// thread, which it serves until the worker has ended.
void RunProgressWindow();
// That window while it is up, else null.
HWND ProgressWindow();

// "12.3 MB" (binary megabytes, one decimal).
std::wstring FormatMegabytes(int64_t bytes);
// The text of a busy stage (strings 105 to 110; the packing text receives the size so far).
std::wstring BusyStageText(int32_t stage, int64_t archiveBytes);

// What the dialog shows for the worker's state.
struct BusyDisplay {
    std::wstring text;
    int32_t percent = -1;        // the bar's position; -1: the marquee
    bool cancelEnabled = false;  // Cancel, Escape and the close item stop the submission
};
BusyDisplay BusyDisplayFor(int32_t stage, int32_t packPercent, int64_t archiveBytes, bool cancelRequested);

} // namespace rud
