#include "tests/support/MainDialogWindow.h"

#include "core/ResourceStrings.h"
#include "resources/ControlIds.h"

#include <commctrl.h>

namespace rudtest {

static INT_PTR CALLBACK CloseOnly(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) ::DestroyWindow(dialog);
    return message == WM_INITDIALOG || message == WM_CLOSE;
}

MainDialogWindow::MainDialogWindow()
    : window_(::CreateDialogParamW(rud::LanguageModule(), MAKEINTRESOURCEW(IDD_MAIN), nullptr, &CloseOnly, 0)) {
    HWND table = ::GetDlgItem(window_, IDC_MAIN_CAMERAS);
    ListView_SetExtendedListViewStyle(table, LVS_EX_CHECKBOXES);
    LVCOLUMNW column{LVCF_TEXT | LVCF_WIDTH, 0, 100, const_cast<wchar_t*>(L"Camera")};
    ListView_InsertColumn(table, 0, &column);
}

MainDialogWindow::~MainDialogWindow() {
    if (!Closed()) ::DestroyWindow(window_);
}

std::wstring MainDialogWindow::Text(int id) const {
    wchar_t text[300] = {};
    ::GetDlgItemTextW(window_, id, text, 300);
    return text;
}

void MainDialogWindow::AddCamera(const std::wstring& name, bool checked) const {
    HWND table = ::GetDlgItem(window_, IDC_MAIN_CAMERAS);
    LVITEMW item{LVIF_TEXT, ListView_GetItemCount(table), 0, 0, 0, const_cast<wchar_t*>(name.c_str())};
    ListView_SetCheckState(table, ListView_InsertItem(table, &item), checked ? TRUE : FALSE);
}

} // namespace rudtest
