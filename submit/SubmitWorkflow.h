#pragma once
// One submission, run on a detached worker thread started by the main dialog's submit button.
#include <windows.h>

#include <string>

namespace rud {

// Thread function: remembers the options, freezes the dialog, runs SubmitScene, then asks the
// busy dialog to close, marks the worker finished (submitState 11) and unfreezes the dialog.
void SubmitWorker(HWND dialog, std::wstring caption, std::wstring string68, std::wstring languageMarker);
void SubmitScene(HWND dialog, std::wstring caption, std::wstring string68, std::wstring languageMarker);
// Asks the busy dialog to close when its thread runs (busyState 0 and busyThread set).
void RequestBusyClose();

} // namespace rud
