#pragma once
// The settings file kiv_plugin.ini (section "general"): client keys and remembered options.
#include <windows.h>

#include <map>
#include <string>

namespace rud {

// Control ID to settings key ("REMBER_SETTING", "GI_SIZE", ...); "" for other IDs.
std::string SettingsKeyForControl(int controlId);
std::wstring SettingsKeyForControlW(int controlId);

// Reads a key of section "general" (2048-character buffer); empty when missing.
std::wstring ReadSetting(const std::wstring& key);
// Writes a key of section "general"; the outcome is not checked by callers.
void WriteSetting(const std::wstring& key, const std::wstring& value);

// The remembered options as the settings file holds them, by control ID: "1"/"0" for check
// boxes and radios, the position for a combo box, the text for an edit.
using RememberedValues = std::map<int, std::wstring>;

// Writes one key per control of `values`: its value when "remember" (1001) is "1" among them,
// else the key's default, so that the next dialog starts from the defaults.
void WriteRememberedValues(const RememberedValues& values);

} // namespace rud
