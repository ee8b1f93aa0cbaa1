#pragma once
// The result codes only a scripted run has, beside the submission's own (submit/SubmitResult.h).
#include <cstdint>

namespace rud {

enum ScriptResult : int32_t {
    kScriptNoRun = 0,                  // result(): nothing submitted in this session yet
    kScriptAnalysed = 0,               // analyse(): the scene was analysed
    kScriptRunning = 1,                // submit wait:false / result(): packed and sent behind 3ds Max's back
    kScriptBusy = -20,                 // a submission is already under way
    kScriptBadArgument = -21,
    kScriptUnknownCamera = -22,
    kScriptReferenceProblems = -23,    // reference names the farm may not handle, not accepted
    kScriptNoAnalysis = -24,           // the analysis script failed or its result was unreadable
    kScriptClientMissing = -25,        // the desktop client is not installed, or wants a newer plug-in
    kScriptSceneRefused = -26,         // the farm refuses the scene as it is (duplicate or invalid cameras)
};

} // namespace rud
