#include "host/MaxHostOperations.h"

#include <max.h>

#include <MaxGuid.h>
#include <custcont.h>
#include <ifnpub.h>
#include <maxscript/maxscript.h>
#include <systemutilities.h>
#include <winutil.h>

namespace rud {
namespace {

// FPValue's own destructor frees what the host left in it (an error text after a failed
// script); freeing it here as well would free twice.
class MaxScriptValue final : public IScriptValue {
public:
    MaxScriptValue() { value.Init(); }
    FPValue value;
};

class MaxSpinner final : public ISpinner {
public:
    explicit MaxSpinner(ISpinnerControl* control) : control_(control) {}
    ~MaxSpinner() override { ReleaseISpinner(control_); }
    MaxSpinner(const MaxSpinner&) = delete;
    MaxSpinner& operator=(const MaxSpinner&) = delete;
    void SetValue(float value) override { control_->SetValue(value, FALSE); }
    float GetValue() override { return control_->GetFVal(); }
    void Enable(bool enabled) override { control_->Enable(enabled ? TRUE : FALSE); }
    bool IsEnabled() override { return control_->IsEnabled() != FALSE; }
private:
    ISpinnerControl* control_;
};

class MaxToolTip final : public IToolTip {
public:
    MaxToolTip(HWND control, const std::wstring& text) : extender_(new ToolTipExtender) {
        extender_->SetToolTip(control, MSTR(text.c_str()));
    }
    ~MaxToolTip() override {
        extender_->RemoveToolTips();
        delete extender_;
    }
    MaxToolTip(const MaxToolTip&) = delete;
    MaxToolTip& operator=(const MaxToolTip&) = delete;
private:
    ToolTipExtender* extender_;
};

std::unique_ptr<ISpinner> Wrap(ISpinnerControl* control) {
    if (!control) return nullptr;
    return std::make_unique<MaxSpinner>(control);
}

} // namespace

HWND MaxHostOperations::MainWindow() {
    Interface* core = GetCOREInterface();
    return core ? core->GetMAXHWnd() : nullptr;
}

bool MaxHostOperations::HasActionManager() {
    Interface* core = GetCOREInterface();
    return core && core->GetActionManager();
}

std::wstring MaxHostOperations::CurrentSceneFileName() {
    Interface* core = GetCOREInterface();
    return core ? std::wstring(core->GetCurFileName().data()) : std::wstring();
}

std::wstring MaxHostOperations::CurrentSceneFilePath() {
    Interface* core = GetCOREInterface();
    return core ? std::wstring(core->GetCurFilePath().data()) : std::wstring();
}

bool MaxHostOperations::SaveScene() {
    Interface* core = GetCOREInterface();
    return core && core->FileSave() != FALSE;
}

bool MaxHostOperations::SaveSceneTo(const std::wstring& path) {
    Interface* core = GetCOREInterface();
    return core && core->SaveToFile(path.c_str(), TRUE, TRUE) != 0;
}

std::unique_ptr<IScriptValue> MaxHostOperations::CreateScriptValue() {
    return std::make_unique<MaxScriptValue>();
}

int MaxHostOperations::ExecuteMAXScript(const std::wstring& script, IScriptValue& result) {
    auto* holder = dynamic_cast<MaxScriptValue*>(&result);
    MaxScriptValue local;
    FPValue& value = holder ? holder->value : local.value;
    return ExecuteMAXScriptScript(script.c_str(), MAXScript::ScriptSource::NonEmbedded, FALSE, &value, TRUE);
}

void MaxHostOperations::SetCheckBox(HWND dialog, int controlId, bool checked) {
    ::SetCheckBox(dialog, controlId, checked ? TRUE : FALSE);
}

void MaxHostOperations::SetWindowTextInt(HWND window, int value) { (void)::SetWindowTextInt(window, value); }

void MaxHostOperations::SetWindowTextFloat(HWND window, float value, int precision) {
    (void)::SetWindowTextFloat(window, value, precision);
}

std::unique_ptr<ISpinner> MaxHostOperations::SetupFloatSpinner(HWND dialog, int spinnerId, int editId,
    float minimum, float maximum, float value, float scale) {
    std::unique_ptr<ISpinner> spinner =
        Wrap(::SetupFloatSpinner(dialog, spinnerId, editId, minimum, maximum, value, scale));
    // A value typed into the linked edit applies on Enter and also when the artist just moves on
    // to another field; the dialogs rely on both, so neither is left to the control's default.
    if (ICustEdit* edit = GetICustEdit(::GetDlgItem(dialog, editId))) {
        edit->SetNotifyOnKillFocus(TRUE);
        ReleaseICustEdit(edit);
    }
    return spinner;
}

std::unique_ptr<ISpinner> MaxHostOperations::GetSpinner(HWND spinnerWindow) {
    return Wrap(GetISpinner(spinnerWindow));
}

std::unique_ptr<IToolTip> MaxHostOperations::AttachToolTip(HWND control, const std::wstring& text) {
    return std::make_unique<MaxToolTip>(control, text);
}

GUID MaxHostOperations::CreateGuid() { return MaxSDK::MaxGuid::CreateMaxGuid(); }

void MaxHostOperations::UseLanguagePackLocale() { MaxSDK::Util::UseLanguagePackLocale(); }

} // namespace rud
