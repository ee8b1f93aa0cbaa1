#pragma once
// The scene data store: everything the plug-in knows about the open scene and everything the
// artist chose for the next submission. One process-wide instance; a plain container whose
// rules live with the code that fills each field.
#include "analysis/ReportLines.h"
#include "analysis/SceneAnalysis.h"
#include "core/LogChannel.h"
#include "core/ModuleThread.h"
#include "host/HostOperations.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rud {

// What ReadAnalysis's parse says about the scene's name, so that ReadSceneName answers without
// parsing a text of tens of megabytes a second time. It belongs to the text it was taken from,
// recognised by length and hash, since callers may also assign analysisText directly.
struct SceneNameMemo {
    bool known = false;
    size_t textLength = 0;
    uint64_t textHash = 0;
    std::string failure;             // the WARN line for a text that did not parse; empty when it did
    std::string name;                // "name" as text
    std::vector<std::string> notes;  // WARN lines that reading "name" gives
};

// Result codes of ReadAnalysis.
enum AnalysisResult : int32_t {
    kAnalysisRead = 0,
    kAnalysisNoCameras = 1,
    kAnalysisDuplicateCameras = 4,
    kAnalysisUnreadable = 5,   // the text is not a JSON object; nothing was changed
};

// Steps of a submission, shown by the busy dialog.
enum BusyStage : int32_t {
    kBusyStarting = 0,
    kBusyCheckingScene = 1,
    kBusySavingScene = 2,
    kBusyCheckingViruses = 3,
    kBusyPacking = 4,
    kBusyWritingTask = 5,
    kBusySending = 6,
};

// Values of submitState / busyState.
constexpr int32_t kThreadNone = -1;
constexpr int32_t kThreadRunning = 0;
constexpr int32_t kThreadFinished = 11;

// The scene's analysis and the choices a submission takes (SceneAnalysis) are the store's first
// fields; the rest serve the dialogs and the threads.
class RUDRenderingDataMgr : public SceneAnalysis {
public:
    static RUDRenderingDataMgr& Instance();

    std::map<std::wstring, CameraInfo>& CamerasRef() { return cameras; }
    CoronaLimits& CoronaLimitsRef() { return coronaLimits; }
    std::string& IsRegionTextRef() { return isRegionText; }
    // Also forgets what the previous text said about the scene's name.
    void SetAnalysisText(std::wstring text);
    void ClearCameras() { cameras.clear(); }
    // The whole report as the warnings list shows it. A view, not a copy: a huge scene reports
    // hundreds of thousands of lines, and copying them doubled the time and memory they take.
    ReportLines MessageLines() const { return {&warningLines, &errorLines}; }
    void SetRenderModeCode(int32_t value) { renderModeCode = value; }
    void SetDistributedCount(int32_t value) { distributedCount = value; }
    void AddToolTip(HWND control, const std::wstring& text);

    // Parses analysisText and fills cameras, settings and report lines (0, 1 or 4).
    [[nodiscard]] int32_t ReadAnalysis();
    // Sets sceneFileName and sceneFilePath from "name"; returns the file name (UTF-8) or "".
    std::string ReadSceneName(std::string& name);
    // A copy of the scene's analysis and the choices kept with it, for a submission to own.
    SceneAnalysis Analysis() const { return *this; }

    std::vector<std::wstring> errorLines;
    std::vector<std::wstring> warningLines;
    std::string isRegionText;
    LogChannel dataLog;
    double uiScale = 1.0;
    std::wstring duplicateCameraNames;
    int32_t cameraDialogAllMode = 0;
    std::map<int32_t, bool> toggleButtonStates;
    std::vector<int32_t> rememberedCheckIds;
    std::vector<int32_t> rememberedComboIds;
    std::vector<int32_t> rememberedEditIds;
    std::vector<int32_t> rememberedRadioIds;
    std::vector<std::unique_ptr<IToolTip>> toolTips;
    ModuleThread submitThread;
    ModuleThread busyThread;
    // The only fields two threads use at once: the dialog, the worker and the busy dialog.
    std::atomic<int32_t> submitState{kThreadNone};
    std::atomic<int32_t> busyState{kThreadNone};
    std::atomic<bool> busyCloseRequested{false};
    std::atomic<bool> busyHidden{false};
    std::wstring analysisResultPath;
    bool referenceNamesIllegal = false;

    // What the busy dialog tells the artist: the worker's current step (BusyStage) and, while
    // packing, the archive's size so far. Written by the worker, polled by the busy dialog.
    std::atomic<int32_t> busyStage{0};
    std::atomic<int64_t> busyArchiveBytes{0};
    // 7-Zip's progress while it packs, 0 to 100; -1 until it reports one (the dialog then shows
    // the archive's size). Written by the worker, polled by the busy dialog.
    std::atomic<int32_t> busyPackPercent{-1};
    // The Cancel, settled once: set by the busy dialog when the artist cancels (the worker then
    // ends 7-Zip or stops before the next step), or by the worker as the request starts to
    // leave, after which a Cancel no longer counts. Cleared by the main dialog before each submission.
    std::atomic<bool> busyCancelRequested{false};

    // Set by the worker once 3ds Max is given back: the busy dialog makes way for a progress
    // window of its own, which stays until the worker has ended.
    std::atomic<bool> busyHandBack{false};
    // 3ds Max really goes (its shutdown notification, Stop, LibShutdown): a submission that
    // ends now opens no dialog again. Not a quit that was asked and may still be refused.
    std::atomic<bool> hostQuitting{false};
    // Until this tick (GetTickCount64) the progress window says a submission is running, after
    // the artist asked for another one.
    std::atomic<uint64_t> busyRunningNoticeUntil{0};

    SceneNameMemo sceneNameMemo;

    // Clears what the last run left in the progress fields, before the next run starts.
    void PrepareForRun();

    // True while the busy dialog's thread runs (busyState 0 and busyThread started): only then
    // does a close or hide request of the worker reach it.
    bool BusyDialogRunning() const { return busyState == kThreadRunning && busyThread.Started(); }

    // Tests build private stores; the plug-in uses Instance().
    RUDRenderingDataMgr();
    ~RUDRenderingDataMgr();
    RUDRenderingDataMgr(const RUDRenderingDataMgr&) = delete;
    RUDRenderingDataMgr& operator=(const RUDRenderingDataMgr&) = delete;
};

// A finished thread is disposed of only when the next one is due. The last run's thread reports
// itself finished just before it returns from its last destructors; a new run right then waits
// for that (its handle is also what the module's unload waits on) instead of being refused.
void DisposeFinishedThread(ModuleThread& thread, std::atomic<int32_t>& state);

} // namespace rud
