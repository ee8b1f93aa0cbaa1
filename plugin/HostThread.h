#pragma once
// Every host operation on the thread that loaded the plug-in.
//
// 3ds Max wants MAXScript, scene saving and loading, and its custom controls on its main
// thread; called from another thread they can corrupt or crash the host and take the artist's
// unsaved scene with them. The submission worker therefore does not call the host itself: this
// adapter hands each call to the host's thread and waits for its answer. The hand-over is a
// message-only window of the host's thread reached with SendMessage, which the host's own
// message loop and every modal loop on that thread (dialogs, message boxes) serve.
#include "plugin/HostOperations.h"

#include <functional>

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
    bool Ready() const { return window_ != nullptr; }

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

    // Runs work on the host's thread and returns when it has run. An exception thrown by the
    // work is carried back and thrown again here, on the caller's thread.
    void Run(const std::function<void()>& work);

    template <typename Result, typename Work>
    Result Call(Work&& work) {
        Result result{};
        Run([&] { result = work(); });
        return result;
    }

private:
    IHostOperations& host_;
    DWORD thread_;
    HWND window_ = nullptr;
};

} // namespace rud
