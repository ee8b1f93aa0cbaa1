#pragma once
// The settings file kiv_plugin.ini (section "general"): client keys and remembered options.
#include <windows.h>

#include <string>

namespace rud {

// Control ID to settings key ("REMBER_SETTING", "GI_SIZE", ...); "" for other IDs.
std::string SettingsKeyForControl(int controlId);
std::wstring SettingsKeyForControlW(int controlId);

// Reads a key of section "general" (2048-character buffer); empty when missing.
std::wstring ReadSetting(const std::wstring& key);
// Writes a key of section "general"; the outcome is not checked by callers.
void WriteSetting(const std::wstring& key, const std::wstring& value);

// Writes the remembered option values of the main dialog: defaults when 1001 is unchecked,
// the controls' current values otherwise (check boxes, combo boxes, edits, radios).
void WriteRememberedValues(HWND dialog);

} // namespace rud
