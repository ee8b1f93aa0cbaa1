#pragma once
// Answers the plug-in's message boxes for tests and remembers each one.
#include "core/MessageBoxes.h"
#include "tests/support/TestFiles.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace rudtest {

struct RecordedBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
    WORD language;
};

class MessageBoxRecorder {
public:
    // Installs itself as the message-box handler; answers from `answers` in order, then the
    // box's default button (IDOK for OK and OK/Cancel, IDYES for Yes/No).
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void QueueAnswer(int answer);
    std::vector<RecordedBox> Boxes() const;
    size_t Count() const { return Boxes().size(); }

private:
    mutable std::mutex lock_;
    std::vector<RecordedBox> boxes_;
    std::deque<int> answers_;
};

// Makes any box that no recorder answers fail the running test (installed by main()).
void InstallUnexpectedBoxGuard();

} // namespace rudtest
