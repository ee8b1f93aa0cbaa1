#include "analysis/OpenSceneAnalysis.h"

#include "analysis/AnalysisScriptRunner.h"
#include "analysis/RUDRenderingDataMgr.h"
#include "analysis/SceneAcceptance.h"
#include "core/ClientInfo.h"
#include "host/HostOperations.h"

#include <memory>
#include <string>

namespace rud {

OpenSceneAnalysis AnalyseOpenScene(RUDRenderingDataMgr& store, HWND owner) {
    OpenSceneAnalysis outcome;
    ClientInfo info;
    (void)GetClientInformation(store.dataLog, info);
    if (info.lowerVersion.empty()) outcome.stop = AnalysisStop::kClientMissing;
    else if (!ClientVersionAccepted(info.lowerVersion)) outcome.stop = AnalysisStop::kClientTooOld;
    else if (!SceneFileNameAccepted(Host().CurrentSceneFileName())) outcome.stop = AnalysisStop::kSceneNameRefused;
    if (outcome.stop != AnalysisStop::kNone) return outcome;

    std::wstring resultText;
    std::unique_ptr<IScriptValue> value = Host().CreateScriptValue();
    if (!value || !RunAnalysisScript(store, owner, *value, info.parserScriptPath, resultText)) {
        outcome.stop = AnalysisStop::kScriptFailed;
        return outcome;
    }
    value.reset();   // a host value is released before the long read
    store.SetAnalysisText(std::move(resultText));
    outcome.read = store.ReadAnalysis();
    return outcome;
}

} // namespace rud
