#pragma once
// What the plug-in knows of its own data folder and of the farm's desktop client.
#include "RUDVersion.h"

#include <cstdint>
#include <string>

namespace rud {

class LogChannel;

struct ClientInfo {
    std::wstring ip;
    int32_t port = 80;
    std::wstring jsonDir;
    std::wstring zipExePath;
    std::wstring compressDir;
    std::wstring lowerVersion;
    std::string scenePath;       // UTF-8
    // UTF-8; when set, 7-Zip packs this copy of the scene (same file name) instead of scenePath.
    std::string snapshotPath;
    int32_t imageScaleIndex = 0;
    std::string imageScaleText;
    std::string compressPath;    // UTF-8
    std::string zipArguments;    // ANSI code page
    std::wstring parserScriptPath;
    std::wstring adslScriptPath;
    std::wstring alcScriptPath;
    std::wstring crpScriptPath;
};

struct ClientUserInfo {
    std::wstring userName;
    std::wstring savePath;
    std::string savePathUtf8;
    bool valid = false;
};

// Fills the data folder paths, "ip", "port", "lowerversion" and the custom.bin override; logs to `log`.
bool GetClientInformation(LogChannel& log, ClientInfo& info);
[[nodiscard]] bool ReadCustomAddress(LogChannel& log, ClientInfo& info);
// Reads "KELVANTA_USERNAME_DATA" and "KELVANTA_PLUGIN_SAVE_PATH".
void ReadClientSharedMemory(ClientUserInfo& user);

// The plug-in's own version, compared with the client's "lowerversion".
constexpr const wchar_t* kPluginVersion = RUD_VERSION_WTEXT;

} // namespace rud
