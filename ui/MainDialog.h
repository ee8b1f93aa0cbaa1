#pragma once
// The submission dialog (template 102), opened modally by action 1497.
#include <windows.h>

namespace rud {

struct SubmitOrder;

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens dialog 102 owned by `owner` with the configuration manager as creation parameter;
// returns when it closes.
INT_PTR ShowMainDialog(HWND owner);

// True while a main dialog is up.
bool MainDialogOpen();

// Posted by the submission once 3ds Max is handed back: the dialog closes and the run goes on
// behind a progress window of its own.
constexpr UINT kMainDialogHandBackMessage = WM_APP + 41;

// As ShowMainDialog, for a run that failed or was cancelled: the scene is analysed afresh and
// the run's choices are put back into the dialog when the open scene is still the one the run
// was for (see OrderFitsOpenScene and ApplySubmitOrder). Main thread only.
void OpenMainDialogWithOrder(HWND owner, const SubmitOrder& order);

} // namespace rud
