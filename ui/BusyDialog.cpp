#include "ui/BusyDialog.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "ui/DialogGuard.h"
#include "ui/DialogTexts.h"

#include <commctrl.h>

#include <cwchar>

namespace rud {
namespace {

constexpr UINT_PTR kBusyTimer = 1;
constexpr UINT kBusyTimerPeriodMs = 30;

int StageTextId(int32_t stage) {
    switch (stage) {
    case kBusySavingScene: return IDS_BUSY_SAVING_SCENE;
    case kBusyCheckingViruses: return IDS_BUSY_CHECKING_VIRUSES;
    case kBusyPacking: return IDS_BUSY_PACKING;
    case kBusyWritingTask: return IDS_BUSY_WRITING_TASK;
    case kBusySending: return IDS_BUSY_SENDING;
    default: return IDS_BUSY_CHECKING_SCENE;  // starting and checking read the same to the artist
    }
}

// What the dialog last showed, so that a tick rewrites the text only when it changed.
struct BusyView {
    std::wstring text;
};

void ShowCurrentStage(HWND dialog) {
    auto& store = RUDRenderingDataMgr::Instance();
    std::wstring text = BusyStageText(store.busyStage, store.busyArchiveBytes);
    auto* view = reinterpret_cast<BusyView*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (view && view->text == text) return;
    if (view) view->text = text;
    ::SetDlgItemTextW(dialog, IDC_BUSY_TEXT, text.c_str());
}

void OpenBusyDialog(HWND dialog) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(new BusyView));
    std::wstring title = ResourceText(IDS_BUSY_TITLE);
    if (!title.empty()) ::SetWindowTextW(dialog, title.c_str());
    ::SendDlgItemMessageW(dialog, IDC_BUSY_PROGRESS, PBM_SETMARQUEE, TRUE, 30);
    ShowCurrentStage(dialog);
    ::SetTimer(dialog, kBusyTimer, kBusyTimerPeriodMs, nullptr);
    ::DeleteMenu(::GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND);
}

void OnBusyTick(HWND dialog) {
    auto& store = RUDRenderingDataMgr::Instance();
    if (store.busyCloseRequested) {
        ::KillTimer(dialog, kBusyTimer);
        ::EndDialog(dialog, 1);
        return;
    }
    bool visible = ::IsWindowVisible(dialog) != FALSE;
    if (store.busyHidden && visible) ::ShowWindow(dialog, SW_HIDE);
    if (!store.busyHidden && !visible) ::ShowWindow(dialog, SW_SHOWNA);
    ShowCurrentStage(dialog);
}

INT_PTR HandleBusyMessage(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_INITDIALOG:
        OpenBusyDialog(dialog);
        return TRUE;
    case WM_TIMER:
        if (wParam == kBusyTimer) OnBusyTick(dialog);
        return TRUE;
    case WM_CLOSE:
        ::KillTimer(dialog, kBusyTimer);
        ::EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        delete reinterpret_cast<BusyView*>(::SetWindowLongPtrW(dialog, DWLP_USER, 0));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK BusyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return GuardedDialogMessage("busy dialog", [&] { return HandleBusyMessage(dialog, message, wParam); });
}

std::wstring FormatMegabytes(int64_t bytes) {
    wchar_t text[32] = {};
    std::swprintf(text, 32, L"%.1f MB", static_cast<double>(bytes < 0 ? 0 : bytes) / (1024.0 * 1024.0));
    return text;
}

std::wstring BusyStageText(int32_t stage, int64_t archiveBytes) {
    std::wstring text = ResourceText(StageTextId(stage));
    size_t slot = text.find(L"%s");
    if (slot != std::wstring::npos) text.replace(slot, 2, FormatMegabytes(archiveBytes));
    return text;
}

} // namespace rud
