#pragma once
// A hidden window holding child controls, standing in for a dialog: GetDlgItem, SetDlgItemText
// and the button and combo box messages work on it as on a dialog.
#include "core/WinHandles.h"

#include <windows.h>

#include <string>

namespace rudtest {

struct ControlWindow {
    HWND Add(const wchar_t* className, int id, DWORD style) {
        return ::CreateWindowExW(0, className, L"", WS_CHILD | style, 0, 0, 80, 20, parent.get(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    HWND get() const { return parent.get(); }
    std::wstring Text(int id) const {
        wchar_t text[300] = {};
        ::GetDlgItemTextW(parent.get(), id, text, 300);
        return text;
    }
    void SetText(int id, const wchar_t* text) { ::SetDlgItemTextW(parent.get(), id, text); }

    rud::UniqueHwnd parent{::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr,
                                             nullptr, nullptr, nullptr)};
};

} // namespace rudtest
