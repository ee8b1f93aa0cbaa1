#include "ui/SubmitLauncher.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "host/HostOperations.h"
#include "core/RUDRenderingConfigMgr.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "core/PluginSettings.h"
#include "submit/SceneBackup.h"
#include "submit/SubmitWorkflow.h"
#include "ui/BusyDialog.h"
#include "ui/DialogTexts.h"
#include "ui/DialogView.h"
#include "ui/MainDialogLogic.h"
#include "ui/RememberedValues.h"
#include "ui/SubmitFromDialog.h"
#include "ui/RUDRenderingUiMgr.h"

namespace rud {
namespace {

void LogThreadFailure(const char* what) {
    try {
        RUDRenderingUiMgr::Instance().uiLog.write(what, "ERROR");
    } catch (...) {
    }
}

void RunSubmitWorker(SubmitOrder order, RUDDialogSubmitReport report) {
    try {
        Host().UseLanguagePackLocale();
        SubmitWorker(std::move(order), report);
    } catch (...) {
        LogThreadFailure("The submission worker stopped on an unexpected failure.");
        RequestBusyClose();
        RUDRenderingDataMgr::Instance().submitState = kThreadFinished;
    }
}

bool StartSubmitWorker(HWND dialog, RUDRenderingDataMgr& store, const MainDialogTexts& texts) {
    DisposeFinishedThread(store.submitThread, store.submitState);
    if (store.submitState != kThreadNone) return false;
    store.submitState = kThreadRunning;
    if (DialogView(dialog).IsChecked(IDC_MAIN_SAVE_SCENE) && !Host().SaveScene()) {
        store.submitState = kThreadFinished;
        return false;
    }
    store.PrepareForRun();
    // The run takes the dialog as it is now; the dialog stays frozen until the run ends.
    SubmitOrder order = ReadSubmitOrder(dialog);
    WriteRememberedValues(ReadRememberedControls(dialog, store));
    RUDDialogSubmitReport report(dialog, texts, order);
    report.FreezeDialog();
    bool started = false;
    try {
        started = store.submitThread.Start([order = std::move(order), report]() mutable { RunSubmitWorker(std::move(order), report); });
    } catch (...) {
    }
    if (!started) {
        report.Ended(SubmitEnd::kKeepDialog);
        store.submitState = kThreadFinished;  // no thread: the next click may try again
        return false;
    }
    return true;
}

void StartBusyDialog(HWND dialog, RUDRenderingDataMgr& store, const MainDialogTexts& texts) {
    DisposeFinishedThread(store.busyThread, store.busyState);
    if (store.busyState != kThreadNone) return;
    store.busyState = kThreadRunning;
    bool started = false;
    try {
        started = store.busyThread.Start([dialog, texts] {
            RunBusyDialog(dialog, texts.caption, texts.notice, texts.languageMarker);
        });
    } catch (...) {
    }
    if (!started) store.busyState = kThreadFinished;
}

} // namespace

void SubmitFromMainDialog(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr&,
                          const MainDialogTexts& texts) {
    // A refused name ends the attempt before anything is saved, the open scene included.
    std::wstring sceneName = DialogView(dialog).Text(IDC_MAIN_SCENE_NAME);
    if (!sceneName.empty() && IsRefusedSceneName(sceneName)) {
        (void)ShowDialogMessage(dialog, IDS_SCENE_NAME_INVALID, IDS_CAPTION_ERROR, MB_OK);
        ::EndDialog(dialog, 0);
        return;
    }
    if (store.referenceNamesIllegal &&
        ShowDialogMessage(dialog, IDS_REFERENCE_ILLEGAL_ASK, IDS_CAPTION_NOTICE, MB_OKCANCEL) == IDCANCEL)
        return;
    // The main thread is in this dialog's command handler: no operation of the host's own that
    // began before can still be running, whatever notification it owes.
    Host().ForgetEndedHostActivities();
    if (!StartSubmitWorker(dialog, store, texts)) return;
    StartBusyDialog(dialog, store, texts);
}

void RunBusyDialog(HWND owner, std::wstring, std::wstring, std::wstring) {
    try {
        Host().UseLanguagePackLocale();
        auto& store = RUDRenderingDataMgr::Instance();
        if (!store.busyHandBack)
            (void)::DialogBoxParamW(LanguageModule(), MAKEINTRESOURCEW(IDD_BUSY), owner, BusyDialogProc, 0);
        if (store.busyHandBack && store.submitState != kThreadFinished) RunProgressWindow();
    } catch (...) {
        LogThreadFailure("The busy dialog stopped on an unexpected failure.");
    }
    RUDRenderingDataMgr::Instance().busyState = kThreadFinished;
}

} // namespace rud
