#pragma once
// What the farm's desktop client installs and publishes for the plug-in: the data folder with
// the scripts and 7-Zip, the settings file, the cache tree and the two shared-memory records.
#include <windows.h>

#include <string>

namespace rudclient {

struct SetupOptions {
    int port = 0;
    std::wstring lowerVersion = L"1.3.7";
    std::wstring sevenZipSource;   // the stand-in 7z.exe to copy into the data folder
};

// C:\ProgramData\RUD Rendering (CSIDL_COMMON_APPDATA + "\RUD Rendering").
std::wstring DataFolder();

// Creates the data folder layout and writes "ip", "port", "lowerversion"; false (with a line on
// stderr) when something could not be created.
bool LayOutDataFolder(const SetupOptions& options);
// Creates CSIDL_LOCAL_APPDATA\MIRASTOR Render Farm For Effect\cache\plugin_scenes.
bool LayOutCacheTree();

// The two records, kept while the object lives (the plug-in only finds them while we run).
class SharedRecords {
public:
    SharedRecords(const std::wstring& userName, const std::wstring& savePath);
    ~SharedRecords();
    SharedRecords(const SharedRecords&) = delete;
    SharedRecords& operator=(const SharedRecords&) = delete;
    bool Published() const { return userRecord_ && savePathRecord_; }
private:
    HANDLE userRecord_ = nullptr;
    HANDLE savePathRecord_ = nullptr;
};

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

} // namespace rudclient
