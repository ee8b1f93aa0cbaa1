#pragma once
// Every message box of the plug-in goes through ShowMessageBox, so that tests (and only tests)
// can answer boxes instead of a person. In the real build MessageBoxExW is the isolation-aware
// wrapper (ISOLATION_AWARE_ENABLED).
#include <windows.h>

#include <functional>
#include <string>

namespace rud {

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type,
                   WORD language);

// A handler that answers instead of showing the box; null restores the real box.
using MessageBoxHandler = std::function<int(HWND owner, const std::wstring& text,
                                            const std::wstring& caption, UINT type, WORD language)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

// True while a box of ShowMessageBox is up on the calling thread (its modal loop runs there).
bool MessageBoxUpOnThisThread();

} // namespace rud
