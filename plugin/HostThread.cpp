#include "plugin/HostThread.h"

#include <exception>
#include <stdexcept>
#include <utility>

namespace rud {
namespace {

const wchar_t kWindowClass[] = L"RUDRenderingHostThread";
constexpr UINT kRunMessage = WM_APP + 18;

struct Task {
    const std::function<void()>* work;
    std::exception_ptr error;
    bool ran;
};

// Nothing may leave a window procedure: the work's exception travels back in the task.
LRESULT CALLBACK HostThreadWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kRunMessage || !lParam) return ::DefWindowProcW(window, message, wParam, lParam);
    auto* task = reinterpret_cast<Task*>(lParam);
    try {
        (*task->work)();
    } catch (...) {
        task->error = std::current_exception();
    }
    task->ran = true;
    return 0;
}

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    (void)::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               reinterpret_cast<LPCWSTR>(&HostThreadWindowProc), &module);
    return module;
}

// A host object handed to another thread: released on the host's thread, as it was made there.
template <class Object>
struct HeldOnHostThread {
    HeldOnHostThread(HostThreadOperations& hostThread, std::unique_ptr<Object> held)
        : owner(hostThread), object(std::move(held)) {}
    ~HeldOnHostThread() {
        try {
            owner.Run([this] { object.reset(); });
        } catch (...) {
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

HostThreadOperations::HostThreadOperations(IHostOperations& host)
    : host_(host), thread_(::GetCurrentThreadId()) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = HostThreadWindowProc;
    windowClass.hInstance = ThisModule();
    windowClass.lpszClassName = kWindowClass;
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
    window_ = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), nullptr);
}

HostThreadOperations::~HostThreadOperations() {
    if (window_) ::DestroyWindow(window_);
    // Fails while another instance still has a window: that one keeps the class.
    (void)::UnregisterClassW(kWindowClass, ThisModule());
}

void HostThreadOperations::Run(const std::function<void()>& work) {
    if (::GetCurrentThreadId() == thread_) {
        work();
        return;
    }
    // Running it here instead would be the very fault this adapter exists to prevent.
    if (!window_) throw std::runtime_error("the host's thread cannot be reached");
    Task task{&work, nullptr, false};
    ::SendMessageW(window_, kRunMessage, 0, reinterpret_cast<LPARAM>(&task));
    if (task.error) std::rethrow_exception(task.error);
    if (!task.ran) throw std::runtime_error("the host's thread did not run the call");
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
