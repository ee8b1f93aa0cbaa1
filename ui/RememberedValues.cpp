#include "ui/RememberedValues.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/PluginSettings.h"
#include "resources/ControlIds.h"
#include "ui/DialogView.h"
#include "ui/MainDialogLogic.h"
#include "ui/RUDRenderingUiMgr.h"

#include <cwchar>
#include <string>

namespace rud {
namespace {

std::wstring Remembered(int id) {
    std::wstring key = SettingsKeyForControlW(id);
    return key.empty() ? std::wstring() : ReadSetting(key);
}

// A limit the scene itself sets wins over a remembered one.
bool SceneSetsLimit(const RUDRenderingDataMgr& store, int id) {
    switch (id) {
    case IDC_MAIN_CORONA_TIME: return store.coronaLimits.coronaTimeLimitHours != 0;
    case IDC_MAIN_CORONA_PASSES: return store.coronaLimits.coronaPassLimit != 0;
    case IDC_MAIN_CORONA_NOISE: return store.coronaLimits.coronaNoiseLevelLimit != 0;
    default: return false;
    }
}

// A remembered zero leaves the default however the artist spelled it ("0.0", "-0", "00"): the
// number counts, as when the submission reads the edit, or "0.0" would bring back a zero radius
// or gamma that "0" does not.
bool IsZero(const std::wstring& value) {
    wchar_t* end = nullptr;
    const double number = std::wcstod(value.c_str(), &end);
    return end != value.c_str() && number == 0.0;
}

bool IsCoronaLimitEdit(int id) {
    return id == IDC_MAIN_CORONA_TIME || id == IDC_MAIN_CORONA_PASSES || id == IDC_MAIN_CORONA_NOISE;
}

// The whole text: a remembered value is never cut to a buffer's size.
std::wstring EditText(HWND dialog, int id) {
    HWND edit = ::GetDlgItem(dialog, id);
    if (!edit) return {};
    const int length = ::GetWindowTextLengthW(edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(edit, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

int ModeCodeOfRadio(int id) {
    switch (id) {
    case IDC_MAIN_MODE_BLOCKS: return 10;
    case IDC_MAIN_MODE_DIST: return 64;
    case IDC_MAIN_MODE_DIST_PRO: return 1010;
    default: return 1;
    }
}

} // namespace

RememberedValues ReadRememberedControls(HWND dialog, const RUDRenderingDataMgr& store) {
    const DialogView view(dialog);
    RememberedValues values;
    auto state = [&](int id) { return std::to_wstring(::IsDlgButtonChecked(dialog, id)); };
    for (int id : store.rememberedCheckIds) values[id] = state(id);
    for (int id : store.rememberedRadioIds) values[id] = state(id);
    for (int id : store.rememberedComboIds) {
        // Only the smaller scales count as a choice; none chosen reads as the first.
        const int position = view.ComboSelection(id);
        values[id] = position >= 1 && position <= 3 ? std::to_wstring(position) : L"0";
    }
    for (int id : store.rememberedEditIds) values[id] = EditText(dialog, id);
    return values;
}

void RestoreRememberedValues(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui) {
    DialogView view(dialog);
    for (int id : store.rememberedCheckIds) {
        std::wstring value = Remembered(id);
        if (value == L"1") {
            view.SetChecked(id, true);
            if (id == IDC_MAIN_CHANNEL_AO) EnableAmbientOcclusionGroup(view, true);
            if (id == IDC_MAIN_CHANNEL_GI) EnableGiGroup(view, true);
        } else if (value == L"0") {
            view.SetChecked(id, false);
        }
    }
    for (int id : store.rememberedComboIds) {
        std::wstring value = Remembered(id);
        if (!value.empty()) view.SelectCombo(id, _wtoi(value.c_str()));
    }
    for (int id : store.rememberedEditIds) {
        std::wstring value = Remembered(id);
        if (value.empty()) continue;
        if (IsCoronaLimitEdit(id) ? SceneSetsLimit(store, id) : IsZero(value)) continue;
        view.SetText(id, value);
    }
    for (int id : store.rememberedRadioIds) {
        if (Remembered(id) != L"1") continue;
        ::CheckRadioButton(dialog, IDC_MAIN_MODE_NONE, IDC_MAIN_MODE_DIST_PRO, id);
        (void)BlockChoiceCheck(dialog, store, ui, ModeCodeOfRadio(id));
        MaterialChannelCheck(dialog, store);
    }
}

} // namespace rud
