#include "core/PluginSettings.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/DataFolders.h"
#include "core/TextConversions.h"

#include <windows.h>

#include <vector>

namespace rud {
namespace {

const wchar_t kSection[] = L"general";

struct RememberedKey {
    int controlId;
    const char* key;
    const wchar_t* defaultValue;
};

// The main dialog's remembered options: key and the value written when remembering is off.
const RememberedKey kKeys[] = {
    {1001, "REMBER_SETTING", L"0"},
    {1002, "IDC_SAVE_SCENE_FILE", L"1"},
    {1030, "NOBLOCK", L"1"},
    {1031, "THREEBLOCK", L"0"},
    {1032, "SIXBLOCK", L"0"},
    {1033, "DCSBLOCK", L"0"},
    {1037, "EDIT_AO_SUBDIVS", L"16"},
    {1039, "EDIT_OUTPUT_GAMMA", L"2.2"},
    {1040, "EDIT_AO_RADIUS", L"1000.0"},
    {1043, "RENDER_CHANNEL_COLOR", L"0"},
    {1044, "RENDER_CHANNEL_AO", L"0"},
    {1045, "EDIT_NOISE_LEVEL2", L"0"},
    {1047, "EDIT_DURATION2", L"0"},
    {1051, "CHECK_RENDER_MTL", L"0"},
    {1053, "CHECK_PSD", L"0"},
    {1054, "EDIT_ITERATIONS_A", L"0"},
    {1056, "CHECK_GI", L"0"},
    {1057, "GI_SIZE", L"0"},
};

constexpr int kRememberCheckBox = 1001;

const RememberedKey* FindKey(int controlId) {
    for (const RememberedKey& entry : kKeys)
        if (entry.controlId == controlId) return &entry;
    return nullptr;
}

std::wstring DefaultValue(int controlId) {
    const RememberedKey* entry = FindKey(controlId);
    return entry ? entry->defaultValue : L"0";
}

std::wstring ButtonStateText(HWND dialog, int id) {
    return std::to_wstring(::IsDlgButtonChecked(dialog, id));
}

std::wstring ComboPositionText(HWND dialog, int id) {
    LRESULT position = ::SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return (position >= 1 && position <= 3) ? std::to_wstring(position) : L"0";
}

std::wstring EditText(HWND dialog, int id) {
    HWND edit = ::GetDlgItem(dialog, id);
    if (!edit) return {};
    int length = ::GetWindowTextLengthW(edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(edit, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

} // namespace

std::string SettingsKeyForControl(int controlId) {
    const RememberedKey* entry = FindKey(controlId);
    return entry ? entry->key : "";
}

std::wstring SettingsKeyForControlW(int controlId) {
    return Utf8ToWide(SettingsKeyForControl(controlId));
}

std::wstring ReadSetting(const std::wstring& key) {
    wchar_t value[2048] = {};
    ::GetPrivateProfileStringW(kSection, key.c_str(), L"", value, 2048, SettingsFilePath().c_str());
    return value;
}

void WriteSetting(const std::wstring& key, const std::wstring& value) {
    ::WritePrivateProfileStringW(kSection, key.c_str(), value.c_str(), SettingsFilePath().c_str());
}

void WriteRememberedValues(HWND dialog) {
    RUDRenderingDataMgr& store = RUDRenderingDataMgr::Instance();
    const bool remember = ::IsDlgButtonChecked(dialog, kRememberCheckBox) == BST_CHECKED;
    auto write = [&](const std::vector<int32_t>& ids, std::wstring (*current)(HWND, int)) {
        for (int32_t id : ids)
            WriteSetting(SettingsKeyForControlW(id), remember ? current(dialog, id) : DefaultValue(id));
    };
    write(store.rememberedCheckIds, ButtonStateText);
    write(store.rememberedComboIds, ComboPositionText);
    write(store.rememberedEditIds, EditText);
    write(store.rememberedRadioIds, ButtonStateText);
}

} // namespace rud
