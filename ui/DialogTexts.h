#pragma once
// Texts of the string table as owned copies, and the dialogs' message boxes.
#include "core/MessageBoxes.h"
#include "core/ResourceStrings.h"

#include <windows.h>

#include <string>

namespace rud {

// A copy of a string-table text (loader A); empty when the table has no such string.
inline std::wstring ResourceText(int id) {
    const wchar_t* text = LoadResourceTextA(id);
    return text ? std::wstring(text) : std::wstring();
}

// A message box owned by `owner` with texts from the string table and the language rule.
inline int ShowDialogMessage(HWND owner, int textId, int captionId, UINT type) {
    std::wstring text = ResourceText(textId);
    std::wstring caption = ResourceText(captionId);
    return ShowMessageBox(owner, text, caption, type, MessageBoxLanguage(ResourceText(57).c_str()));
}

} // namespace rud
