#pragma once
// The plug-in's data folder (C:\ProgramData\RUD Rendering) as the desktop client would leave it:
// created for the test run when missing, with the machine's settings file and custom.bin put back.
#include "core/DataFolders.h"
#include "core/TextConversions.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace coretest {

inline std::wstring CustomBinPath() { return rud::DataFolder() + L"/script/custom.bin"; }
inline void RemoveFile(const std::wstring& path) { ::DeleteFileW(path.c_str()); }

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Keeps kiv_plugin.ini and custom.bin as they were before the test; each test starts without them.
class ScopedSettingsFiles {
public:
    ScopedSettingsFiles() {
        for (auto& [path, bytes] : saved) {
            if (rud::PathExists(path)) bytes = ReadBytes(path);
            RemoveFile(path);
        }
    }
    ~ScopedSettingsFiles() {
        for (auto& [path, bytes] : saved) {
            RemoveFile(path);
            if (bytes) WriteBytes(path, *bytes);
        }
    }

private:
    std::pair<std::wstring, std::optional<std::string>> saved[2] = {{rud::SettingsFilePath(), {}},
                                                                     {CustomBinPath(), {}}};
};

} // namespace coretest
