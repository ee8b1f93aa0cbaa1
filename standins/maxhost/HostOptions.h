#pragma once
// The stand-in host's command line (see README.md).
#include <string>

namespace maxhost {

struct HostOptions {
    std::wstring scenePath;        // empty: a never-saved scene
    std::wstring analysisPath;     // JSON the analysis script "writes"
    bool failSave = false;
    bool refuseQuit = false;       // a second exit callback that keeps 3ds Max open
    unsigned saveMilliseconds = 0; // how long each save takes (a large scene)
    bool saveWrites = false;       // every save writes content of its own ("save 1", "save 2", ...)
    std::wstring language;         // the language pack ("en-US" when not given)
    std::wstring pluginPath;       // empty: the plug-ins of the installed bundles
    int runAction = 0;
    bool stay = false;
    bool autoAnswer = false;
    bool noMainWindow = false;     // as 3ds Max's command-line batch mode: the main window is never shown
    std::wstring stepsPath;
    std::wstring shotsFolder;
    unsigned stepTimeoutSeconds = 30;
    unsigned autobackupMilliseconds = 0; // 0: no autobackup
};

// False (with a message in `error`) when the command line cannot be understood.
bool ParseHostOptions(int argc, wchar_t** argv, HostOptions& options, std::wstring& error);

std::wstring ExeFolder();

} // namespace maxhost
