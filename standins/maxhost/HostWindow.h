#pragma once
// The stand-in's main window: a menu bar built from the menus plug-ins create, and a way for
// other threads to run work on the user-interface thread.
#include "MaxStandin.h"

#include <windows.h>

#include <functional>
#include <map>
#include <utility>

namespace maxhost {

class HostWindow {
public:
    bool Create(HINSTANCE instance, const std::wstring& title);
    HWND Handle() const { return window_; }

    // Rebuilds the menu bar from the menu manager that plug-ins filled.
    void ShowMenus(const maxstandin::Menu& menuBar);
    // Runs the action behind a menu item, as choosing it does.
    BOOL RunAction(ActionTableId table, int action);
    // The menu command that runs an action (0: none on the menu bar).
    UINT CommandFor(int action) const;
    // The menu bar as text lines ("Title/Item"), for the run log.
    std::vector<std::wstring> MenuLines() const { return menuLines_; }

    // Posts `work` to the user-interface thread; `done` is signalled once it has run or has
    // entered a modal loop (a later posted marker got through).
    bool Post(std::function<void()> work, DWORD timeoutMs);

    // Closing is deferred while an action runs (its modal dialogs own the thread).
    void RequestClose();
    bool InAction() const { return actionDepth_ > 0; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    HMENU menu_ = nullptr;
    std::map<UINT, std::pair<ActionTableId, int>> commands_;
    std::vector<std::wstring> menuLines_;
    int actionDepth_ = 0;
    bool closeRequested_ = false;
};

} // namespace maxhost
