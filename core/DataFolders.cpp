#include "core/DataFolders.h"

#include <windows.h>
#include <shlobj.h>

namespace rud {

std::wstring CommonAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, path))) return {};
    return path;
}

std::wstring LocalAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, CSIDL_LOCAL_APPDATA, FALSE)) return {};
    return path;
}

namespace {
std::wstring& DataFolderOverride() {
    static std::wstring folder;
    return folder;
}
} // namespace

void SetDataFolderOverride(std::wstring folder) { DataFolderOverride() = std::move(folder); }

std::wstring DataFolder() {
    const std::wstring& override = DataFolderOverride();
    return override.empty() ? CommonAppDataFolder() + L"/RUD Rendering" : override;
}

std::wstring SceneCacheFolder() {
    return LocalAppDataFolder() + L"/MIRASTOR Render Farm For Effect/cache/plugin_scenes/";
}

std::wstring SettingsFilePath() { return DataFolder() + L"/script/kiv_plugin.ini"; }

bool PathExists(const std::wstring& path) {
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int64_t FileBytes(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace rud
