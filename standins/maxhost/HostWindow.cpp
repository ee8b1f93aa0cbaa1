#include "HostWindow.h"

#include <notify.h>

#include <memory>

namespace maxhost {
namespace {

constexpr UINT kRunWork = WM_APP + 1;
constexpr UINT kMarker = WM_APP + 2;
// Destroying the window from a message of its own queue lets what was posted before the close
// (a step's marker) still reach it.
constexpr UINT kDestroy = WM_APP + 3;
constexpr UINT kFirstCommand = 40000;

struct Work {
    std::function<void()> run;
};

} // namespace

bool HostWindow::Create(HINSTANCE instance, const std::wstring& title, bool visible) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    windowClass.lpszClassName = L"MaxStandinMainWindow";
    ::RegisterClassExW(&windowClass);
    window_ = ::CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                                0, 0, 1024, 720, nullptr, nullptr, instance, this);
    if (!window_) return false;
    if (!visible) return true;
    ::ShowWindow(window_, SW_SHOW);
    ::UpdateWindow(window_);
    return true;
}

void HostWindow::ShowMenus(const maxstandin::Menu& menuBar) {
    HMENU bar = ::CreateMenu();
    commands_.clear();
    menuLines_.clear();
    UINT next = kFirstCommand;
    IActionManager* actions = maxstandin::StandardActionManager();
    std::function<void(HMENU, const maxstandin::Menu&, const std::wstring&)> fill =
        [&](HMENU target, const maxstandin::Menu& menu, const std::wstring& path) {
            for (const maxstandin::MenuEntry& entry : menu.Entries()) {
                if (entry.kind == maxstandin::MenuEntry::Separator) {
                    ::AppendMenuW(target, MF_SEPARATOR, 0, nullptr);
                    menuLines_.push_back(path + L"-");
                } else if (entry.kind == maxstandin::MenuEntry::SubMenu) {
                    HMENU popup = ::CreatePopupMenu();
                    fill(popup, *entry.subMenu, path + entry.title + L"/");
                    ::AppendMenuW(target, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), entry.title.c_str());
                } else {
                    std::wstring text = entry.title;
                    ActionTable* table = actions->FindTable(entry.tableId);
                    MSTR menuText;
                    if (text.empty() && table && table->GetMenuText(entry.actionId, menuText)) text = menuText.data();
                    commands_[next] = {entry.tableId, entry.actionId};
                    ::AppendMenuW(target, MF_STRING | (table ? 0 : MF_GRAYED), next++, text.c_str());
                    menuLines_.push_back(path + text + L" [" + std::to_wstring(entry.actionId) + L"]");
                }
            }
        };
    fill(bar, menuBar, L"");
    ::SetMenu(window_, bar);
    if (menu_) ::DestroyMenu(menu_);
    menu_ = bar;
    ::DrawMenuBar(window_);
}

UINT HostWindow::CommandFor(int action) const {
    for (const auto& command : commands_)
        if (command.second.second == action) return command.first;
    return 0;
}

BOOL HostWindow::RunAction(ActionTableId table, int action) {
    ++actionDepth_;
    BOOL result = maxstandin::StandardActionManager()->ExecuteAction(table, action);
    --actionDepth_;
    if (actionDepth_ == 0 && closeRequested_) RequestClose();
    return result;
}

bool HostWindow::Post(std::function<void()> work, DWORD timeoutMs) {
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!done) return false;
    auto* item = new Work{std::move(work)};
    bool posted = ::PostMessageW(window_, kRunWork, 0, reinterpret_cast<LPARAM>(item)) != 0;
    if (!posted) delete item;
    posted = posted && ::PostMessageW(window_, kMarker, 0, reinterpret_cast<LPARAM>(done));
    bool signalled = posted && ::WaitForSingleObject(done, timeoutMs) == WAIT_OBJECT_0;
    // A marker that is still queued holds the event: leave it to the window, which closes it.
    if (signalled || !posted) ::CloseHandle(done);
    return signalled;
}

void HostWindow::RequestClose() {
    closeForced_ = true;
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
}

void HostWindow::ShowScene(const std::wstring& sceneName) {
    std::wstring title = L"Autodesk 3ds Max 2025 (stand-in) - " + (sceneName.empty() ? L"Untitled" : sceneName);
    ::SetWindowTextW(window_, title.c_str());
}

LRESULT CALLBACK HostWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<HostWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<HostWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT HostWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        auto it = commands_.find(LOWORD(wParam));
        if (it != commands_.end()) {
            RunAction(it->second.first, it->second.second);
            return 0;
        }
        break;
    }
    case kRunWork: {
        std::unique_ptr<Work> work(reinterpret_cast<Work*>(lParam));
        try {
            if (work && work->run) work->run();
        } catch (...) {
        }
        return 0;
    }
    case kMarker: {
        HANDLE done = reinterpret_cast<HANDLE>(lParam);
        // The poster may have given up waiting; SetEvent on its handle is still harmless.
        ::SetEvent(done);
        return 0;
    }
    case WM_CLOSE:
        if (closing_) return 0;
        if (!closeForced_ && !maxstandin::AskExitCallbacks(window_)) return 0;
        closeForced_ = false;
        if (actionDepth_ > 0) {
            closeRequested_ = true;
            return 0;
        }
        closing_ = true;
        // 3ds Max is really going: every exit callback agreed, or the run's own end closes it.
        BroadcastNotification(NOTIFY_SYSTEM_SHUTDOWN);
        ::PostMessageW(window_, kDestroy, 0, 0);
        return 0;
    case kDestroy:
        ::DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

} // namespace maxhost
