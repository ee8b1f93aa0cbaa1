#pragma once
// The dialogs' message boxes, with texts from the string table.
#include "core/MessageBoxes.h"
#include "core/ResourceStrings.h"

#include <windows.h>

#include <string>

namespace rud {

// A message box owned by `owner` with texts from the string table and the language rule.
inline int ShowDialogMessage(HWND owner, int textId, int captionId, UINT type) {
    std::wstring text = ResourceText(textId);
    std::wstring caption = ResourceText(captionId);
    return ShowMessageBox(owner, text, caption, type, MessageBoxLanguage(ResourceText(57).c_str()));
}

} // namespace rud
