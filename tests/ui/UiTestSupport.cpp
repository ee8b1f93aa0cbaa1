#include "tests/ui/UiTestSupport.h"

#include "core/ResourceStrings.h"

#include <utility>

namespace rudtest {

std::string SampleAnalysis(const std::vector<std::string>& cameraNames, const std::string& extra) {
    std::string json = "{ \"name\" : \"D:/Work/Villa/Villa.max\", \"version\" : \"27000\", \"image_width\" : \"1920\","
                       " \"image_height\" : \"1080\", \"start_frame\" : \"0\", \"image_format\" : \"png\","
                       " \"gamma_out\" : \"2.2\", \"cameras\" : [";
    for (size_t i = 0; i < cameraNames.size(); ++i)
        json += (i ? ", { \"name\" : \"" : " { \"name\" : \"") + cameraNames[i] + "\", \"camWidth\" : \"0\", \"camHeight\" : \"0\" }";
    return json + " ], " + (extra.empty() ? std::string("\"is_region\" : \"false\"") : extra) + " }\n";
}

HWND CreateDialogFromLanguageFile(int templateId, DLGPROC procedure, HWND owner) {
    return ::CreateDialogParamW(rud::LanguageModule(), MAKEINTRESOURCEW(templateId), owner, procedure, 0);
}

namespace {

std::function<void(HWND)> pendingInside;   // until the dialog shows
HWND pendingOwner = nullptr;

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM found) {
    if (::GetWindow(window, GW_OWNER) != pendingOwner || !::IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK LookForModal(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND found = nullptr;
    if (pendingInside) ::EnumThreadWindows(::GetCurrentThreadId(), FindOwnedDialog, reinterpret_cast<LPARAM>(&found));
    if (pendingInside && !found) return;
    ::KillTimer(nullptr, timer);
    if (pendingInside) std::exchange(pendingInside, nullptr)(found);
}

void CALLBACK EndForgottenDialog(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(dialog, timer);
    ::EndDialog(dialog, 12345);
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 1) ++*reinterpret_cast<int*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void WhenModalOpens(HWND owner, std::function<void(HWND)> inside) {
    pendingOwner = owner;
    pendingInside = std::move(inside);
    ::SetTimer(nullptr, 0, 20, LookForModal);
}

void ForgetModal() { pendingInside = nullptr; }

ModalRun RunModalDialog(int templateId, DLGPROC procedure, const std::function<void(HWND)>& whileOpen) {
    ModalRun run;
    WhenModalOpens(nullptr, [&](HWND dialog) {
        run.sawDialog = true;
        whileOpen(dialog);
        // A dialog that ended itself has left its loop before this fires.
        ::SetTimer(dialog, 0x7E57, 100, EndForgottenDialog);
    });
    run.result = ::DialogBoxParamW(rud::LanguageModule(), MAKEINTRESOURCEW(templateId), nullptr, procedure, 0);
    ForgetModal();
    return run;
}

void PumpMessages(int milliseconds) {
    MSG message;
    for (DWORD end = ::GetTickCount() + static_cast<DWORD>(milliseconds); static_cast<int>(end - ::GetTickCount()) > 0;
         ::Sleep(5))
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

void Click(HWND dialog, int id) { ::SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }

void TypeText(HWND dialog, int id, const std::wstring& text) { ::SetDlgItemTextW(dialog, id, text.c_str()); }

std::wstring TextOf(HWND dialog, int id) {
    wchar_t text[512] = {};
    ::GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

bool IsShown(HWND dialog, int id) { return (::GetWindowLongW(::GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }

bool IsEnabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

void Notify(HWND dialog, int id, UINT code, NMHDR* header) {
    header->hwndFrom = ::GetDlgItem(dialog, id);
    header->idFrom = static_cast<UINT_PTR>(id);
    header->code = code;
    ::SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(header));
}

HWND CreateRecordingOwner(int* camerasEdited) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"RudRecordingOwner";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, L"RudRecordingOwner", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                    windowClass.hInstance, nullptr);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(camerasEdited));
    return window;
}

} // namespace rudtest
