#include "core/MessageBoxes.h"

#include <memory>
#include <mutex>

namespace rud {
namespace {

std::mutex handlerLock;
std::shared_ptr<MessageBoxHandler> handler;
thread_local int boxesUp = 0;

struct BoxUp {
    BoxUp() { ++boxesUp; }
    ~BoxUp() { --boxesUp; }
    BoxUp(const BoxUp&) = delete;
    BoxUp& operator=(const BoxUp&) = delete;
};

} // namespace

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type,
                   WORD language) {
    std::shared_ptr<MessageBoxHandler> current;
    {
        std::lock_guard<std::mutex> guard(handlerLock);
        current = handler;
    }
    const BoxUp up;
    if (current && *current) return (*current)(owner, text, caption, type, language);
    // With ISOLATION_AWARE_ENABLED (the Visual Studio build) this is IsolationAwareMessageBoxExW.
    return ::MessageBoxExW(owner, text.c_str(), caption.c_str(), type, language);
}

bool MessageBoxUpOnThisThread() { return boxesUp > 0; }

void SetMessageBoxHandler(MessageBoxHandler newHandler) {
    std::lock_guard<std::mutex> guard(handlerLock);
    handler = newHandler ? std::make_shared<MessageBoxHandler>(std::move(newHandler)) : nullptr;
}

} // namespace rud
