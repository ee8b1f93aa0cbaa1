#include "host/HostThread.h"

#include <exception>
#include <stdexcept>
#include <utility>

namespace rud {
namespace {

const wchar_t kWindowClass[] = L"RUDRenderingHostThread";
constexpr UINT kRunMessage = WM_APP + 18;

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    (void)::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

unsigned ActivityBit(HostActivity activity) { return 1u << static_cast<int>(activity); }

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
    : host_(host), thread_(::GetCurrentThreadId()) {
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
    if (message != kRunMessage) return ::DefWindowProcW(window, message, wParam, lParam);
    auto* self = reinterpret_cast<HostThreadOperations*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    try {
        if (self) self->Dispatch(static_cast<uint64_t>(wParam));
    } catch (...) {
    }
    return 0;
}

void HostThreadOperations::Dispatch(uint64_t id) {
    HandOver* task = nullptr;
    {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = waiting_.find(id);
        if (found == waiting_.end()) return;  // failed by Close meanwhile
        // Dispatched by a loop inside the host's own save, open, reset or render: its turn
        // comes after the operation.
        if (activities_ != 0) {
            held_.push_back(id);
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

void HostThreadOperations::ActivityStarted(HostActivity activity) { activities_ |= ActivityBit(activity); }

void HostThreadOperations::ActivityEnded(HostActivity activity) {
    activities_ &= ~ActivityBit(activity);
    if (activities_ == 0) ReleaseHeld();
}

// The "after" notification still comes from inside the host's operation: held calls are posted
// again, so that they run once the host is back in a loop of its own.
void HostThreadOperations::ReleaseHeld() {
    while (!held_.empty()) {
        const uint64_t id = held_.front();
        held_.pop_front();
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
    // Set once the host's thread has run the call, or by Close.
    ::WaitForSingleObject(task.done.get(), INFINITE);
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

bool HostThreadOperations::SaveScene() { return Call<bool>([&] { return host_.SaveScene(); }); }

bool HostThreadOperations::SaveSceneTo(const std::wstring& path) {
    return Call<bool>([&] { return host_.SaveSceneTo(path); });
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
