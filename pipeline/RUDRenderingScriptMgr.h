#pragma once
// The scripted front end: what the published MAXScript interface does, one submission at a
// time, quietly. Every operation runs on 3ds Max's main thread (MAXScript calls it there).
#include "pipeline/QuietSubmitReport.h"
#include "pipeline/ScriptArguments.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rud {

// One camera as analyse() found it.
struct ScriptCamera {
    std::wstring name;
    int32_t width = 0;
    int32_t height = 0;
    std::wstring format;
};

class RUDRenderingScriptMgr {
public:
    static RUDRenderingScriptMgr& Instance();

    // Analyses the open scene as the dialog does: kScriptAnalysed, or why not.
    int32_t Analyse();
    // Submits the open scene. With wait it returns the run's result; without, kScriptRunning
    // once 3ds Max is free again (or the result when the run ended sooner).
    int32_t Submit(const ScriptSubmitArguments& arguments);
    // The last submission's result: kScriptRunning while it goes on, kScriptNoRun before any.
    int32_t Result();
    // The text the dialog would have shown for the last call.
    std::wstring LastMessage();

    // What the last analyse() (or submit) found.
    const std::wstring& Renderer() const { return renderer_; }
    const std::vector<ScriptCamera>& Cameras() const { return cameras_; }
    const std::vector<std::wstring>& Problems() const { return problems_; }
    const std::wstring& Refusal() const { return refusal_; }

private:
    bool RunUnderWay() const;
    int32_t Answer(int32_t code, std::wstring message);
    int32_t AnalyseInto();
    // Serves 3ds Max's part of the run until it has ended, or until 3ds Max is free again.
    void ServeRun(bool untilHandBack);

    std::shared_ptr<ScriptRunState> run_;   // the last submission
    std::wstring message_;                  // the last call's text when no run answered it
    bool messageFromRun_ = false;
    std::wstring renderer_;
    std::vector<ScriptCamera> cameras_;
    std::vector<std::wstring> problems_;
    std::wstring refusal_;
};

} // namespace rud
