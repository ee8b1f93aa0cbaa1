#pragma once
#include <windows.h>

#include <string>

namespace rudtest {

// The main dialog from the language file under a procedure that only closes it on WM_CLOSE:
// the controls the worker reads, without the dialog's own logic.
class MainDialogWindow {
public:
    MainDialogWindow();
    ~MainDialogWindow();
    HWND Handle() const { return window_; }
    bool Closed() const { return !::IsWindow(window_); }
    void Check(int id, bool checked) const { ::CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED); }
    void SetText(int id, const std::wstring& text) const { ::SetDlgItemTextW(window_, id, text.c_str()); }
    std::wstring Text(int id) const;
    void AddCamera(const std::wstring& name, bool checked) const;
private:
    HWND window_ = nullptr;
};

} // namespace rudtest
