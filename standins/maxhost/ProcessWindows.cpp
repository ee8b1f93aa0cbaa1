#include "ProcessWindows.h"

namespace maxhost {
namespace {

BOOL CALLBACK Collect(HWND window, LPARAM context) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK CheckChild(HWND child, LPARAM context) {
    int id = ::GetDlgCtrlID(child) & 0xFFFF;
    // Buttons IDOK..IDCONTINUE, the icon (0x14 on Windows, 0x440 under Wine) and the text (0xFFFF).
    bool known = (id >= 1 && id <= 11) || id == 0x14 || id == 0x440 || id == 0xFFFF;
    if (!known) *reinterpret_cast<bool*>(context) = false;
    return TRUE;
}

} // namespace

std::vector<HWND> ProcessTopLevelWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::wstring WindowText(HWND window) {
    int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, &text[0], length + 1)));
    return text;
}

bool IsMessageBox(HWND window) {
    if (ClassOf(window) != L"#32770") return false;
    HWND text = ::GetDlgItem(window, 0xFFFF);
    if (!text || ClassOf(text) != L"Static") return false;
    bool onlyBoxControls = true;
    ::EnumChildWindows(window, CheckChild, reinterpret_cast<LPARAM>(&onlyBoxControls));
    return onlyBoxControls;
}

HWND FrontWindow() {
    auto usable = [](HWND window) {
        return ::IsWindowEnabled(window) && !IsMessageBox(window) && ClassOf(window) != L"tooltips_class32";
    };
    HWND foreground = ::GetForegroundWindow();
    std::vector<HWND> windows = ProcessTopLevelWindows();
    for (HWND window : windows)
        if (window == foreground && usable(window)) return window;
    for (HWND window : windows)
        if (usable(window)) return window;
    return nullptr;
}

} // namespace maxhost
