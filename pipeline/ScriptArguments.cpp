#include "pipeline/ScriptArguments.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "pipeline/ScriptResults.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "submit/RenderChoices.h"
#include "submit/SceneBackup.h"
#include "submit/SubmitResult.h"

#include <cwchar>
#include <iterator>

namespace rud {
namespace {

// MAXScript's names ignore case.
bool SameName(const std::wstring& a, const wchar_t* b) { return ::_wcsicmp(a.c_str(), b) == 0; }

CheckedOrder Refused(int32_t code, std::wstring message) {
    CheckedOrder checked;
    checked.code = code;
    checked.message = std::move(message);
    return checked;
}

CheckedOrder BadArgument(const wchar_t* name) {
    return Refused(kScriptBadArgument, WorkerTextWith(IDS_SCRIPT_BAD_ARGUMENT, name));
}

std::wstring NumberText(double value) { return std::to_wstring(value); }

// The camera key a script's name stands for: the scene's own name, else the name it renders under.
const std::wstring* FindCamera(const std::map<std::wstring, CameraInfo>& cameras, const std::wstring& name) {
    auto found = cameras.find(name);
    if (found != cameras.end()) return &found->first;
    for (const auto& camera : cameras)
        if (camera.second.displayName == name) return &camera.first;
    return nullptr;
}

} // namespace

CheckedOrder CheckScriptArguments(const ScriptSubmitArguments& arguments, RUDRenderingDataMgr& store,
                                  const std::wstring& openScenePath) {
    int position = 0;
    while (position < kRenderModeCount && !SameName(arguments.mode, kRenderModes[position].scriptName)) ++position;
    if (position == kRenderModeCount) return BadArgument(L"mode");
    if (position == kRenderModeBlocks) {
        if (const int refusal = BlockModeRefusal(store)) return Refused(kScriptBadArgument, ResourceText(refusal));
    }

    CheckedOrder checked;
    // The run owns a copy of the scene as analysed now: a batch's next loadMaxFile refills the
    // store while this run may still pack and send.
    checked.order = NewSubmitOrder(store);
    SubmitOrder& order = checked.order;
    checked.mode = &kRenderModes[position];
    order.renderMode = IDC_MAIN_MODE_NONE + position;
    // The task file reads the render mode from the scene's copy, where the dialog's buttons put it.
    order.analysis.renderModeCode = checked.mode->code;
    order.analysis.renderModeName = checked.mode->taskName;
    if (checked.mode->distributedCount) order.analysis.distributedCount = checked.mode->distributedCount;
    for (const std::wstring& channel : arguments.channels) {
        if (SameName(channel, L"color")) order.colorChannel = true;
        else if (SameName(channel, L"ao")) order.aoChannel = true;
        else if (SameName(channel, L"mtl")) order.mtlChannel = true;
        else if (SameName(channel, L"gi")) order.giChannel = true;
        else if (SameName(channel, L"psd")) order.psdChannel = true;
        else return BadArgument(L"channels");
    }
    if (order.mtlChannel && !MaterialChannelAllowed(checked.mode->code))
        return Refused(kScriptBadArgument, ResourceText(IDS_MTL_NO_BLOCKS));

    if (!kAoRadiusRange.Holds(arguments.aoRadius)) return BadArgument(L"aoRadius");
    if (!kAoSubdivsRange.Holds(arguments.aoSubdivs)) return BadArgument(L"aoSubdivs");
    const double gamma = arguments.gamma == 0.0 ? store.gammaOut : arguments.gamma;
    if (!kGammaRange.Holds(gamma)) return BadArgument(L"gamma");
    if (!kCoronaPassesRange.Holds(arguments.coronaPasses)) return BadArgument(L"coronaPasses");
    if (!kCoronaHoursRange.Holds(arguments.coronaHours)) return BadArgument(L"coronaHours");
    if (!kCoronaNoiseRange.Holds(arguments.coronaNoise)) return BadArgument(L"coronaNoise");
    order.aoRadius = NumberText(arguments.aoRadius);
    order.aoSubdivs = std::to_wstring(arguments.aoSubdivs);
    order.gamma = NumberText(gamma);
    order.coronaPasses = std::to_wstring(arguments.coronaPasses);
    order.coronaHours = NumberText(arguments.coronaHours);
    order.coronaNoise = NumberText(arguments.coronaNoise);

    order.imageScaleIndex = -1;
    for (int i = 0; i < static_cast<int>(std::size(kImageScalePercents)); ++i)
        if (kImageScalePercents[i] == arguments.imageScale) order.imageScaleIndex = i;
    if (order.imageScaleIndex < 0) return BadArgument(L"imageScale");

    // The camera table's rows, ticked as the script says (or as the dialog would).
    const auto& cameras = order.analysis.cameras;
    std::map<std::wstring, bool> ticked;
    if (arguments.cameras) {
        for (const std::wstring& name : *arguments.cameras) {
            const std::wstring* key = FindCamera(cameras, name);
            if (!key) return Refused(kScriptUnknownCamera, WorkerTextWith(IDS_SCRIPT_UNKNOWN_CAMERA, name));
            ticked[*key] = true;
        }
    }
    for (const auto& camera : cameras)
        order.cameraTicks.push_back({camera.first, arguments.cameras ? ticked.count(camera.first) > 0 : camera.second.renderable});

    if (!arguments.sceneName.empty() && IsRefusedSceneName(arguments.sceneName))
        return Refused(kSubmitNameRefused, ResourceText(IDS_SCENE_NAME_INVALID));
    order.sceneName = JudgeTypedSceneName(arguments.sceneName, openScenePath);
    if (order.sceneName.verdict == TypedNameVerdict::kRefused)
        return Refused(kSubmitNameRefused, ResourceText(IDS_SCENE_NAME_INVALID));
    if (store.referenceNamesIllegal && !arguments.acceptReferenceProblems)
        return Refused(kScriptReferenceProblems, ResourceText(IDS_SCRIPT_REFERENCE_NAMES));

    order.backupAndCheck = arguments.backupAndCheck;
    order.saveScene = arguments.saveFirst;
    // Without waiting, 3ds Max is the script's again once the scene is saved and copied.
    order.keepWorking = !arguments.wait;
    return checked;
}

} // namespace rud
