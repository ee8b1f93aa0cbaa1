#include "pipeline/RUDRenderingScriptMgr.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "host/HostOperations.h"
#include "host/HostThread.h"
#include "pipeline/QuietAnalysis.h"
#include "pipeline/ScriptResults.h"
#include "resources/StringIds.h"
#include "submit/RenderChoices.h"
#include "submit/SubmitResult.h"
#include "submit/SubmitWorkflow.h"


namespace rud {
namespace {

void RunQuietWorker(SubmitOrder order, std::shared_ptr<ScriptRunState> state, bool replaceOtherFile) {
    try {
        Host().UseLanguagePackLocale();
        QuietSubmitReport report(std::move(state), replaceOtherFile);
        SubmitWorker(std::move(order), report);
    } catch (...) {
        RUDRenderingDataMgr::Instance().submitState = kThreadFinished;
    }
}

} // namespace

RUDRenderingScriptMgr& RUDRenderingScriptMgr::Instance() {
    static RUDRenderingScriptMgr instance;
    return instance;
}

bool RUDRenderingScriptMgr::RunUnderWay() const {
    const int32_t state = RUDRenderingDataMgr::Instance().submitState;
    return state >= kThreadRunning && state < kThreadFinished;
}

int32_t RUDRenderingScriptMgr::Answer(int32_t code, std::wstring message) {
    message_ = std::move(message);
    messageFromRun_ = false;
    return code;
}

int32_t RUDRenderingScriptMgr::AnalyseInto() {
    auto& store = RUDRenderingDataMgr::Instance();
    QuietAnalysisResult analysed = AnalyseQuietly(store);
    renderer_ = Utf8ToWide(store.rendererName);
    cameras_.clear();
    for (const auto& camera : store.cameras)
        cameras_.push_back({camera.first, camera.second.width, camera.second.height, camera.second.imageFormat});
    problems_.clear();
    const ReportLines lines = store.MessageLines();
    for (size_t i = 0; i < lines.Count(); ++i) problems_.push_back(*lines.At(i));
    refusal_ = analysed.refusal;
    return Answer(analysed.code, analysed.message);
}

int32_t RUDRenderingScriptMgr::Analyse() {
    // The store the analysis refills is the one a running submission reads.
    if (RunUnderWay()) return Answer(kScriptBusy, ResourceText(IDS_SCRIPT_BUSY));
    return AnalyseInto();
}

void RUDRenderingScriptMgr::ServeRun(bool untilHandBack) {
    auto& store = RUDRenderingDataMgr::Instance();
    const std::shared_ptr<ScriptRunState> run = run_;
    auto done = [&store, &run, untilHandBack] {
        return store.submitState == kThreadFinished || (untilHandBack && run->handedBack);
    };
    // The worker hands its host calls (the save, the virus checks, the copy) to this thread;
    // nothing else is dispatched meanwhile, as under a modal dialog of the host.
    auto* adapter = dynamic_cast<HostThreadOperations*>(&Host());
    while (!done()) {
        if (adapter) (void)adapter->ServeUntil(done, 1000);
        else ::Sleep(10);
    }
}

int32_t RUDRenderingScriptMgr::Submit(const ScriptSubmitArguments& arguments) {
    auto& store = RUDRenderingDataMgr::Instance();
    if (RunUnderWay()) return Answer(kScriptBusy, ResourceText(IDS_SCRIPT_BUSY));
    const int32_t analysed = AnalyseInto();
    if (analysed != kScriptAnalysed) return analysed;
    CheckedOrder checked = CheckScriptArguments(arguments, store, Host().CurrentSceneFilePath());
    if (checked.code != 0) return Answer(checked.code, checked.message);

    DisposeFinishedThread(store.submitThread, store.submitState);
    if (store.submitState != kThreadNone) return Answer(kScriptBusy, ResourceText(IDS_SCRIPT_BUSY));
    if (arguments.saveFirst && !Host().SaveScene())
        return Answer(kSubmitSceneNotSaved, ResourceText(IDS_NO_SCENE_FILE));
    store.PrepareForRun();

    run_ = std::make_shared<ScriptRunState>();
    run_->code = kScriptRunning;
    run_->SetMessage(ResourceText(IDS_SCRIPT_RUNNING));
    messageFromRun_ = true;
    // A script runs from MAXScript's evaluation, not inside a save, open, reset or render of 3ds
    // Max's own: a flag such an operation left (a failed load of the last scene) holds nothing.
    Host().ForgetEndedHostActivities();
    store.submitState = kThreadRunning;
    bool started = false;
    try {
        started = store.submitThread.Start(
            [order = std::move(checked.order), run = run_, replace = arguments.replaceOtherFile]() mutable {
                RunQuietWorker(std::move(order), run, replace);
            });
    } catch (...) {
    }
    if (!started) {
        store.submitState = kThreadFinished;
        return Answer(kSubmitFailed, std::wstring());
    }
    ServeRun(!arguments.wait);
    return run_->code;
}

int32_t RUDRenderingScriptMgr::Result() { return run_ ? run_->code.load() : static_cast<int32_t>(kScriptNoRun); }

std::wstring RUDRenderingScriptMgr::LastMessage() {
    if (messageFromRun_ && run_) return run_->Message();
    if (!run_ && message_.empty()) return ResourceText(IDS_SCRIPT_NO_RUN);
    return message_;
}

} // namespace rud
