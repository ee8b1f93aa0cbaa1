#include "host/HostThread.h"

#include "core/MessageBoxes.h"

#include <exception>
#include <stdexcept>
#include <utility>

namespace rud {
namespace {

const wchar_t kWindowClass[] = L"RUDRenderingHostThread";
constexpr UINT kRunMessage = WM_APP + 18;
constexpr UINT_PTR kRetryTimer = 1;
// How often posted work looks again whether the host has become idle.
constexpr UINT kRetryMs = 250;
// How long a caller waits for the host to take its call: beyond the save of a very heavy scene,
// so that only a host that stays busy (or a flag whose "after" never came) ends the wait.
constexpr DWORD kCallLimitMs = 120000;
// How often a waiting caller looks at the artist's Cancel.
constexpr DWORD kWaitSliceMs = 50;

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    (void)::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

unsigned ActivityBit(HostActivity activity) { return 1u << static_cast<int>(activity); }

int FirstActivity(unsigned activities) {
    for (int activity = 0; activity < 32; ++activity)
        if (activities & (1u << activity)) return activity;
    return kNoHostActivity;
}

// A host object handed to another thread: released on the host's thread, as it was made there.
// When the host can no longer be reached the object is left alone: released here it would be
// released on the wrong thread, and 3ds Max is going away with it anyway.
template <class Object>
struct HeldOnHostThread {
    HeldOnHostThread(HostThreadOperations& hostThread, std::unique_ptr<Object> held)
        : owner(hostThread), object(std::move(held)) {}
    ~HeldOnHostThread() {
        try {
            owner.Run([this] { object.reset(); });
        } catch (...) {
            (void)object.release();
        }
    }
    HeldOnHostThread(const HeldOnHostThread&) = delete;
    HeldOnHostThread& operator=(const HeldOnHostThread&) = delete;

    HostThreadOperations& owner;
    std::unique_ptr<Object> object;
};

// What a handed-over object does, it does on the host's thread.
class HostThreadScriptValue final : public IScriptValue {
public:
    HostThreadScriptValue(HostThreadOperations& owner, std::unique_ptr<IScriptValue> value)
        : held_(owner, std::move(value)) {}
    IScriptValue& Value() { return *held_.object; }
private:
    HeldOnHostThread<IScriptValue> held_;
};

class HostThreadSpinner final : public ISpinner {
public:
    HostThreadSpinner(HostThreadOperations& owner, std::unique_ptr<ISpinner> spinner)
        : held_(owner, std::move(spinner)) {}
    void SetValue(float value) override { held_.owner.Run([&] { held_.object->SetValue(value); }); }
    float GetValue() override { return held_.owner.Call<float>([&] { return held_.object->GetValue(); }); }
    void Enable(bool enabled) override { held_.owner.Run([&] { held_.object->Enable(enabled); }); }
    bool IsEnabled() override { return held_.owner.Call<bool>([&] { return held_.object->IsEnabled(); }); }
private:
    HeldOnHostThread<ISpinner> held_;
};

class HostThreadToolTip final : public IToolTip {
public:
    HostThreadToolTip(HostThreadOperations& owner, std::unique_ptr<IToolTip> tip) : held_(owner, std::move(tip)) {}
private:
    HeldOnHostThread<IToolTip> held_;
};

} // namespace

// One call waiting for the host's thread; it lives on the caller's stack until `done` is set.
struct HostThreadOperations::HandOver {
    const std::function<void()>* work = nullptr;
    std::exception_ptr error;
    bool ran = false;
    std::atomic<bool> held{false};   // set by the host's thread while a host operation holds it
    UniqueHandle done;
    // A posted hand-over owns its work and itself: nobody waits for it.
    std::function<void()> ownWork;
    bool posted = false;
};

void HostThreadOperations::Fail(HandOver* task, std::exception_ptr error) {
    if (task->posted) {
        delete task;
        return;
    }
    task->error = std::move(error);
    ::SetEvent(task->done.get());
}

HostThreadOperations::HostThreadOperations(IHostOperations& host)
    : host_(host), thread_(::GetCurrentThreadId()), callLimitMs_(kCallLimitMs) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ThisModule();
    windowClass.lpszClassName = kWindowClass;
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
    window_.reset(::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), nullptr));
    if (window_) ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HostThreadOperations::~HostThreadOperations() {
    Close();
    window_.reset();
    // Fails while another instance still has a window: that one keeps the class.
    (void)::UnregisterClassW(kWindowClass, ThisModule());
}

// Nothing may leave a window procedure: the work's exception travels back in the hand-over.
LRESULT CALLBACK HostThreadOperations::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool retry = message == WM_TIMER && wParam == kRetryTimer;
    if (message != kRunMessage && !retry) return ::DefWindowProcW(window, message, wParam, lParam);
    auto* self = reinterpret_cast<HostThreadOperations*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    try {
        if (self && retry) self->RetryDeferred();
        else if (self) self->Dispatch(static_cast<uint64_t>(wParam));
    } catch (...) {
    }
    return 0;
}

bool HostThreadOperations::HostIdle() {
    if (activities_ != 0 || MessageBoxUpOnThisThread()) return false;
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    constexpr DWORD kModalModes = GUI_INMENUMODE | GUI_INMOVESIZE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE;
    if (::GetGUIThreadInfo(thread_, &gui) && (gui.flags & kModalModes)) return false;
    // Any modal window of the host's thread (ours, a message box, a file dialog, a question
    // asked as 3ds Max quits) disables 3ds Max's window for as long as its loop runs.
    HWND main = host_.MainWindow();
    return !main || (::IsWindow(main) && ::IsWindowEnabled(main));
}

void HostThreadOperations::RetryDeferred() {
    if (window_) ::KillTimer(window_.get(), kRetryTimer);
    PostAgain(deferred_);
}

// Posts each hand-over again; one that cannot be posted fails (work nobody waits for is dropped).
void HostThreadOperations::PostAgain(std::deque<uint64_t>& ids) {
    std::deque<uint64_t> again;
    again.swap(ids);
    for (uint64_t id : again) {
        if (window_ && ::PostMessageW(window_.get(), kRunMessage, static_cast<WPARAM>(id), 0)) continue;
        HandOver* task = nullptr;
        {
            std::lock_guard<std::mutex> guard(lock_);
            auto found = waiting_.find(id);
            if (found == waiting_.end()) continue;
            task = found->second;
            waiting_.erase(found);
        }
        Fail(task, std::make_exception_ptr(std::runtime_error("the host's thread cannot be reached")));
    }
}

void HostThreadOperations::Dispatch(uint64_t id) {
    bool posted = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = waiting_.find(id);
        if (found == waiting_.end()) return;  // failed by Close or given up meanwhile
        posted = found->second->posted;
    }
    // Work that nobody waits for waits for a host with nothing else under way.
    const bool deferred = posted && activities_ == 0 && !HostIdle();
    HandOver* task = nullptr;
    {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = waiting_.find(id);
        if (found == waiting_.end()) return;
        // Dispatched by a loop inside the host's own save, open, reset or render: its turn
        // comes after the operation.
        if (activities_ != 0) {
            found->second->held = true;
            held_.push_back(id);
            return;
        }
        if (deferred) {
            deferred_.push_back(id);
            if (window_) (void)::SetTimer(window_.get(), kRetryTimer, kRetryMs, nullptr);
            return;
        }
        task = found->second;
        waiting_.erase(found);
    }
    if (task->posted) {
        std::unique_ptr<HandOver> owned(task);
        owned->ownWork();   // the window procedure catches what it throws
        return;
    }
    try {
        (*task->work)();
    } catch (...) {
        task->error = std::current_exception();
    }
    task->ran = true;
    ::SetEvent(task->done.get());  // the caller may free the hand-over from here on
}

void HostThreadOperations::ActivityStarted(HostActivity activity) {
    const unsigned bit = ActivityBit(activity);
    HWND main = host_.MainWindow();
    if (main && !::IsWindowEnabled(main)) startedInModalLoop_ |= bit;
    else startedInModalLoop_ &= ~bit;
    activities_ |= bit;
}

void HostThreadOperations::ActivityEnded(HostActivity activity) {
    activities_ &= ~ActivityBit(activity);
    if (activities_ == 0) ReleaseHeld();
}

// An operation that began while 3ds Max's window was enabled began from the host's own loop;
// our modal dialog, opened from that loop only when idle, cannot be running inside it. One that
// began inside a modal loop (an autobackup's timer under our dialog) may be running around the
// caller still, and keeps its flag.
void HostThreadOperations::ForgetEndedHostActivities() {
    if (::GetCurrentThreadId() != thread_) return;
    const unsigned ended = activities_ & ~startedInModalLoop_;
    if (ended == 0) return;
    activities_ &= ~ended;
    if (activities_ == 0) ReleaseHeld();
}

// The host sends no "after" for a save that failed: the plug-in's own save ends its flag itself.
bool HostThreadOperations::SaveAndForgetSaving(const std::function<bool()>& save) {
    struct SavingEnds {
        HostThreadOperations& owner;
        ~SavingEnds() { owner.ActivityEnded(HostActivity::kSaving); }
    };
    return Call<bool>([&] {
        const SavingEnds ends{*this};
        return save();
    });
}

// The "after" notification still comes from inside the host's operation: held calls are posted
// again, so that they run once the host is back in a loop of its own.
void HostThreadOperations::ReleaseHeld() { PostAgain(held_); }

bool HostThreadOperations::ServeUntil(const std::function<bool()>& finished, DWORD timeoutMs) {
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        if (finished()) return true;
        const ULONGLONG elapsed = ::GetTickCount64() - start;
        if (elapsed >= timeoutMs) return false;
        const DWORD slice = static_cast<DWORD>(timeoutMs - elapsed < 50 ? timeoutMs - elapsed : 50);
        (void)::MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_POSTMESSAGE | QS_SENDMESSAGE);
        MSG message;
        while (window_ && ::PeekMessageW(&message, window_.get(), kRunMessage, kRunMessage, PM_REMOVE))
            ::DispatchMessageW(&message);
    }
}

void HostThreadOperations::Close() {
    std::map<uint64_t, HandOver*> failing;
    {
        std::lock_guard<std::mutex> guard(lock_);
        closed_ = true;
        failing.swap(waiting_);
    }
    for (auto& entry : failing)
        Fail(entry.second, std::make_exception_ptr(std::runtime_error("3ds Max is closing: the call was not run")));
}

bool HostThreadOperations::Closed() {
    std::lock_guard<std::mutex> guard(lock_);
    return closed_;
}

void HostThreadOperations::Run(const std::function<void()>& work) {
    if (::GetCurrentThreadId() == thread_) {
        work();
        return;
    }
    HandOver task;
    task.work = &work;
    task.done.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!task.done) throw std::runtime_error("the host's thread cannot be reached");
    uint64_t id = 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        // Running it here instead would be the very fault this adapter exists to prevent.
        if (closed_ || !window_) throw std::runtime_error("the host's thread cannot be reached");
        id = nextId_++;
        waiting_[id] = &task;
    }
    if (!::PostMessageW(window_.get(), kRunMessage, static_cast<WPARAM>(id), 0)) {
        std::lock_guard<std::mutex> guard(lock_);
        if (waiting_.erase(id)) throw std::runtime_error("the host's thread cannot be reached");
    }
    // Set once the host's thread has run the call, or by Close; bounded by the Cancel of a held
    // call and by the call limit.
    const ULONGLONG start = ::GetTickCount64();
    while (::WaitForSingleObject(task.done.get(), kWaitSliceMs) != WAIT_OBJECT_0) {
        const bool held = task.held.load();
        const bool cancelled = held && cancelled_ && cancelled_();
        if (!cancelled && ::GetTickCount64() - start < callLimitMs_) continue;
        {
            std::lock_guard<std::mutex> guard(lock_);
            // Already running: the host's thread returns it, as any call of its own.
            if (!waiting_.erase(id)) continue;
        }
        throw HostCallAbandoned(cancelled, held ? FirstActivity(activities_.load()) : kNoHostActivity);
    }
    if (task.error) std::rethrow_exception(task.error);
    if (!task.ran) throw std::runtime_error("the host's thread did not run the call");
}

bool HostThreadOperations::PostToMainThread(std::function<void()> work) {
    auto task = std::make_unique<HandOver>();
    task->posted = true;
    task->ownWork = std::move(work);
    uint64_t id = 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (closed_ || !window_) return false;
        id = nextId_++;
        waiting_[id] = task.get();
    }
    if (!::PostMessageW(window_.get(), kRunMessage, static_cast<WPARAM>(id), 0)) {
        std::lock_guard<std::mutex> guard(lock_);
        if (!waiting_.erase(id)) (void)task.release();   // Close took it and freed it
        return false;
    }
    (void)task.release();   // the host's thread or Close frees it now
    return true;
}

HWND HostThreadOperations::MainWindow() { return Call<HWND>([&] { return host_.MainWindow(); }); }

bool HostThreadOperations::HasActionManager() { return Call<bool>([&] { return host_.HasActionManager(); }); }

std::wstring HostThreadOperations::CurrentSceneFileName() {
    return Call<std::wstring>([&] { return host_.CurrentSceneFileName(); });
}

std::wstring HostThreadOperations::CurrentSceneFilePath() {
    return Call<std::wstring>([&] { return host_.CurrentSceneFilePath(); });
}

bool HostThreadOperations::SaveScene() { return SaveAndForgetSaving([&] { return host_.SaveScene(); }); }

bool HostThreadOperations::SaveSceneTo(const std::wstring& path) {
    return SaveAndForgetSaving([&] { return host_.SaveSceneTo(path); });
}

std::unique_ptr<IScriptValue> HostThreadOperations::CreateScriptValue() {
    auto value = Call<std::unique_ptr<IScriptValue>>([&] { return host_.CreateScriptValue(); });
    if (!value) return nullptr;
    return std::make_unique<HostThreadScriptValue>(*this, std::move(value));
}

int HostThreadOperations::ExecuteMAXScript(const std::wstring& script, IScriptValue& result) {
    auto* handedOver = dynamic_cast<HostThreadScriptValue*>(&result);
    IScriptValue& value = handedOver ? handedOver->Value() : result;
    return Call<int>([&] { return host_.ExecuteMAXScript(script, value); });
}

void HostThreadOperations::SetCheckBox(HWND dialog, int controlId, bool checked) {
    Run([&] { host_.SetCheckBox(dialog, controlId, checked); });
}

void HostThreadOperations::SetWindowTextInt(HWND window, int value) {
    Run([&] { host_.SetWindowTextInt(window, value); });
}

void HostThreadOperations::SetWindowTextFloat(HWND window, float value, int precision) {
    Run([&] { host_.SetWindowTextFloat(window, value, precision); });
}

std::unique_ptr<ISpinner> HostThreadOperations::SetupFloatSpinner(HWND dialog, int spinnerId, int editId,
    float minimum, float maximum, float value, float scale) {
    auto spinner = Call<std::unique_ptr<ISpinner>>(
        [&] { return host_.SetupFloatSpinner(dialog, spinnerId, editId, minimum, maximum, value, scale); });
    if (!spinner) return nullptr;
    return std::make_unique<HostThreadSpinner>(*this, std::move(spinner));
}

std::unique_ptr<ISpinner> HostThreadOperations::GetSpinner(HWND spinnerWindow) {
    auto spinner = Call<std::unique_ptr<ISpinner>>([&] { return host_.GetSpinner(spinnerWindow); });
    if (!spinner) return nullptr;
    return std::make_unique<HostThreadSpinner>(*this, std::move(spinner));
}

std::unique_ptr<IToolTip> HostThreadOperations::AttachToolTip(HWND control, const std::wstring& text) {
    auto tip = Call<std::unique_ptr<IToolTip>>([&] { return host_.AttachToolTip(control, text); });
    if (!tip) return nullptr;
    return std::make_unique<HostThreadToolTip>(*this, std::move(tip));
}

GUID HostThreadOperations::CreateGuid() { return Call<GUID>([&] { return host_.CreateGuid(); }); }

void HostThreadOperations::UseLanguagePackLocale() { host_.UseLanguagePackLocale(); }

} // namespace rud
