#pragma once
// The open scene analysed into the store, as the dialog and a script both do it: the client
// installed and new enough, the scene's file name one the farm takes, the analysis script run and
// its result read. The caller tells the artist or the script what stopped it.
#include <windows.h>

#include <cstdint>

namespace rud {

class RUDRenderingDataMgr;

enum class AnalysisStop { kNone, kClientMissing, kClientTooOld, kSceneNameRefused, kScriptFailed };

struct OpenSceneAnalysis {
    AnalysisStop stop = AnalysisStop::kNone;
    int32_t read = 0;   // with kNone: what ReadAnalysis answered (kAnalysis...)
};

// `owner` owns the box of a failed script run; a script passes none and is shown nothing.
[[nodiscard]] OpenSceneAnalysis AnalyseOpenScene(RUDRenderingDataMgr& store, HWND owner);

} // namespace rud
