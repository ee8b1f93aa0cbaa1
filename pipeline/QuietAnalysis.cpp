#include "pipeline/QuietAnalysis.h"

#include "analysis/OpenSceneAnalysis.h"
#include "analysis/RUDRenderingDataMgr.h"
#include "analysis/SceneChecks.h"
#include "core/ResourceStrings.h"
#include "pipeline/ScriptResults.h"
#include "resources/StringIds.h"
#include "submit/SubmitResult.h"


namespace rud {
namespace {

QuietAnalysisResult Failed(int32_t code, int textId) {
    QuietAnalysisResult result;
    result.code = code;
    result.message = ResourceText(textId);
    if (code == kSubmitNameRefused || code == kScriptSceneRefused) result.refusal = result.message;
    return result;
}

} // namespace

QuietAnalysisResult AnalyseQuietly(RUDRenderingDataMgr& store) {
    store.ClearCameras();
    const OpenSceneAnalysis analysed = AnalyseOpenScene(store, nullptr);
    switch (analysed.stop) {
    case AnalysisStop::kNone: break;
    case AnalysisStop::kClientMissing: return Failed(kScriptClientMissing, IDS_CLIENT_NOT_INSTALLED);
    case AnalysisStop::kClientTooOld: return Failed(kScriptClientMissing, IDS_VERSION_TOO_OLD);
    case AnalysisStop::kSceneNameRefused: return Failed(kSubmitNameRefused, IDS_SCENE_NAME_INVALID);
    case AnalysisStop::kScriptFailed: return Failed(kScriptNoAnalysis, IDS_ANALYSIS_SCRIPT_FAILED);
    }
    const int32_t read = analysed.read;
    if (read == kAnalysisUnreadable) return Failed(kScriptNoAnalysis, IDS_ANALYSIS_SCRIPT_FAILED);
    if (read == kAnalysisDuplicateCameras) {
        QuietAnalysisResult result = Failed(kScriptSceneRefused, IDS_DUPLICATE_CAMERAS_HEAD);
        result.message += store.duplicateCameraNames + ResourceText(IDS_DUPLICATE_CAMERAS_TAIL);
        result.refusal = result.message;
        return result;
    }
    // As the dialog opens: no mode chosen yet, the scene's name and path taken from the analysis.
    store.SetRenderModeCode(1);
    std::string name;
    (void)store.ReadSceneName(name);

    QuietAnalysisResult result;
    result.message = ResourceText(IDS_SCRIPT_ANALYSED);
    for (const auto& camera : store.cameras) {
        if (IsValidCameraKey(camera.first)) continue;
        // The dialog would not open on such a scene: nothing of it is submitted.
        result.code = kSubmitCameraNamesInvalid;
        result.message = result.refusal = ResourceText(IDS_CAMERA_NAMES_INVALID);
        return result;
    }
    // A scene without cameras goes no further than the submission's own camera check.
    if (!CheckCoronaLimits(store)) result.refusal = ResourceText(IDS_SCRIPT_CORONA_LIMITS);
    return result;
}

} // namespace rud
