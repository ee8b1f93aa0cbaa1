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

std::wstring DataFolder() { return CommonAppDataFolder() + L"/RUD Rendering"; }

std::wstring SettingsFilePath() { return DataFolder() + L"/script/kiv_plugin.ini"; }

bool PathExists(const std::wstring& path) {
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace rud
