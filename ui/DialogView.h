#pragma once
// A small view of a dialog's controls by ID: what the dialog logic reads and sets, so that the
// rules read as rules and not as Win32 calls.
#include <windows.h>

#include <string>

namespace rud {

class DialogView {
public:
    explicit DialogView(HWND dialog) : dialog_(dialog) {}

    HWND Window() const { return dialog_; }
    HWND Control(int id) const { return ::GetDlgItem(dialog_, id); }

    bool IsChecked(int id) const { return ::IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
    void SetChecked(int id, bool checked) const {
        ::CheckDlgButton(dialog_, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    bool IsEnabled(int id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }
    void Enable(int id, bool enabled) const { ::EnableWindow(Control(id), enabled ? TRUE : FALSE); }

    // Texts are read into buffers of 260 characters, as the dialogs always did.
    std::wstring Text(int id) const {
        wchar_t buffer[260] = {};
        ::GetDlgItemTextW(dialog_, id, buffer, 260);
        return buffer;
    }
    void SetText(int id, const std::wstring& text) const { ::SetDlgItemTextW(dialog_, id, text.c_str()); }
    // Puts the caret after the last character of an edit.
    void CaretToEnd(int id) const {
        int length = ::GetWindowTextLengthW(Control(id));
        ::SendDlgItemMessageW(dialog_, id, EM_SETSEL, length, length);
    }

    int ComboSelection(int id) const {
        return static_cast<int>(::SendDlgItemMessageW(dialog_, id, CB_GETCURSEL, 0, 0));
    }
    void SelectCombo(int id, int position) const {
        ::SendDlgItemMessageW(dialog_, id, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    }
    void AddComboItem(int id, const std::wstring& text) const {
        ::SendDlgItemMessageW(dialog_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }

private:
    HWND dialog_;
};

} // namespace rud
