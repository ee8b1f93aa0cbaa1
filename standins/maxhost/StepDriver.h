#pragma once
// Runs a steps file against the dialogs of this process, one step a line (see README.md).
#include "DialogTemplates.h"
#include "HostWindow.h"
#include "MessageBoxWatcher.h"
#include "StandinScene.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace maxhost {

// How long one step may wait before it fails (default 30 s).
void SetStepTimeout(DWORD milliseconds);

class StepDriver {
public:
    StepDriver(HostWindow& host, StandinScene& scene, MessageBoxWatcher& boxes, const DialogTemplates& templates,
               std::vector<std::wstring> steps, std::wstring shotsFolder);
    ~StepDriver();
    StepDriver(const StepDriver&) = delete;
    StepDriver& operator=(const StepDriver&) = delete;

    void Start();
    bool Failed() const { return failed_; }
    bool Finished() const { return finished_; }

private:
    void Run();
    bool RunStep(const std::wstring& step, std::wstring& why);
    HWND Control(int id, std::wstring& why);
    bool WaitFor(const std::function<bool()>& condition);
    bool TemplateUp(int templateId);
    bool HostStep(const std::vector<std::wstring>& words, const std::wstring& step, std::wstring& why);
    bool AsArtist(const std::function<bool(std::wstring&)>& work, std::wstring& why);
    // maxscript, maxscript-expect and wait-maxscript: a published function called as a script does.
    bool ScriptStep(const std::vector<std::wstring>& words, const std::wstring& step, std::wstring& why);

    HostWindow& host_;
    StandinScene& scene_;
    MessageBoxWatcher& boxes_;
    const DialogTemplates& templates_;
    std::vector<std::wstring> steps_;
    std::wstring shotsFolder_;
    std::atomic<bool> failed_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> hostQuit_{false};
    std::thread thread_;
};

// Reads the steps file (UTF-8); blank lines and lines starting with "#" are skipped.
bool ReadSteps(const std::wstring& path, std::vector<std::wstring>& steps);

// Closes every dialog and message box of this process and then the main window.
void CloseEverything(HostWindow& host);

} // namespace maxhost
