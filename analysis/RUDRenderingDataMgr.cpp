#include "analysis/RUDRenderingDataMgr.h"

namespace rud {

RUDRenderingDataMgr& RUDRenderingDataMgr::Instance() {
    static RUDRenderingDataMgr instance;
    return instance;
}

RUDRenderingDataMgr::RUDRenderingDataMgr() {
    dataLog.open("kiv_data");
    dataLog.setMaxFileSizeMb(5);
    dataLog.setMaxFileCount(2);
    rememberedCheckIds = {1043, 1044, 1051, 1053, 1056, 1002, 1003, 1001};
    rememberedComboIds = {1057};
    rememberedEditIds = {1047, 1040, 1037, 1039, 1054, 1045};
    rememberedRadioIds = {1030, 1031, 1032, 1033};
}

RUDRenderingDataMgr::~RUDRenderingDataMgr() {
    // The main dialog deletes the tooltips when it closes. Whatever is left at process exit
    // belongs to a host that may already be gone: leave it to the operating system.
    for (std::unique_ptr<IToolTip>& tip : toolTips) (void)tip.release();
}

void RUDRenderingDataMgr::SetAnalysisText(std::wstring text) {
    analysisText = std::move(text);
    sceneNameMemo = SceneNameMemo();
}

void RUDRenderingDataMgr::PrepareForRun() {
    busyCloseRequested = false;
    busyHidden = false;
    busyCancelRequested = false;
    busyStage = kBusyStarting;   // the last run's "sending" must not grey this run's Cancel
    busyHandBack = false;
    busyRunningNoticeUntil = 0;
}

void DisposeFinishedThread(ModuleThread& thread, std::atomic<int32_t>& state) {
    constexpr DWORD kFinishingThreadMs = 2000;
    if (state == kThreadNone) return;
    if (state != kThreadFinished && !thread.Started()) return;   // a run under way on no thread of ours
    if (!thread.AwaitReturn(kFinishingThreadMs)) return;
    thread.Reset();
    state = kThreadNone;
}

void RUDRenderingDataMgr::AddToolTip(HWND control, const std::wstring& text) {
    if (std::unique_ptr<IToolTip> tip = Host().AttachToolTip(control, text))
        toolTips.push_back(std::move(tip));
}

} // namespace rud
