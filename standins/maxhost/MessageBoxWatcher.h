#pragma once
// Watches for message boxes of this process (any thread), reports each one, and presses a
// button: the next queued answer, else (with auto-answer) the default button.
#include <windows.h>

#include "DialogTemplates.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <set>
#include <thread>

namespace maxhost {

class MessageBoxWatcher {
public:
    // `templates` (may be null) names the dialog that owns each box in the report.
    MessageBoxWatcher(bool autoAnswer, const DialogTemplates* templates = nullptr);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    void QueueAnswer(int button);   // IDOK, IDCANCEL, IDYES, IDNO
    // Reports a box now, once: a step that found it must not depend on the next poll, since the
    // steps after it may answer or close the box sooner than that.
    void Report(HWND box);

private:
    void Run();
    void Handle(HWND box);
    bool ReportLocked(HWND box);   // false when reported already
    bool autoAnswer_;
    const DialogTemplates* templates_;
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::deque<int> answers_;
    std::set<HWND> reported_;
    std::thread thread_;
};

} // namespace maxhost
