#include "tests/core/DataFolderFixture.h"

#include "core/TextConversions.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace coretest {
namespace {

bool EnsureFolder(const std::wstring& path) {
    if (rud::PathExists(path)) return false;
    ::CreateDirectoryW(path.c_str(), nullptr);
    return true;
}

::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new DataFolderEnvironment);

} // namespace

void DataFolderEnvironment::SetUp() {
    createdDataFolder = EnsureFolder(rud::DataFolder());
    createdScriptFolder = EnsureFolder(ScriptFolder());
}

// Removes what it can: files the process still holds open (the stores' own logs) stay behind.
static void RemoveTree(const std::filesystem::path& folder) {
    std::error_code error;
    std::vector<std::filesystem::path> entries;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    for (const std::filesystem::path& entry : entries) {
        if (std::filesystem::is_directory(entry, error))
            RemoveTree(entry);
        else
            std::filesystem::remove(entry, error);
    }
    std::filesystem::remove(folder, error);
}

void DataFolderEnvironment::TearDown() {
    if (createdDataFolder)
        RemoveTree(rud::DataFolder());
    else if (createdScriptFolder)
        RemoveTree(ScriptFolder());
}

ScopedSettingsFiles::ScopedSettingsFiles() {
    settings.path = rud::SettingsFilePath();
    custom.path = CustomBinPath();
    for (Saved* saved : {&settings, &custom}) {
        saved->existed = rud::PathExists(saved->path);
        if (saved->existed) saved->bytes = ReadBytes(saved->path);
        RemoveFile(saved->path);
    }
}

ScopedSettingsFiles::~ScopedSettingsFiles() {
    for (Saved* saved : {&settings, &custom}) {
        RemoveFile(saved->path);
        if (saved->existed) WriteBytes(saved->path, saved->bytes);
    }
}

std::wstring ScriptFolder() { return rud::DataFolder() + L"/script"; }
std::wstring CustomBinPath() { return ScriptFolder() + L"/custom.bin"; }

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void RemoveFile(const std::wstring& path) { ::DeleteFileW(path.c_str()); }

std::wstring FromChs(const std::string& path) {
    int length = ::MultiByteToWideChar(936, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(936, 0, path.data(), static_cast<int>(path.size()), &wide[0], length);
    return wide;
}

} // namespace coretest
