#pragma once
// The plug-in's data folder (C:\ProgramData\RUD Rendering) as the desktop client would leave it:
// created for the test run when missing, with the settings file and custom.bin of the machine
// put back afterwards.
#include "core/DataFolders.h"

#include <gtest/gtest.h>

#include <string>

namespace coretest {

// Installed once per program; removes what it created when the run ends.
class DataFolderEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

private:
    bool createdDataFolder = false;
    bool createdScriptFolder = false;
};

// Keeps kiv_plugin.ini and custom.bin as they were before the test.
class ScopedSettingsFiles {
public:
    ScopedSettingsFiles();
    ~ScopedSettingsFiles();

private:
    struct Saved {
        std::wstring path;
        bool existed = false;
        std::string bytes;
    };
    Saved settings;
    Saved custom;
};

std::wstring ScriptFolder();
std::wstring CustomBinPath();
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
void RemoveFile(const std::wstring& path);
// The wide form of a narrow (code page 936) path that the log channels use.
std::wstring FromChs(const std::string& path);

} // namespace coretest
