#include "ui/BackgroundSubmission.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/MessageBoxes.h"
#include "core/ResourceStrings.h"
#include "host/HostOperations.h"
#include "resources/StringIds.h"
#include "submit/ClientLink.h"
#include "submit/SubmitWorkflow.h"
#include "ui/BusyDialog.h"
#include "ui/MainDialog.h"
#include "ui/MainDialogLogic.h"
#include "ui/RUDRenderingUiMgr.h"

namespace rud {
namespace {

constexpr ULONGLONG kRunningNoticeMs = 5000;
// Beyond the client's own reply limit: the run still deletes what it made.
constexpr ULONGLONG kQuitWaitSpareMs = 10000;

bool WorkerRunning(const RUDRenderingDataMgr& store) { return store.submitState == kThreadRunning; }

} // namespace

bool SubmissionRunsInBackground() {
    const auto& store = RUDRenderingDataMgr::Instance();
    return store.busyHandBack && WorkerRunning(store);
}

bool BringRunningSubmissionForward() {
    auto& store = RUDRenderingDataMgr::Instance();
    if (!SubmissionRunsInBackground()) return false;
    RUDRenderingUiMgr::Instance().uiLog.write(
        "A submission is running: its progress window was brought forward instead of a second dialog.", "INFO");
    store.busyRunningNoticeUntil = ::GetTickCount64() + kRunningNoticeMs;
    if (HWND window = ProgressWindow()) {
        if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
        ::SetForegroundWindow(window);
        return true;
    }
    // A script's run has no window to bring forward: the artist is told why no dialog opens.
    const MainDialogTexts texts = MainDialogTexts::Load();
    (void)ShowMessageBox(Host().MainWindow(), ResourceText(IDS_SCRIPT_RUN_UNDER_WAY), texts.notice,
                         MB_OK | MB_ICONINFORMATION, MessageBoxLanguage(texts.languageMarker.c_str()));
    return true;
}

bool MayQuitDuringSubmission(HWND mainWindow) {
    auto& store = RUDRenderingDataMgr::Instance();
    if (!SubmissionRunsInBackground()) return true;
    // 3ds Max's batch mode shows no window and has nobody to answer: the run is let end (within
    // the bound below) instead of waiting for a click.
    const bool someoneToAsk = mainWindow && ::IsWindowVisible(mainWindow);
    if (someoneToAsk && store.busyStage != kBusySending && !store.busyCancelRequested) {
        const MainDialogTexts texts = MainDialogTexts::Load();
        const int answer = ShowMessageBox(mainWindow, ResourceText(IDS_QUIT_DURING_SUBMISSION), texts.notice,
                                          MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                                          MessageBoxLanguage(texts.languageMarker.c_str()));
        if (answer != IDYES) {
            store.dataLog.write("3ds Max was asked to quit during a submission; the artist kept it open.", "INFO");
            return false;
        }
        // Not yet "quitting": another exit callback or 3ds Max's own question may still keep it
        // open, and then the cancelled run's dialog must come back. Its reopening waits for the
        // host's idle loop, which a quit that goes on never reaches.
        if (RequestSubmitCancel(store))
            store.dataLog.write("3ds Max quits: the submission is cancelled.", "INFO");
    }
    const ULONGLONG limit = ConfiguredClientLinkTimeouts().replyMs + kQuitWaitSpareMs;
    const ULONGLONG start = ::GetTickCount64();
    // Messages other threads send to 3ds Max's windows are served meanwhile (nothing else is):
    // the run's last message box activates itself, which sends to the window it takes the
    // activation from, and would otherwise wait for this wait.
    while (WorkerRunning(store) && ::GetTickCount64() - start < limit) {
        (void)::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE);
        MSG message;
        (void)::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (WorkerRunning(store))
        store.dataLog.write("3ds Max quits while the submission has not ended yet.", "WARN");
    return true;
}

void ReopenMainDialogLater(const SubmitOrder& order) {
    auto& store = RUDRenderingDataMgr::Instance();
    if (store.hostQuitting) return;
    // The reopen waits until 3ds Max is idle; should the artist have opened the dialog from the
    // menu meanwhile (open still or closed again), theirs took its place.
    const unsigned openedBefore = MainDialogsOpened();
    const bool queued = Host().PostToMainThread([order, openedBefore] {
        auto& current = RUDRenderingDataMgr::Instance();
        if (current.hostQuitting || MainDialogOpen() || MainDialogsOpened() != openedBefore) return;
        OpenMainDialogWithOrder(Host().MainWindow(), order);
    });
    if (!queued) store.dataLog.write("The submission dialog cannot be opened again: 3ds Max cannot be reached.", "WARN");
}

} // namespace rud
