#pragma once
// Files for the tests and the fuzzer: the program's folder and the language files built there,
// whole-file reads and writes, and the settings file of the test program's own data folder (programs that link support/OwnDataFolder.cpp get a fresh, empty data folder in
// the temporary folder instead of the machine's C:\ProgramData\RUD Rendering).
#include "core/DataFolders.h"
#include "core/TextConversions.h"
#include "core/WinHandles.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace rudtest {

// The folder of the running program (bin\), where the plug-in's files are built.
inline std::wstring BinFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

// The plug-in's language file for `locale` ("en-US", "zh-CN"), loaded for its resources only.
inline rud::UniqueModule LoadLanguageFile(const std::wstring& locale) {
    return rud::UniqueModule(::LoadLibraryExW((BinFolder() + L"\\" + locale + L"\\RUD_Rendering_2025.gup.mui").c_str(),
                                              nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A fresh data folder of the program's own in the temporary folder, with the subfolders the
// plug-in expects, made the plug-in's data folder (never the machine's C:\ProgramData\RUD Rendering).
inline std::wstring UseOwnDataFolder(const std::wstring& prefix) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + prefix + std::to_wstring(::GetCurrentProcessId());
    for (const wchar_t* sub : {L"", L"/script", L"/json"}) ::CreateDirectoryW((folder + sub).c_str(), nullptr);
    rud::SetDataFolderOverride(folder);
    return folder;
}

inline std::wstring CustomBinPath() { return rud::DataFolder() + L"/script/custom.bin"; }

// kiv_plugin.ini (section "general") and custom.bin: absent when the guard starts and when it ends.
class ScopedSettingsFile {
public:
    ScopedSettingsFile() { Clear(); }
    ~ScopedSettingsFile() { Clear(); }
    ScopedSettingsFile(const ScopedSettingsFile&) = delete;
    ScopedSettingsFile& operator=(const ScopedSettingsFile&) = delete;
    void Set(const std::wstring& key, const std::wstring& value) const {
        ::WritePrivateProfileStringW(L"general", key.c_str(), value.c_str(), rud::SettingsFilePath().c_str());
    }

private:
    static void Clear() {
        ::DeleteFileW(rud::SettingsFilePath().c_str());
        ::DeleteFileW(CustomBinPath().c_str());
    }
};

} // namespace rudtest
