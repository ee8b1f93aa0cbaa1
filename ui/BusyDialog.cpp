#include "ui/BusyDialog.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "submit/SubmitWorkflow.h"
#include "ui/DialogGuard.h"
#include "ui/DialogTexts.h"

#include <commctrl.h>

#include <atomic>
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
    case kBusySending: return IDS_BUSY_SENDING_FINAL;   // and Cancel is greyed: it is too late
    default: return IDS_BUSY_CHECKING_SCENE;  // starting and checking read the same to the artist
    }
}

// What the dialog last showed, so that a tick touches only what changed.
struct BusyView {
    BusyDisplay shown;
    bool fresh = true;
    bool modeless = false;   // the progress window after the hand-back
};

// The progress window of the run that has handed 3ds Max back, for the menu and the messages.
std::atomic<HWND> g_progressWindow{nullptr};

void ShowProgress(HWND bar, int32_t percent) {
    const LONG_PTR style = ::GetWindowLongPtrW(bar, GWL_STYLE);
    const bool marquee = percent < 0;
    if (marquee != ((style & PBS_MARQUEE) != 0)) {
        if (marquee) {
            ::SetWindowLongPtrW(bar, GWL_STYLE, style | PBS_MARQUEE);
            ::SendMessageW(bar, PBM_SETMARQUEE, TRUE, 30);
        } else {
            ::SendMessageW(bar, PBM_SETMARQUEE, FALSE, 0);
            ::SetWindowLongPtrW(bar, GWL_STYLE, style & ~static_cast<LONG_PTR>(PBS_MARQUEE));
            ::SendMessageW(bar, PBM_SETRANGE32, 0, 100);
        }
    }
    if (!marquee) ::SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

// The title bar's close follows Cancel: greyed while nothing can be stopped.
void EnableCancel(HWND dialog, bool enabled) {
    ::EnableWindow(::GetDlgItem(dialog, IDCANCEL), enabled ? TRUE : FALSE);
    ::EnableMenuItem(::GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void ShowCurrentState(HWND dialog) {
    auto& store = RUDRenderingDataMgr::Instance();
    BusyDisplay display = BusyDisplayFor(store.busyStage, store.busyPackPercent, store.busyArchiveBytes,
                                         store.busyCancelRequested);
    if (::GetTickCount64() < store.busyRunningNoticeUntil) display.text = ResourceText(IDS_SUBMISSION_RUNNING);
    auto* view = reinterpret_cast<BusyView*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    const bool fresh = !view || view->fresh;
    const BusyDisplay* shown = view ? &view->shown : nullptr;
    if (fresh || shown->text != display.text) ::SetDlgItemTextW(dialog, IDC_BUSY_TEXT, display.text.c_str());
    if (fresh || shown->percent != display.percent)
        ShowProgress(::GetDlgItem(dialog, IDC_BUSY_PROGRESS), display.percent);
    if (fresh || shown->cancelEnabled != display.cancelEnabled) EnableCancel(dialog, display.cancelEnabled);
    if (view) {
        view->shown = display;
        view->fresh = false;
    }
}

void OpenBusyDialog(HWND dialog, bool modeless) {
    auto* view = new BusyView;
    view->modeless = modeless;
    ::SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(view));
    if (modeless) {
        // A window of its own beside 3ds Max: a taskbar button to find it by, and one to minimise.
        ::SetWindowLongPtrW(dialog, GWL_STYLE, ::GetWindowLongPtrW(dialog, GWL_STYLE) | WS_MINIMIZEBOX);
        ::SetWindowLongPtrW(dialog, GWL_EXSTYLE, ::GetWindowLongPtrW(dialog, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    }
    std::wstring title = ResourceText(IDS_BUSY_TITLE);
    if (!title.empty()) ::SetWindowTextW(dialog, title.c_str());
    ::SendDlgItemMessageW(dialog, IDC_BUSY_PROGRESS, PBM_SETMARQUEE, TRUE, 30);
    ShowCurrentState(dialog);
    ::SetTimer(dialog, kBusyTimer, kBusyTimerPeriodMs, nullptr);
}

void OnBusyTick(HWND dialog) {
    auto& store = RUDRenderingDataMgr::Instance();
    const auto* view = reinterpret_cast<const BusyView*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (view && view->modeless) {
        // The run's last message is owned by this window: it stays until the worker has ended.
        if (store.submitState == kThreadFinished) {
            ::KillTimer(dialog, kBusyTimer);
            ::DestroyWindow(dialog);
        } else {
            ShowCurrentState(dialog);
        }
        return;
    }
    if (store.busyHandBack) {
        ::KillTimer(dialog, kBusyTimer);
        ::EndDialog(dialog, kBusyHandedBack);
        return;
    }
    // A worker that ended before this dialog's thread was up asked for a close that no one could
    // take; its end closes the dialog all the same, or the artist would wait behind it forever.
    if (store.busyCloseRequested || store.submitState == kThreadFinished) {
        ::KillTimer(dialog, kBusyTimer);
        ::EndDialog(dialog, 1);
        return;
    }
    bool visible = ::IsWindowVisible(dialog) != FALSE;
    if (store.busyHidden && visible) ::ShowWindow(dialog, SW_HIDE);
    if (!store.busyHidden && !visible) ::ShowWindow(dialog, SW_SHOWNA);
    ShowCurrentState(dialog);
}

// Cancel, Escape and the close all land here. The dialog does not end itself: the worker stops
// 7-Zip, cleans up and then asks the dialog to close, so the artist sees it busy until then.
// Whether the Cancel still counts is the worker's state now, not the button's at the last tick.
void RequestCancel(HWND dialog) {
    (void)RequestSubmitCancel(RUDRenderingDataMgr::Instance());
    ShowCurrentState(dialog);
}

INT_PTR HandleBusyMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OpenBusyDialog(dialog, lParam == kProgressWindowParam);
        return TRUE;
    case WM_TIMER:
        if (wParam == kBusyTimer) OnBusyTick(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) RequestCancel(dialog);
        return TRUE;
    case WM_CLOSE:
        RequestCancel(dialog);
        return TRUE;
    case WM_DESTROY:
        delete reinterpret_cast<BusyView*>(::SetWindowLongPtrW(dialog, DWLP_USER, 0));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK BusyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardedDialogMessage("busy dialog", [&] { return HandleBusyMessage(dialog, message, wParam, lParam); });
}

void RunProgressWindow() {
    // No owner: a window owned across threads shares input with its owner's thread, and 3ds
    // Max's thread must answer the artist whatever this one does.
    HWND window = ::CreateDialogParamW(LanguageModule(), MAKEINTRESOURCEW(IDD_BUSY), nullptr, BusyDialogProc,
                                       kProgressWindowParam);
    if (!window) return;
    g_progressWindow = window;
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message;
    while (::IsWindow(window) && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageW(window, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    g_progressWindow = nullptr;
}

HWND ProgressWindow() { return g_progressWindow.load(); }

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

BusyDisplay BusyDisplayFor(int32_t stage, int32_t packPercent, int64_t archiveBytes, bool cancelRequested) {
    BusyDisplay display;
    const bool packing = stage == kBusyPacking;
    display.cancelEnabled = stage != kBusySending && !cancelRequested;
    if (packing && packPercent >= 0) {
        display.percent = packPercent > 100 ? 100 : packPercent;
        display.text = ResourceText(IDS_BUSY_PACKING_PERCENT);
        const size_t slot = display.text.find(L"%d");
        if (slot != std::wstring::npos) display.text.replace(slot, 2, std::to_wstring(display.percent));
    } else {
        display.text = BusyStageText(stage, archiveBytes);
    }
    return display;
}

} // namespace rud
