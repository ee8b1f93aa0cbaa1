#pragma once
// The host operations carried out with the 3ds Max SDK.
#include "host/HostOperations.h"

namespace rud {

class MaxHostOperations final : public IHostOperations {
public:
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
    void UseLanguagePackLocale() override;
};

} // namespace rud
