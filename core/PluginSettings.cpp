#include "core/PluginSettings.h"

#include "core/DataFolders.h"
#include "core/TextConversions.h"

#include <windows.h>

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
    {1003, "KEEP_WORKING", L"1"},
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

void WriteRememberedValues(const RememberedValues& values) {
    const auto remember = values.find(kRememberCheckBox);
    const bool remembering = remember != values.end() && remember->second == L"1";
    for (const auto& [id, value] : values) {
        const std::wstring key = SettingsKeyForControlW(id);
        if (!key.empty()) WriteSetting(key, remembering ? value : DefaultValue(id));
    }
}

} // namespace rud
