#pragma once
// The stand-in's main window: a menu bar built from the menus plug-ins create, and a way for
// other threads to run work on the user-interface thread.
#include "MaxStandin.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <utility>

namespace maxhost {

class HostWindow {
public:
    // A hidden window (visible false) plays 3ds Max's batch mode, which shows no user interface.
    bool Create(HINSTANCE instance, const std::wstring& title, bool visible = true);
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

    // Closing is deferred while an action runs (its modal dialogs own the thread). This is how the
    // run ends (the quit step, the end of a steps file): the exit callbacks are not asked. A close
    // from the title bar (as the artist closes 3ds Max: WM_SYSCOMMAND SC_CLOSE) asks every
    // ExitMAXCallback first and stays open when one says FALSE.
    void RequestClose();
    bool InAction() const { return actionDepth_ > 0; }
    // The window agreed to close and goes once the message in hand is done.
    bool Closing() const { return closing_; }
    // Shows the open scene's name in the title bar, as 3ds Max does.
    void ShowScene(const std::wstring& sceneName);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    HMENU menu_ = nullptr;
    std::map<UINT, std::pair<ActionTableId, int>> commands_;
    std::vector<std::wstring> menuLines_;
    int actionDepth_ = 0;
    bool closeRequested_ = false;
    std::atomic<bool> closeForced_{false};
    std::atomic<bool> closing_{false};
};

} // namespace maxhost
