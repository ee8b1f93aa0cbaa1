#pragma once
// A host that records what the plug-in asks and answers as the test tells it.
#include "host/HostOperations.h"

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace rudtest {

class FakeSpinner;

class FakeHost : public rud::IHostOperations {
public:
    HWND MainWindow() override { return mainWindow; }
    bool HasActionManager() override { return hasActionManager; }
    std::wstring CurrentSceneFileName() override { return sceneFileName; }
    std::wstring CurrentSceneFilePath() override { return sceneFilePath; }
    bool SaveScene() override;
    bool SaveSceneTo(const std::wstring& path) override;
    std::unique_ptr<rud::IScriptValue> CreateScriptValue() override;
    int ExecuteMAXScript(const std::wstring& script, rud::IScriptValue& result) override;
    void SetCheckBox(HWND dialog, int controlId, bool checked) override;
    void SetWindowTextInt(HWND window, int value) override;
    void SetWindowTextFloat(HWND window, float value, int precision) override;
    std::unique_ptr<rud::ISpinner> SetupFloatSpinner(HWND dialog, int spinnerId, int editId,
        float minimum, float maximum, float value, float scale) override;
    std::unique_ptr<rud::ISpinner> GetSpinner(HWND spinnerWindow) override;
    std::unique_ptr<rud::IToolTip> AttachToolTip(HWND control, const std::wstring& text) override;
    GUID CreateGuid() override;
    void UseLanguagePackLocale() override;

    // What the fake answers.
    HWND mainWindow = nullptr;
    bool hasActionManager = true;
    std::wstring sceneFileName;
    std::wstring sceneFilePath;
    bool saveSucceeds = true;
    // Called for each script; its answer is ExecuteMAXScript's. Default: answer 1.
    std::function<int(const std::wstring& script)> onScript;
    // Sets onScript to play the analysis script: it writes `result` to the script's result path
    // and a log beside it, and answers `answer`; every other script answers 1.
    void AnswerAnalysis(const std::string& result, int answer = 1);

    // What the fake saw.
    int saveCount = 0;
    std::vector<std::wstring> savedTo;
    std::vector<std::wstring> scripts;
    int liveScriptValues = 0;   // Init without Free
    int scriptValuesCreated = 0;
    // Threads that switched to the language pack (the plug-in's threads call it from their own).
    std::mutex languagePackLock;
    std::set<DWORD> languagePackThreads;
    // Spinner state by spinner window (the fake keeps value and enabled flag per window).
    struct SpinnerState { float value = 0; bool enabled = true; float minimum = 0, maximum = 0; };
    std::map<HWND, SpinnerState> spinners;
};

// Installs a FakeHost as the plug-in's host for the lifetime of the object.
class ScopedFakeHost {
public:
    ScopedFakeHost();
    ~ScopedFakeHost();
    FakeHost host;
};

// Registers the window classes "SpinnerControl" and "CustEdit" (the host's custom controls named
// in dialog templates; the fake CustEdit behaves as a plain edit) so that templates load without
// 3ds Max. Idempotent.
void RegisterFakeSpinnerClass();

} // namespace rudtest
