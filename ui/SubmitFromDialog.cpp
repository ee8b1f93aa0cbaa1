#include "ui/SubmitFromDialog.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/MessageBoxes.h"
#include "core/ResourceStrings.h"
#include "host/HostOperations.h"
#include "resources/ControlIds.h"
#include "submit/SubmitWorkflow.h"
#include "ui/CameraTable.h"
#include "ui/DialogView.h"
#include "ui/MainDialogLogic.h"
#include "ui/BackgroundSubmission.h"
#include "ui/BusyDialog.h"
#include "ui/MainDialog.h"

namespace rud {
namespace {

constexpr int kProgressWindowWaitMs = 5000;

// A question hides the busy dialog while the artist reads it. Declined, the busy dialog is
// closed, since the submission ends there.
template <typename Ask>
bool AskWithBusyHidden(Ask ask) {
    auto& store = RUDRenderingDataMgr::Instance();
    if (store.BusyDialogRunning()) store.busyHidden = true;
    if (!ask()) {
        RequestBusyClose();
        return false;
    }
    if (store.BusyDialogRunning()) store.busyHidden = false;
    return true;
}

} // namespace

SubmitOrder ReadSubmitOrder(HWND dialog) {
    const DialogView view(dialog);
    SubmitOrder order = NewSubmitOrder(RUDRenderingDataMgr::Instance());
    order.sceneName = JudgeTypedSceneName(view.Text(IDC_MAIN_SCENE_NAME), Host().CurrentSceneFilePath());
    order.cameraTicks = ReadCameraTicks(dialog);
    for (int radio = IDC_MAIN_MODE_NONE; radio <= IDC_MAIN_MODE_DIST_PRO && !order.renderMode; ++radio)
        if (view.IsChecked(radio)) order.renderMode = radio;
    order.colorChannel = view.IsChecked(IDC_MAIN_CHANNEL_COLOR);
    order.aoChannel = view.IsChecked(IDC_MAIN_CHANNEL_AO);
    order.mtlChannel = view.IsChecked(IDC_MAIN_CHANNEL_MTL);
    order.giChannel = view.IsChecked(IDC_MAIN_CHANNEL_GI);
    order.psdChannel = view.IsChecked(IDC_MAIN_CHANNEL_PSD);
    order.aoRadius = view.Text(IDC_MAIN_AO_RADIUS);
    order.aoSubdivs = view.Text(IDC_MAIN_AO_SUBDIVS);
    order.gamma = view.Text(IDC_MAIN_GAMMA);
    order.coronaPasses = view.Text(IDC_MAIN_CORONA_PASSES);
    order.coronaHours = view.Text(IDC_MAIN_CORONA_TIME);
    order.coronaNoise = view.Text(IDC_MAIN_CORONA_NOISE);
    order.imageScaleIndex = view.ComboSelection(IDC_MAIN_GI_SIZE);
    order.backupAndCheck = view.IsChecked(IDC_MAIN_BACKUP_AND_CHECK);
    order.saveScene = view.IsChecked(IDC_MAIN_SAVE_SCENE);
    order.keepWorking = view.IsChecked(IDC_MAIN_KEEP_WORKING);
    return order;
}

RUDDialogSubmitReport::RUDDialogSubmitReport(HWND dialog, const MainDialogTexts& texts, SubmitOrder order)
    : dialog_(dialog), caption_(texts.caption), notice_(texts.notice),
      language_(MessageBoxLanguage(texts.languageMarker.c_str())), order_(std::move(order)) {
    // A dialog opened again analyses the scene afresh: the analysis text, tens of megabytes for
    // a large scene, need not be kept a second time beside the run's.
    std::wstring().swap(order_.analysis.analysisText);
}

void RUDDialogSubmitReport::FreezeDialog() {
    for (HWND child = ::GetWindow(dialog_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const bool enabled = ::IsWindowEnabled(child) != FALSE;
        enabledBefore_[child] = enabled;
        if (enabled) ::EnableWindow(child, FALSE);
    }
}

void RUDDialogSubmitReport::Stage(int32_t stage) { RUDRenderingDataMgr::Instance().busyStage = stage; }

void RUDDialogSubmitReport::Tell(const std::wstring& text, MessageCaption caption) {
    const std::wstring none;
    const std::wstring& shown = caption == MessageCaption::kError ? caption_ : caption == MessageCaption::kNotice ? notice_ : none;
    HWND owner = dialog_;
    if (handedBack_) {
        // The artist works in 3ds Max meanwhile: the progress window's taskbar button calls them.
        owner = ProgressWindow();
        if (owner) {
            FLASHWINFO flash{sizeof(flash), owner, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
            ::FlashWindowEx(&flash);
        }
    }
    ShowMessageBox(owner, text, shown, MB_OK, language_);
}

bool RUDDialogSubmitReport::AskOkCancel(const std::wstring& text) {
    return AskWithBusyHidden([&] { return ShowMessageBox(dialog_, text, caption_, MB_OKCANCEL, language_) != IDCANCEL; });
}

bool RUDDialogSubmitReport::AskYesNo(const std::wstring& text) {
    // A question, not a failure: it carries the notice caption.
    return AskWithBusyHidden([&] {
        return ShowMessageBox(dialog_, text, notice_, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, language_) == IDYES;
    });
}

void RUDDialogSubmitReport::TaskWritten() { RUDRenderingDataMgr::Instance().renderModeName.clear(); }

void RUDDialogSubmitReport::SceneNameShown(const std::wstring& name) {
    ::SetDlgItemTextW(dialog_, IDC_MAIN_SCENE_NAME, name.c_str());
    order_.sceneName.typedName = name;
}

void RUDDialogSubmitReport::HandBack() {
    auto& store = RUDRenderingDataMgr::Instance();
    store.busyHandBack = true;
    // The main dialog goes only once the artist can see the run going on.
    for (int waited = 0; waited < kProgressWindowWaitMs && !ProgressWindow() && store.BusyDialogRunning(); waited += 10)
        ::Sleep(10);
    ::PostMessageW(dialog_, kMainDialogHandBackMessage, 0, 0);
    handedBack_ = true;
    // Closing the dialog activates 3ds Max's window, which then covers the progress window: put
    // it back in sight, without taking the keyboard from the artist.
    for (int waited = 0; waited < kProgressWindowWaitMs && ::IsWindow(dialog_); waited += 10) ::Sleep(10);
    if (HWND progress = ProgressWindow())
        ::SetWindowPos(progress, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    store.dataLog.write("3ds Max was handed back; the scene's copy is packed and sent in the background.", "INFO");
}

void RUDDialogSubmitReport::Ended(SubmitEnd end) {
    if (handedBack_) {
        if (end == SubmitEnd::kKeepDialog) ReopenMainDialogLater(order_);
        return;
    }
    // The main dialog closes itself on its own thread (tooltips, end code 0).
    if (end == SubmitEnd::kCloseDialog) ::PostMessageW(dialog_, WM_CLOSE, 0, 0);
    for (const auto& [child, enabled] : enabledBefore_) ::EnableWindow(child, enabled ? TRUE : FALSE);
}

} // namespace rud
