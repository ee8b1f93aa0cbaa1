#include <winsock2.h>

#include "ui/MainDialog.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "core/RUDRenderingConfigMgr.h"
#include "resources/ControlIds.h"
#include "ui/DialogGuard.h"
#include "ui/MainDialogLogic.h"
#include "ui/RUDRenderingUiMgr.h"
#include "ui/WarningsList.h"

#include <utility>

namespace rud {
namespace {

// The main thread alone opens and closes main dialogs.
HWND g_openMainDialog = nullptr;
// The order OpenMainDialogWithOrder hands to the next dialog's WM_INITDIALOG. One modal main
// dialog at a time, on the main thread, so a plain pointer is enough.
const SubmitOrder* carriedOrder = nullptr;

INT_PTR HandleMainDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& store = RUDRenderingDataMgr::Instance();
    auto& ui = RUDRenderingUiMgr::Instance();
    switch (message) {
    case WM_INITDIALOG:
        g_openMainDialog = dialog;
        return OpenMainDialog(dialog, store, ui, std::exchange(carriedOrder, nullptr));
    case kMainDialogHandBackMessage:
        CloseMainDialog(dialog, store);
        return TRUE;
    case WM_COMMAND:
        OnMainCommand(dialog, store, ui, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        if (lParam) OnMainNotify(dialog, store, ui, *reinterpret_cast<const NMHDR*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        return lParam && DrawWarningsLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_USER + 1:
        OnCamerasEdited(dialog, store, ui);
        return TRUE;
    case WM_CLOSE:
        CloseMainDialog(dialog, store);
        return TRUE;
    case WM_DESTROY:
        // Tooltips hold the dialog's controls; they go with it whichever way it closed.
        store.toolTips.clear();
        ::WSACleanup();
        if (g_openMainDialog == dialog) g_openMainDialog = nullptr;
        return TRUE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardedDialogMessage("main dialog", [&] { return HandleMainDialogMessage(dialog, message, wParam, lParam); });
}

bool MainDialogOpen() { return g_openMainDialog != nullptr; }

INT_PTR ShowMainDialog(HWND owner) {
    return ::DialogBoxParamW(LanguageModule(), MAKEINTRESOURCEW(IDD_MAIN), owner, MainDialogProc,
                             reinterpret_cast<LPARAM>(&RUDRenderingConfigMgr::Instance()));
}

void OpenMainDialogWithOrder(HWND owner, const SubmitOrder& order) {
    carriedOrder = &order;
    (void)ShowMainDialog(owner);
    carriedOrder = nullptr;   // also when the dialog could not be made
}

} // namespace rud
