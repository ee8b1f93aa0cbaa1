#pragma once
// A thread of this module that can be waited for until it has returned.
//
// 3ds Max unloads the plug-in right after LibShutdown; a thread still running the module's code
// then (even only the destructors after its last flag was set) crashes the host with the
// artist's scene. So the plug-in's own threads are not detached: their handle is kept, and the
// unload waits on it, with a bound.
#include <windows.h>

#include <functional>

namespace rud {

class ModuleThread {
public:
    ModuleThread() = default;
    ~ModuleThread() { Reset(); }
    ModuleThread(const ModuleThread&) = delete;
    ModuleThread& operator=(const ModuleThread&) = delete;

    // Runs `body` on a new thread (what it throws is swallowed there); false when no thread
    // could be started. Call only once the previous thread has returned.
    [[nodiscard]] bool Start(std::function<void()> body);
    bool Started() const { return handle_ != nullptr; }
    // True once the thread has returned (or none was started), waiting at most `waitMs`.
    [[nodiscard]] bool Returned(DWORD waitMs = 0) const;
    // The same, handling meanwhile what other threads send to this thread's windows: a thread
    // that is ending may still be sending to them (enabling a dialog's controls), and would
    // otherwise wait for this wait.
    [[nodiscard]] bool AwaitReturn(DWORD waitMs) const;
    // Forgets the thread; it runs on if it has not returned.
    void Reset();

private:
    HANDLE handle_ = nullptr;
};

} // namespace rud
