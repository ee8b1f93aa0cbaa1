#pragma once
// The camera dialog (template 103): edits the output settings of one camera (double click on
// a row) or of every selected camera at once (button 1013), where each field changes only when
// the artist switches it on.
#include <windows.h>

namespace rud {

INT_PTR CALLBACK CameraDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Modal, owned by the main dialog, for RUDRenderingUiMgr::selectedCameraNames.
INT_PTR OpenCameraDialog(HWND owner);

} // namespace rud
