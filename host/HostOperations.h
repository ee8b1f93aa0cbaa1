#pragma once
// Everything the plug-in asks of 3ds Max, as one interface. The product code outside host/
// reaches the host only through Host(); host/MaxHostOperations.cpp adapts the real SDK calls
// (GetCOREInterface, ExecuteMAXScriptScript, SetCheckBox, spinners, ToolTipExtender, ...),
// and tests install a fake. No 3ds Max SDK header is included here on purpose.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace rud {

// A host value holder for MAXScript results (FPValue): prepared with Init when created,
// released with Free when destroyed.
class IScriptValue {
public:
    virtual ~IScriptValue() = default;
};

// The host's float spinner control (ISpinnerControl); released (ReleaseISpinner) on destruction.
class ISpinner {
public:
    virtual ~ISpinner() = default;
    virtual void SetValue(float value) = 0;
    virtual float GetValue() = 0;
    virtual void Enable(bool enabled) = 0;
    virtual bool IsEnabled() = 0;
};

// A tooltip attached to one control (ToolTipExtender); removed when destroyed.
class IToolTip {
public:
    virtual ~IToolTip() = default;
};

class IHostOperations {
public:
    virtual ~IHostOperations() = default;

    // The host's main window: owner of the main dialog.
    virtual HWND MainWindow() = 0;
    // True when the host offers an action manager (no manager: no actions are registered).
    virtual bool HasActionManager() = 0;

    // The open scene: file name with extension and full path; both empty when never saved.
    virtual std::wstring CurrentSceneFileName() = 0;
    virtual std::wstring CurrentSceneFilePath() = 0;
    // Saves the open scene to its own file / to the given path (flags 1, 1). True on success.
    virtual bool SaveScene() = 0;
    virtual bool SaveSceneTo(const std::wstring& path) = 0;

    // MAXScript: ExecuteMAXScriptScript(text, script source 2, quiet errors 0, &value, log 1).
    // Returns the host's answer unchanged (1 when the script ran without error, 0 otherwise).
    virtual std::unique_ptr<IScriptValue> CreateScriptValue() = 0;
    virtual int ExecuteMAXScript(const std::wstring& script, IScriptValue& result) = 0;

    // Control helpers of the host (SetCheckBox, SetWindowTextInt, SetWindowTextFloat).
    virtual void SetCheckBox(HWND dialog, int controlId, bool checked) = 0;
    virtual void SetWindowTextInt(HWND window, int value) = 0;
    virtual void SetWindowTextFloat(HWND window, float value, int precision) = 0;

    // Spinners: SetupFloatSpinner on a dialog's spinner and buddy edit, or GetISpinner on an
    // existing spinner window. Null when the control is not a host spinner.
    virtual std::unique_ptr<ISpinner> SetupFloatSpinner(HWND dialog, int spinnerId, int editId,
        float minimum, float maximum, float value, float scale) = 0;
    virtual std::unique_ptr<ISpinner> GetSpinner(HWND spinnerWindow) = 0;

    // Tooltips (ToolTipExtender::SetToolTip).
    virtual std::unique_ptr<IToolTip> AttachToolTip(HWND control, const std::wstring& text) = 0;

    // A fresh GUID (MaxSDK::MaxGuid::CreateMaxGuid).
    virtual GUID CreateGuid() = 0;

    // Switches the calling thread to the host's language pack (MaxSDK::Util::UseLanguagePackLocale);
    // every thread the plug-in starts calls it first.
    virtual void UseLanguagePackLocale() = 0;
    // Queues `work` for the host's main thread, to run when its message loop is next free, and
    // returns at once; false when nothing could be queued. For what must begin on that thread
    // after the caller is gone, such as a dialog opened again once a run has ended.
    virtual bool PostToMainThread(std::function<void()> work) {
        (void)work;
        return false;
    }
    // On the host's thread, where none of the host's own operations can still be running (the
    // command handler of our modal dialog, opened from the host's idle loop): forgets the saves,
    // opens, resets and renders whose "after" notification never came, so that they hold no call.
    virtual void ForgetEndedHostActivities() {}
};

// The host in use. Before SetHost (or after SetHost(nullptr)) a null host answers every call
// with failure or emptiness, so nothing crashes outside 3ds Max.
IHostOperations& Host();
void SetHost(IHostOperations* host);

} // namespace rud
