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

void ModuleThread::Reset() {
    if (handle_) ::CloseHandle(handle_);
    handle_ = nullptr;
}

} // namespace rud
