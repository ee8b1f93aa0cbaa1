#include "MessageBoxWatcher.h"

#include "HostOutput.h"
#include "ProcessWindows.h"

#include <string>
#include <vector>

namespace maxhost {

MessageBoxWatcher::MessageBoxWatcher(bool autoAnswer, const DialogTemplates* templates)
    : autoAnswer_(autoAnswer), templates_(templates), thread_([this] { Run(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void MessageBoxWatcher::QueueAnswer(int button) {
    std::lock_guard<std::mutex> guard(lock_);
    answers_.push_back(button);
}

void MessageBoxWatcher::Run() {
    while (!stop_) {
        try {
            // A box is read once it shows: until its WM_INITDIALOG has run, its text and caption
            // are still empty.
            for (HWND window : ProcessTopLevelWindows())
                if (IsMessageBox(window) && ::IsWindowVisible(window)) Handle(window);
            // A box closed by other means than an answer (a quit, its owner closing) is
            // forgotten, or a later box that gets the same handle would go unreported.
            std::lock_guard<std::mutex> guard(lock_);
            for (auto it = reported_.begin(); it != reported_.end();)
                it = ::IsWindow(*it) ? std::next(it) : reported_.erase(it);
        } catch (...) {
        }
        ::Sleep(100);
    }
}

void MessageBoxWatcher::Report(HWND box) {
    std::lock_guard<std::mutex> guard(lock_);
    ReportLocked(box);
}

bool MessageBoxWatcher::ReportLocked(HWND box) {
    if (reported_.count(box)) return false;
    reported_.insert(box);
    PrintLine(L"MESSAGEBOX " + WindowText(box) + L" | " + WindowText(::GetDlgItem(box, 0xFFFF)));
    // The owner as the template it was made from (0: no owner, or not a plug-in dialog).
    HWND owner = ::GetWindow(box, GW_OWNER);
    PrintLine(L"BOXOWNER " + std::to_wstring(owner && templates_ ? templates_->TemplateOf(owner) : 0));
    return true;
}

void MessageBoxWatcher::Handle(HWND box) {
    int button = 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!ReportLocked(box) && answers_.empty() && !autoAnswer_) return;
        if (!answers_.empty()) {
            button = answers_.front();
            answers_.pop_front();
        } else if (autoAnswer_) {
            DWORD_PTR defaultId = 0;
            ::SendMessageTimeoutW(box, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 2000, &defaultId);
            button = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDOK;
        }
    }
    if (button == 0) return;
    // The box goes away once its owner thread handles the command; a window handle that comes
    // back later belongs to a new box.
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, button)));
    for (int i = 0; i < 50 && ::IsWindow(box) && ::IsWindowVisible(box); ++i) ::Sleep(20);
    std::lock_guard<std::mutex> guard(lock_);
    reported_.erase(box);
}

} // namespace maxhost
