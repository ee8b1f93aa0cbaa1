#pragma once
// Files for the tests: whole-file reads and writes, and the settings file of the test program's
// own data folder (programs that link support/OwnDataFolder.cpp get a fresh, empty data folder in
// the temporary folder instead of the machine's C:\ProgramData\RUD Rendering).
#include "core/DataFolders.h"
#include "core/TextConversions.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace rudtest {

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
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
