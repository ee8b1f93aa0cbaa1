#include "core/MessageBoxes.h"

#include <memory>
#include <mutex>

namespace rud {
namespace {

std::mutex handlerLock;
std::shared_ptr<MessageBoxHandler> handler;

} // namespace

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type,
                   WORD language) {
    std::shared_ptr<MessageBoxHandler> current;
    {
        std::lock_guard<std::mutex> guard(handlerLock);
        current = handler;
    }
    if (current && *current) return (*current)(owner, text, caption, type, language);
    // With ISOLATION_AWARE_ENABLED (the Visual Studio build) this is IsolationAwareMessageBoxExW.
    return ::MessageBoxExW(owner, text.c_str(), caption.c_str(), type, language);
}

void SetMessageBoxHandler(MessageBoxHandler newHandler) {
    std::lock_guard<std::mutex> guard(handlerLock);
    handler = newHandler ? std::make_shared<MessageBoxHandler>(std::move(newHandler)) : nullptr;
}

} // namespace rud
