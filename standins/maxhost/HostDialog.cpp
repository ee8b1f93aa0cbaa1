#include "HostDialog.h"

#include "HostOutput.h"

namespace maxhost {
namespace {

constexpr UINT_PTR kCloseTimer = 1;

INT_PTR CALLBACK HostDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        ::SetTimer(dialog, kCloseTimer, static_cast<UINT>(lParam), nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam != kCloseTimer) return FALSE;
        ::KillTimer(dialog, kCloseTimer);
        ::EndDialog(dialog, IDOK);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) ::EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

// An empty dialog template with a caption, as DialogBoxIndirectParam takes it.
struct Template {
    DLGTEMPLATE header;
    WORD menu, windowClass;
    wchar_t title[32];
};

} // namespace

void RunHostDialog(HWND mainWindow, unsigned milliseconds) {
    Template dialog{};
    dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME | DS_CENTER;
    dialog.header.cx = 200;
    dialog.header.cy = 80;
    ::lstrcpynW(dialog.title, L"Open File (stand-in)", 32);
    PrintLine(L"HOST-DIALOG UP");
    (void)::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), &dialog.header, mainWindow, HostDialogProc,
                                    static_cast<LPARAM>(milliseconds));
    PrintLine(L"HOST-DIALOG CLOSED");
}

} // namespace maxhost
