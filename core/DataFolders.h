#pragma once
// The folders Windows supplies and the plug-in's data folder layout.
#include <cstdint>
#include <string>

namespace rud {

// CSIDL_COMMON_APPDATA (35), e.g. C:\ProgramData; empty when Windows cannot supply it.
std::wstring CommonAppDataFolder();
// CSIDL_LOCAL_APPDATA (28); empty when Windows cannot supply it.
std::wstring LocalAppDataFolder();
// CommonAppDataFolder() + "/RUD Rendering".
std::wstring DataFolder();
// Points DataFolder() at another folder (empty: the real one again). Test programs and the fuzzer
// use it so that they never read or rewrite the machine's settings; call it before any store exists.
void SetDataFolderOverride(std::wstring folder);
// Where the farm's client expects the plug-in's tasks: LocalAppDataFolder() +
// "/MIRASTOR Render Farm For Effect/cache/plugin_scenes/"; a task's folder is
// "<scene file name>_plugin_output" in it.
std::wstring SceneCacheFolder();
// DataFolder() + "/script/kiv_plugin.ini".
std::wstring SettingsFilePath();

bool PathExists(const std::wstring& path);
// The size of a file in bytes; -1 when there is no such file (or it is a folder).
int64_t FileBytes(const std::wstring& path);

} // namespace rud
