#include "ui/SceneWarningsDialog.h"

#include "core/ResourceStrings.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "ui/DialogGuard.h"
#include "ui/DialogTexts.h"
#include "ui/RUDRenderingUiMgr.h"

namespace rud {
namespace {

void OpenSceneWarnings(HWND dialog) {
    ::SetWindowTextW(dialog, ResourceText(IDS_WARNINGS_TITLE).c_str());
    ::SetDlgItemTextW(dialog, IDC_WARNINGS_INTRO, ResourceText(IDS_WARNINGS_INTRO).c_str());
    ::SetDlgItemTextW(dialog, IDC_WARNINGS_CLOSE, ResourceText(IDS_WARNINGS_CLOSE).c_str());
    for (const std::wstring& line : RUDRenderingUiMgr::Instance().CameraCheckLinesCopy())
        ::SendDlgItemMessageW(dialog, IDC_WARNINGS_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));

    RECT work{};
    RECT window{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::GetWindowRect(dialog, &window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    ::MoveWindow(dialog, (work.right - width) / 2, (work.bottom - height) / 2, width, height, FALSE);
}

INT_PTR HandleSceneWarningsMessage(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_INITDIALOG:
        OpenSceneWarnings(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_WARNINGS_CLOSE || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK SceneWarningsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return GuardedDialogMessage("scene warnings dialog", [&] { return HandleSceneWarningsMessage(dialog, message, wParam); });
}

INT_PTR ShowSceneWarningsDialog(HWND owner) {
    return ::DialogBoxParamW(LanguageModule(), MAKEINTRESOURCEW(IDD_SCENE_WARNINGS), owner,
                             SceneWarningsDialogProc, 0);
}

} // namespace rud
