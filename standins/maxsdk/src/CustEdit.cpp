// The host's custom edit control "CustEdit": a frame around a Win32 edit. Its text is the inner
// edit's. A typed value is committed on Enter, and on losing the focus unless
// SetNotifyOnKillFocus(FALSE) turned that off: a linked spinner takes it (and reports it with
// CC_SPINNER_CHANGE) and the parent hears WM_CUSTEDIT_ENTER. Like the host's, it does not pass
// the inner edit's EN_CHANGE on. Its functions belong to the host's main thread.
#include "../include/custcont.h"
#include "../host/MaxStandin.h"

#include <commctrl.h>

#include <cwchar>

namespace {

constexpr UINT_PTR kInnerEditId = 1;
const wchar_t kLinkedSpinner[] = L"MaxStandinLinkedSpinner";
const wchar_t kNoKillFocusNotice[] = L"MaxStandinNoKillFocusNotice";
const wchar_t kGotReturn[] = L"MaxStandinGotReturn";
bool classRegistered = false;

HWND InnerEdit(HWND window) { return ::GetDlgItem(window, static_cast<int>(kInnerEditId)); }

void Commit(HWND frame) {
    if (HWND spinner = static_cast<HWND>(::GetPropW(frame, kLinkedSpinner)))
        if (ISpinnerControl* control = GetISpinner(spinner)) {
            control->SetValue(control->GetFVal(), TRUE);
            ReleaseISpinner(control);
        }
    HWND parent = ::GetParent(frame);
    if (parent && ::IsWindow(frame))
        ::SendMessageW(parent, WM_CUSTEDIT_ENTER, static_cast<WPARAM>(::GetDlgCtrlID(frame)),
                       reinterpret_cast<LPARAM>(frame));
}

LRESULT CALLBACK InnerEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS | ::DefSubclassProc(edit, message, wParam, lParam);
    if (message == WM_CHAR && wParam == VK_RETURN) {
        HWND frame = ::GetParent(edit);
        ::SetPropW(frame, kGotReturn, reinterpret_cast<HANDLE>(1));
        Commit(frame);
        return 0;
    }
    if (message == WM_KILLFOCUS) {
        LRESULT result = ::DefSubclassProc(edit, message, wParam, lParam);
        HWND frame = ::GetParent(edit);
        if (reinterpret_cast<HWND>(wParam) != frame && !::GetPropW(frame, kNoKillFocusNotice)) Commit(frame);
        return result;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

LRESULT CALLBACK CustEditWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        RECT client;
        ::GetClientRect(window, &client);
        HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_LEFT, 0, 0,
                                      client.right, client.bottom, window, reinterpret_cast<HMENU>(kInnerEditId),
                                      nullptr, nullptr);
        if (!edit) return -1;
        ::SendMessageW(edit, WM_SETFONT, ::SendMessageW(::GetParent(window), WM_GETFONT, 0, 0), FALSE);
        ::SetWindowSubclass(edit, InnerEditProc, 0, 0);
        return 0;
    }
    case WM_SIZE:
        ::MoveWindow(InnerEdit(window), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case EM_SETSEL:
    case EM_GETSEL:
    case EM_LIMITTEXT:
        if (HWND edit = InnerEdit(window)) return ::SendMessageW(edit, message, wParam, lParam);
        return 0;
    case WM_SETFONT:
        if (HWND edit = InnerEdit(window)) ::SendMessageW(edit, message, wParam, lParam);
        return 0;
    case WM_SETFOCUS:
        if (HWND edit = InnerEdit(window)) ::SetFocus(edit);
        return 0;
    case WM_ENABLE:
        if (HWND edit = InnerEdit(window)) ::EnableWindow(edit, static_cast<BOOL>(wParam));
        return 0;
    case WM_COMMAND:
        return 0;  // the inner edit's notifications stay here
    case WM_NCDESTROY:
        for (const wchar_t* property : {kLinkedSpinner, kNoKillFocusNotice, kGotReturn}) ::RemovePropW(window, property);
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

bool IsCustEdit(HWND window) {
    wchar_t className[64] = {};
    return window && ::GetClassNameW(window, className, 64) && std::wcscmp(className, CUSTEDITWINDOWCLASS) == 0;
}

class CustEditView final : public ICustEdit {
public:
    explicit CustEditView(HWND window) : window_(window) {}
    HWND GetHwnd() override { return window_; }
    void Enable(BOOL onOff) override { ::EnableWindow(window_, onOff); }
    void Disable() override { Enable(FALSE); }
    BOOL IsEnabled() override { return ::IsWindowEnabled(window_); }
    void GetText(MSTR& text) const override {
        maxstandin::RequireHostThread("ICustEdit::GetText");
        wchar_t buffer[256] = {};
        ::GetWindowTextW(window_, buffer, 256);
        text = buffer;
    }
    void SetText(const MCHAR* text) override {
        maxstandin::RequireHostThread("ICustEdit::SetText");
        ::SetWindowTextW(window_, text ? text : L"");
    }
    float GetFloat(BOOL* valid) override {
        MSTR text;
        GetText(text);
        wchar_t* end = nullptr;
        double value = std::wcstod(text.data(), &end);
        if (valid) *valid = end != text.data();
        return static_cast<float>(value);
    }
    int GetInt(BOOL* valid) override { return static_cast<int>(GetFloat(valid)); }
    BOOL GotReturn() override {
        maxstandin::RequireHostThread("ICustEdit::GotReturn");
        return ::RemovePropW(window_, kGotReturn) != nullptr;
    }
    void SetNotifyOnKillFocus(BOOL onOff) override {
        maxstandin::RequireHostThread("ICustEdit::SetNotifyOnKillFocus");
        if (onOff) ::RemovePropW(window_, kNoKillFocusNotice);
        else ::SetPropW(window_, kNoKillFocusNotice, reinterpret_cast<HANDLE>(1));
    }
private:
    HWND window_;
};

} // namespace

void RegisterCustEditWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = CustEditWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_IBEAM);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = CUSTEDITWINDOWCLASS;
    classRegistered = ::RegisterClassExW(&windowClass) != 0;
}

// A spinner linked to a custom edit shows its value there and takes typed values from it.
// Other windows cannot be linked: the spinner then has no edit.
bool LinkCustEditToSpinner(HWND edit, HWND spinner) {
    if (!IsCustEdit(edit)) return false;
    ::SetPropW(edit, kLinkedSpinner, spinner);
    return true;
}

ICustEdit* GetICustEdit(HWND hCtrl) {
    maxstandin::RequireHostThread("GetICustEdit");
    return IsCustEdit(hCtrl) ? new CustEditView(hCtrl) : nullptr;
}

void ReleaseICustEdit(ICustEdit* ice) {
    maxstandin::RequireHostThread("ReleaseICustEdit");
    delete ice;
}

namespace maxstandin {
bool CustEditClassRegistered() { return classRegistered; }
} // namespace maxstandin
