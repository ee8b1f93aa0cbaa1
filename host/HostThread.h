#pragma once
// Every host operation on the thread that loaded the plug-in.
//
// 3ds Max wants MAXScript, scene saving and loading, and its custom controls on its main
// thread; called from another thread they can corrupt or crash the host and take the artist's
// unsaved scene with them. The submission worker therefore does not call the host itself: this
// adapter hands each call to the host's thread and waits for its answer.
//
// The hand-over is a message posted to a message-only window of the host's thread, never a sent
// one: Windows delivers a sent message inside any message call of the receiving thread, also the
// loops 3ds Max runs inside its own work (the progress of a save or a render, the Listener), so a
// sent call could start a save in the middle of another save, and COM refuses calls out while a
// sent message is being handled. A posted one runs only when a loop dispatches it: the host's own
// loop or a modal loop on that thread (dialogs, message boxes). Even then, between the host's
// "before" and "after" notifications of a save, open, reset or render the call is held, and runs
// once the operation is over. No caller waits for ever: a held call watches the artist's Cancel,
// and any call the host has not taken within a limit is given up (HostCallAbandoned).
//
// Work posted for later (PostToMainThread) runs only where 3ds Max itself is idle: from its own
// loop, not from a modal loop on its thread (a message box, a file dialog, a question of an exit
// callback, a progress loop). Until then it is posted again now and then; Close drops it.
#include "core/WinHandles.h"
#include "host/HostBusy.h"
#include "host/HostOperations.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

namespace rud {

class HostThreadOperations final : public IHostOperations {
public:
    // Create on the host's main thread: that thread runs every call from now on.
    explicit HostThreadOperations(IHostOperations& host);
    ~HostThreadOperations() override;
    HostThreadOperations(const HostThreadOperations&) = delete;
    HostThreadOperations& operator=(const HostThreadOperations&) = delete;

    // True when the hand-over window exists; without it a call from another thread throws
    // rather than run where it must not.
    bool Ready() const { return window_.get() != nullptr; }

    HWND MainWindow() override;
    bool HasActionManager() override;
    std::wstring CurrentSceneFileName() override;
    std::wstring CurrentSceneFilePath() override;
    bool SaveScene() override;
    bool SaveSceneTo(const std::wstring& path) override;
    std::unique_ptr<IScriptValue> CreateScriptValue() override;
    int ExecuteMAXScript(const std::wstring& script, IScriptValue& result) override;
    void SetCheckBox(HWND dialog, int controlId, bool checked) override;
    void SetWindowTextInt(HWND window, int value) override;
    void SetWindowTextFloat(HWND window, float value, int precision) override;
    std::unique_ptr<ISpinner> SetupFloatSpinner(HWND dialog, int spinnerId, int editId,
        float minimum, float maximum, float value, float scale) override;
    std::unique_ptr<ISpinner> GetSpinner(HWND spinnerWindow) override;
    std::unique_ptr<IToolTip> AttachToolTip(HWND control, const std::wstring& text) override;
    GUID CreateGuid() override;
    // Switches the thread that asks, so it is never handed over.
    void UseLanguagePackLocale() override;
    bool PostToMainThread(std::function<void()> work) override;
    void ForgetEndedHostActivities() override;

    // Runs work on the host's thread and returns when it has run. An exception thrown by the
    // work is carried back and thrown again here, on the caller's thread; a call that can no
    // longer be served (Close) throws std::runtime_error instead of waiting for ever. A call
    // that has not started gives up with HostCallAbandoned when `cancelled` (SetCancelCheck)
    // answers true while it is held behind a host operation, and when the host has not taken it
    // within the call limit.
    void Run(const std::function<void()>& work);

    // Set before any other thread calls: asked, from the waiting thread, whether the artist has
    // cancelled what the call is for.
    void SetCancelCheck(std::function<bool()> cancelled) { cancelled_ = std::move(cancelled); }
    void SetCallLimit(DWORD milliseconds) { callLimitMs_ = milliseconds; }

    template <typename Result, typename Work>
    Result Call(Work&& work) {
        Result result{};
        Run([&] { result = work(); });
        return result;
    }

    // The host's notifications, on its thread: handed-over calls wait while any activity runs.
    // Each activity is a flag, not a count, so that an "after" the host never sends (a failed
    // save) is made good by the next operation of that kind, by the plug-in's own save
    // returning, or by ForgetEndedHostActivities.
    void ActivityStarted(HostActivity activity);
    void ActivityEnded(HostActivity activity);
    bool InHostActivity() const { return activities_ != 0; }

    // On the host's thread: serves handed-over calls (and nothing else) until `finished` answers
    // true or `timeoutMs` has passed; true when it finished. For a thread that must wait for a
    // worker which may still need the host.
    [[nodiscard]] bool ServeUntil(const std::function<bool()>& finished, DWORD timeoutMs);

    // Every waiting call and every later one fails at once: the host is going away.
    void Close();
    bool Closed();

private:
    struct HandOver;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Dispatch(uint64_t id);
    // On the host's thread: true when no host operation, menu, message box or modal window runs.
    bool HostIdle();
    void RetryDeferred();
    bool SaveAndForgetSaving(const std::function<bool()>& save);
    // Ends a hand-over that will not run: a waiting caller gets `error`, a posted one is dropped.
    static void Fail(HandOver* task, std::exception_ptr error);
    void ReleaseHeld();
    void PostAgain(std::deque<uint64_t>& ids);

    IHostOperations& host_;
    DWORD thread_;
    UniqueHwnd window_;
    std::mutex lock_;
    std::map<uint64_t, HandOver*> waiting_;  // posted and neither run nor failed yet
    uint64_t nextId_ = 1;
    bool closed_ = false;
    std::function<bool()> cancelled_;
    DWORD callLimitMs_;
    // Written on the host's thread; read by waiting callers to name what the host is busy with.
    std::atomic<unsigned> activities_{0};
    // The host's thread alone touches these.
    unsigned startedInModalLoop_ = 0;   // activities that began while the main window was disabled
    std::deque<uint64_t> held_;
    std::deque<uint64_t> deferred_;     // posted work waiting for the host to be idle
};

} // namespace rud
