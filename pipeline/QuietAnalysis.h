#pragma once
// The dialog's analysis of the open scene without the dialog: the same refusals and the same
// store filled, told as a code and a text instead of message boxes.
#include <cstdint>
#include <string>

namespace rud {

class RUDRenderingDataMgr;

struct QuietAnalysisResult {
    int32_t code = 0;          // kScriptAnalysed, or a ScriptResult / SubmitResult below zero
    std::wstring message;      // what the dialog would have shown
    std::wstring refusal;      // why the farm would refuse the scene as it is; empty when it would not
};

// On 3ds Max's main thread. Refills the store: never while a submission runs.
QuietAnalysisResult AnalyseQuietly(RUDRenderingDataMgr& store);

} // namespace rud
