// The host's float spinner: a narrow window with an up and a down button beside the custom edit
// control that shows the value. Clicking a button steps the value by the spinner's scale; the
// dialog hears of every change through CC_SPINNER_CHANGE with the spinner's interface in lParam.
#include "../include/custcont.h"
#include "../host/MaxStandin.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>

bool LinkCustEditToSpinner(HWND edit, HWND spinner);

namespace {

struct SpinnerState {
    float value = 0.0f;
    float minimum = -1.0e30f;
    float maximum = 1.0e30f;
    float scale = 0.1f;
    HWND edit = nullptr;
    // The interface the spinner hands its parent with CC_SPINNER_CHANGE; it lives as long as
    // the window.
    std::unique_ptr<ISpinnerControl> self;
};

bool classRegistered = false;

SpinnerState* StateOf(HWND window) {
    return window ? reinterpret_cast<SpinnerState*>(::GetWindowLongPtrW(window, GWLP_USERDATA)) : nullptr;
}

void ShowValue(SpinnerState& state) {
    if (!state.edit) return;
    wchar_t text[64];
    std::swprintf(text, 64, L"%.3f", static_cast<double>(state.value));
    ::SetWindowTextW(state.edit, text);
}

// The artist may have typed into the edit control: its text is the value when it reads as one.
void ReadEdit(SpinnerState& state) {
    if (!state.edit) return;
    wchar_t text[64] = {};
    ::GetWindowTextW(state.edit, text, 64);
    wchar_t* end = nullptr;
    double typed = std::wcstod(text, &end);
    if (end != text) state.value = std::clamp(static_cast<float>(typed), state.minimum, state.maximum);
}

void Notify(HWND window) {
    HWND parent = ::GetParent(window);
    SpinnerState* state = StateOf(window);
    if (parent && state)
        ::SendMessageW(parent, CC_SPINNER_CHANGE, MAKEWPARAM(::GetDlgCtrlID(window), FALSE),
                       reinterpret_cast<LPARAM>(state->self.get()));
}

ISpinnerControl* NewSpinnerView(HWND window);

LRESULT CALLBACK SpinnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        auto* state = new SpinnerState;
        state->self.reset(NewSpinnerView(window));
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        break;
    }
    case WM_NCDESTROY:
        delete StateOf(window);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        RECT client;
        ::GetClientRect(window, &client);
        RECT up = client, down = client;
        up.bottom = down.top = (client.top + client.bottom) / 2;
        UINT disabled = ::IsWindowEnabled(window) ? 0 : DFCS_INACTIVE;
        ::DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP | disabled);
        ::DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN | disabled);
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_ENABLE:
        ::InvalidateRect(window, nullptr, TRUE);
        break;
    case WM_LBUTTONDOWN: {
        SpinnerState* state = StateOf(window);
        if (!state || !::IsWindowEnabled(window)) return 0;
        RECT client;
        ::GetClientRect(window, &client);
        bool upper = static_cast<short>(HIWORD(lParam)) < (client.top + client.bottom) / 2;
        ReadEdit(*state);
        state->value = std::clamp(state->value + (upper ? state->scale : -state->scale),
                                  state->minimum, state->maximum);
        ShowValue(*state);
        Notify(window);
        return 0;
    }
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// What GetISpinner hands out: a view of one spinner window, released with ReleaseISpinner.
class SpinnerView final : public ISpinnerControl {
public:
    explicit SpinnerView(HWND window) : window_(window) {}
    HWND GetHwnd() override { return window_; }
    void Enable(BOOL onOff) override {
        maxstandin::RequireHostThread("ISpinnerControl::Enable");
        ::EnableWindow(window_, onOff);
        if (SpinnerState* state = StateOf(window_); state && state->edit) ::EnableWindow(state->edit, onOff);
    }
    void Disable() override { Enable(FALSE); }
    BOOL IsEnabled() override {
        maxstandin::RequireHostThread("ISpinnerControl::IsEnabled");
        return ::IsWindowEnabled(window_);
    }
    float GetFVal() override {
        maxstandin::RequireHostThread("ISpinnerControl::GetFVal");
        SpinnerState* state = State();
        if (!state) return 0.0f;
        ReadEdit(*state);
        return state->value;
    }
    int GetIVal() override { return static_cast<int>(GetFVal()); }
    void SetScale(float s) override {
        if (SpinnerState* state = State()) state->scale = s;
    }
    void SetValue(float v, int notify) override {
        maxstandin::RequireHostThread("ISpinnerControl::SetValue");
        SpinnerState* state = State();
        if (!state) return;
        state->value = std::clamp(v, state->minimum, state->maximum);
        ShowValue(*state);
        if (notify) Notify(window_);
    }
    void SetValue(int v, int notify) override { SetValue(static_cast<float>(v), notify); }
    void SetLimits(float min, float max, int limitCurValue) override {
        SpinnerState* state = State();
        if (!state) return;
        state->minimum = min;
        state->maximum = max;
        if (limitCurValue) {
            state->value = std::clamp(state->value, min, max);
            ShowValue(*state);
        }
    }
    void LinkToEdit(HWND hEdit, EditSpinnerType) override {
        SpinnerState* state = State();
        if (!state || !LinkCustEditToSpinner(hEdit, window_)) return;
        state->edit = hEdit;
        ShowValue(*state);
    }
private:
    SpinnerState* State() { return ::IsWindow(window_) ? StateOf(window_) : nullptr; }
    HWND window_;
};

ISpinnerControl* NewSpinnerView(HWND window) { return new SpinnerView(window); }

} // namespace

void RegisterSpinnerWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SpinnerWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = SPINNERWINDOWCLASS;
    classRegistered = ::RegisterClassExW(&windowClass) != 0;
}

ISpinnerControl* GetISpinner(HWND hCtrl) {
    maxstandin::RequireHostThread("GetISpinner");
    wchar_t className[64] = {};
    if (!hCtrl || !::GetClassNameW(hCtrl, className, 64) || std::wcscmp(className, SPINNERWINDOWCLASS) != 0)
        return nullptr;
    return new SpinnerView(hCtrl);
}

void ReleaseISpinner(ISpinnerControl* isc) {
    maxstandin::RequireHostThread("ReleaseISpinner");
    delete isc;
}

ISpinnerControl* SetupFloatSpinner(HWND hwnd, int idSpin, int idEdit, float min, float max, float val,
                                   float scale) {
    maxstandin::RequireHostThread("SetupFloatSpinner");
    ISpinnerControl* spinner = GetISpinner(::GetDlgItem(hwnd, idSpin));
    if (!spinner) return nullptr;
    spinner->SetLimits(min, max, FALSE);
    spinner->SetScale(scale);
    spinner->LinkToEdit(::GetDlgItem(hwnd, idEdit), EDITTYPE_FLOAT);
    spinner->SetValue(val, FALSE);
    return spinner;
}

namespace maxstandin {
bool SpinnerClassRegistered() { return classRegistered; }
} // namespace maxstandin
