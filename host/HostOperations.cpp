#include "host/HostOperations.h"

#include <objbase.h>

#include <atomic>

namespace rud {
namespace {

// Outside 3ds Max (or before the entry point has installed the adapter) every operation fails
// quietly: no scene, no script runs, no spinners.
class NullHost final : public IHostOperations {
public:
    HWND MainWindow() override { return nullptr; }
    bool HasActionManager() override { return false; }
    std::wstring CurrentSceneFileName() override { return {}; }
    std::wstring CurrentSceneFilePath() override { return {}; }
    bool SaveScene() override { return false; }
    bool SaveSceneTo(const std::wstring&) override { return false; }
    std::unique_ptr<IScriptValue> CreateScriptValue() override { return std::make_unique<IScriptValue>(); }
    int ExecuteMAXScript(const std::wstring&, IScriptValue&) override { return 0; }
    void SetCheckBox(HWND dialog, int controlId, bool checked) override {
        ::CheckDlgButton(dialog, controlId, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    void SetWindowTextInt(HWND window, int value) override {
        ::SetWindowTextW(window, std::to_wstring(value).c_str());
    }
    void SetWindowTextFloat(HWND window, float value, int precision) override {
        wchar_t text[64];
        swprintf(text, 64, L"%.*f", precision, static_cast<double>(value));
        ::SetWindowTextW(window, text);
    }
    std::unique_ptr<ISpinner> SetupFloatSpinner(HWND, int, int, float, float, float, float) override {
        return nullptr;
    }
    std::unique_ptr<ISpinner> GetSpinner(HWND) override { return nullptr; }
    std::unique_ptr<IToolTip> AttachToolTip(HWND, const std::wstring&) override { return nullptr; }
    GUID CreateGuid() override {
        GUID guid{};
        if (FAILED(::CoCreateGuid(&guid))) guid = GUID{};
        return guid;
    }
    void UseLanguagePackLocale() override {}
};

NullHost nullHost;
std::atomic<IHostOperations*> currentHost{nullptr};

} // namespace

IHostOperations& Host() {
    IHostOperations* host = currentHost.load();
    return host ? *host : nullHost;
}

void SetHost(IHostOperations* host) { currentHost.store(host); }

} // namespace rud
