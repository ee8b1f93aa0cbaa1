#include "HostOptions.h"

#include <windows.h>

#include <cstdlib>

namespace maxhost {

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

bool ParseHostOptions(int argc, wchar_t** argv, HostOptions& options, std::wstring& error) {
    options.shotsFolder = ExeFolder();
    for (int i = 1; i < argc; ++i) {
        std::wstring word = argv[i];
        auto value = [&](std::wstring& target) {
            if (i + 1 >= argc) {
                error = word + L" needs a value";
                return false;
            }
            target = argv[++i];
            return true;
        };
        // A number of `unit` (none: zero is a number too).
        auto number = [&](unsigned& target, const wchar_t* unit) {
            std::wstring text;
            if (!value(text)) return false;
            target = static_cast<unsigned>(_wtoi(text.c_str()));
            if (unit && target == 0) {
                error = word + L" takes a number of " + unit;
                return false;
            }
            return true;
        };
        if (word == L"--scene") { if (!value(options.scenePath)) return false; }
        else if (word == L"--analysis") { if (!value(options.analysisPath)) return false; }
        else if (word == L"--language") { if (!value(options.language)) return false; }
        else if (word == L"--plugin") { if (!value(options.pluginPath)) return false; }
        else if (word == L"--steps") { if (!value(options.stepsPath)) return false; }
        else if (word == L"--shots") { if (!value(options.shotsFolder)) return false; }
        else if (word == L"--run-action") {
            std::wstring id;
            if (!value(id)) return false;
            options.runAction = _wtoi(id.c_str());
            if (options.runAction != 1497 && options.runAction != 1498) {
                error = L"--run-action takes 1497 or 1498";
                return false;
            }
        }
        else if (word == L"--step-timeout") { if (!number(options.stepTimeoutSeconds, L"seconds")) return false; }
        else if (word == L"--slow-save") { if (!number(options.saveMilliseconds, nullptr)) return false; }
        else if (word == L"--autobackup") { if (!number(options.autobackupMilliseconds, L"milliseconds")) return false; }
        else if (word == L"--fail-save") options.failSave = true;
        else if (word == L"--refuse-quit") options.refuseQuit = true;
        else if (word == L"--save-writes") options.saveWrites = true;
        else if (word == L"--stay") options.stay = true;
        else if (word == L"--auto-answer") options.autoAnswer = true;
        else if (word == L"--no-main-window") options.noMainWindow = true;
        else {
            error = L"unknown argument " + word;
            return false;
        }
    }
    return true;
}

} // namespace maxhost
