#pragma once
// The scene warnings dialog (template 111): the camera names that cannot be submitted.
#include <windows.h>

namespace rud {

INT_PTR CALLBACK SceneWarningsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Modal, owned by the main dialog, creation parameter 0. Ends with 1078 (button) or 2 (cancel).
INT_PTR ShowSceneWarningsDialog(HWND owner);

} // namespace rud
