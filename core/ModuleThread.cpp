#include "core/ModuleThread.h"

#include <process.h>

#include <memory>
#include <utility>

namespace rud {
namespace {

unsigned __stdcall ThreadEntry(void* parameter) {
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
    try {
        (*body)();
    } catch (...) {
    }
    return 0;
}

} // namespace

bool ModuleThread::Start(std::function<void()> body) {
    Reset();
    auto owned = std::make_unique<std::function<void()>>(std::move(body));
    const uintptr_t thread = ::_beginthreadex(nullptr, 0, ThreadEntry, owned.get(), 0, nullptr);
    if (!thread) return false;
    (void)owned.release();   // the thread frees it
    handle_ = reinterpret_cast<HANDLE>(thread);
    return true;
}

bool ModuleThread::Returned(DWORD waitMs) const {
    return !handle_ || ::WaitForSingleObject(handle_, waitMs) == WAIT_OBJECT_0;
}

bool ModuleThread::AwaitReturn(DWORD waitMs) const {
    if (!handle_) return true;
    const ULONGLONG until = ::GetTickCount64() + waitMs;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        const DWORD left = now < until ? static_cast<DWORD>(until - now) : 0;
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &handle_, FALSE, left, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke != WAIT_OBJECT_0 + 1) return false;   // the time is up, or the wait failed
        MSG message;
        (void)::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void ModuleThread::Reset() {
    if (handle_) ::CloseHandle(handle_);
    handle_ = nullptr;
}

} // namespace rud
