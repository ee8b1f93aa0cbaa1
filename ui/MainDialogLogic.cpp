// Sockets first: the dialog starts Windows Sockets for the submission it may run.
#include <winsock2.h>

#include "ui/MainDialogLogic.h"

#include "analysis/OpenSceneAnalysis.h"
#include "analysis/RUDRenderingDataMgr.h"
#include "analysis/SceneChecks.h"
#include "core/TextConversions.h"
#include "host/HostOperations.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "submit/RenderChoices.h"
#include "ui/CameraDialog.h"
#include "ui/CameraTable.h"
#include "ui/CoronaLayout.h"
#include "ui/DialogTexts.h"
#include "ui/DialogView.h"
#include "ui/OrderToDialog.h"
#include "ui/RUDRenderingUiMgr.h"
#include "ui/RememberedValues.h"
#include "ui/SceneWarningsDialog.h"
#include "ui/SubmitLauncher.h"
#include "ui/WarningsList.h"

#include <cstdio>
#include <cwchar>

namespace rud {
namespace {

const int kAmbientOcclusionGroup[] = {IDC_MAIN_AO_RADIUS_LABEL, IDC_MAIN_AO_RADIUS, IDC_MAIN_AO_SUBDIVS_LABEL,
                                      IDC_MAIN_AO_RADIUS_UNIT, IDC_MAIN_AO_SUBDIVS, IDC_MAIN_AO_RADIUS_SPIN,
                                      IDC_MAIN_AO_SUBDIVS_SPIN};

struct UpDownStep {
    int upDown;
    int edit;
    double step;
    double lowest;
    double highest;
};

// Up-downs whose buddy the dialog steps itself (the others step natively).
const UpDownStep kSteppedUpDowns[] = {
    {IDC_MAIN_GAMMA_SPIN, IDC_MAIN_GAMMA, 0.1, kGammaRange.lowest, kGammaRange.highest},
    {IDC_MAIN_AO_RADIUS_SPIN, IDC_MAIN_AO_RADIUS, 0.1, kAoRadiusRange.lowest, kAoRadiusRange.highest},
    {IDC_MAIN_MACHINES_SPIN, IDC_MAIN_MACHINES, 1.0, 2.0, 10.0},
    {IDC_MAIN_CORONA_TIME_SPIN, IDC_MAIN_CORONA_TIME, 0.1, kCoronaHoursRange.lowest, kCoronaHoursRange.highest},
    {IDC_MAIN_CORONA_NOISE_SPIN, IDC_MAIN_CORONA_NOISE, 0.1, kCoronaNoiseRange.lowest, kCoronaNoiseRange.highest},
};

int Close(HWND dialog, INT_PTR code, int result) {
    ::EndDialog(dialog, code);
    return result;
}

int Message(HWND dialog, const MainDialogTexts& texts, const std::wstring& text, UINT type) {
    return ShowMessageBox(dialog, text, texts.caption, type, MessageBoxLanguage(texts.languageMarker.c_str()));
}

void SetUpDownRange(HWND dialog, int id, int lowest, int highest) {
    ::SendDlgItemMessageW(dialog, id, UDM_SETRANGE32, static_cast<WPARAM>(lowest), static_cast<LPARAM>(highest));
}

void ShowSceneName(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui) {
    std::string name;
    std::string fileName = store.ReadSceneName(name);
    if (fileName.empty()) {
        ui.uiLog.write("The scene name is empty!", "WARN");
        return;
    }
    // The analysis always reports a 3ds Max scene: the extension is ".max".
    std::string base = fileName.size() > 4 ? fileName.substr(0, fileName.size() - 4) : std::string();
    ui.SetSceneNameText(dialog, Utf8ToWide(base));
    ui.uiLog.write("Set scene name successfully.", "INFO");
}

void FillGiSizes(const DialogView& view) {
    for (const wchar_t* size : {L"100%", L"50%", L"33%", L"25%"}) view.AddComboItem(IDC_MAIN_GI_SIZE, size);
    view.SelectCombo(IDC_MAIN_GI_SIZE, 0);
}

void RefillWarnings(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui) {
    (void)FillWarningsList(ui, ::GetDlgItem(dialog, IDC_MAIN_WARNINGS), store.MessageLines());
}

void EnableCameraButtonForSelection(HWND dialog) {
    HWND list = ::GetDlgItem(dialog, IDC_MAIN_CAMERAS);
    int selected = static_cast<int>(::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
    ::EnableWindow(::GetDlgItem(dialog, IDC_MAIN_EDIT_CAMERAS), selected >= 2);
}

void OpenCameraDialogFor(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui, bool allSelected) {
    HWND list = ::GetDlgItem(dialog, IDC_MAIN_CAMERAS);
    CopyTableChecksToCameras(list, store.cameras);
    ui.selectedCameraNames.clear();
    if (allSelected) {
        store.cameraDialogAllMode = 1;
        for (const std::wstring& key : SelectedRowKeys(list)) ui.AddSelectedCameraName(key);
    } else {
        int row = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                  MAKELPARAM(LVNI_FOCUSED | LVNI_SELECTED, 0)));
        if (row < 0) return;
        ui.AddSelectedCameraName(RowKey(list, row));
    }
    if (!ui.selectedCameraNames.empty()) OpenCameraDialog(dialog);
}

void ChooseBlockMode(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui, int radio) {
    const int position = radio - IDC_MAIN_MODE_NONE;   // the radios follow the modes' order
    if (position >= 0 && position < kRenderModeCount) {
        const RenderModeChoice& choice = kRenderModes[position];
        if (BlockChoiceCheck(dialog, store, ui, choice.code)) {
            store.renderModeName = choice.taskName;
            ::CheckRadioButton(dialog, IDC_MAIN_MODE_NONE, IDC_MAIN_MODE_DIST_PRO, radio);
        } else {
            store.renderModeName = kRenderModes[0].taskName;
        }
        if (radio == IDC_MAIN_MODE_BLOCKS || radio == IDC_MAIN_MODE_DIST) MaterialChannelCheck(dialog, store);
        if (choice.distributedCount) store.SetDistributedCount(choice.distributedCount);
    }
    // Nothing in this dialog offers the machine count yet.
    ::EnableWindow(::GetDlgItem(dialog, IDC_MAIN_MACHINES), FALSE);
    ::EnableWindow(::GetDlgItem(dialog, IDC_MAIN_MACHINES_SPIN), FALSE);
}

// The edits' own fixes write their text back, which sends the change notification again.
bool editFixRunning = false;

void FixCoronaTimeEdit(HWND dialog, RUDRenderingUiMgr& ui) {
    if (editFixRunning) return;
    editFixRunning = true;
    ui.RestrictDecimalEdit(dialog, IDC_MAIN_CORONA_TIME, 3);
    ui.ClampRealEdit(dialog, IDC_MAIN_CORONA_TIME, 0.0, 239.0);
    editFixRunning = false;
}

void FixMachinesEdit(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui) {
    if (editFixRunning) return;
    editFixRunning = true;
    ui.ClampIntegerEdit(dialog, IDC_MAIN_MACHINES, 2, 10);
    store.SetDistributedCount(_wtoi(DialogView(dialog).Text(IDC_MAIN_MACHINES).c_str()));
    editFixRunning = false;
}

} // namespace

MainDialogTexts MainDialogTexts::Load() {
    return {ResourceText(IDS_CAPTION_ERROR), ResourceText(IDS_CAPTION_NOTICE), ResourceText(IDS_LANGUAGE_MARKER)};
}

void EnableAmbientOcclusionGroup(const DialogView& view, bool enabled) {
    for (int id : kAmbientOcclusionGroup) view.Enable(id, enabled);
}

void EnableGiGroup(const DialogView& view, bool enabled) {
    view.Enable(IDC_MAIN_GI_SIZE, enabled);
    view.Enable(IDC_MAIN_GI_SIZE_LABEL, enabled);
}

INT_PTR OpenMainDialog(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui, const SubmitOrder* carried) {
    WSADATA data{};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        std::puts("Load WinSock Failed!");
        return -1;
    }
    SetUpDownRange(dialog, IDC_MAIN_AO_SUBDIVS_SPIN, 1, 1000);
    ::SendDlgItemMessageW(dialog, IDC_MAIN_AO_SUBDIVS_SPIN, UDM_SETPOS32, 0, 16);
    SetUpDownRange(dialog, IDC_MAIN_GAMMA_SPIN, 0, 5);
    SetUpDownRange(dialog, IDC_MAIN_AO_RADIUS_SPIN, 0, 707072);
    SetUpDownRange(dialog, IDC_MAIN_MACHINES_SPIN, 2, 10);
    SetUpDownRange(dialog, IDC_MAIN_CORONA_TIME_SPIN, 0, 239);
    SetUpDownRange(dialog, IDC_MAIN_CORONA_NOISE_SPIN, 0, 100);
    SetUpDownRange(dialog, IDC_MAIN_CORONA_PASS_SPIN, 0, 2147483647);
    DialogView view(dialog);
    view.SetText(IDC_MAIN_AO_RADIUS, L"1000.0");
    view.SetText(IDC_MAIN_MACHINES, L"10");
    view.SetText(IDC_MAIN_CORONA_TIME, L"0.0");
    view.SetText(IDC_MAIN_CORONA_NOISE, L"0");

    store.coronaLimits = CoronaLimits{};
    store.useCorona = false;

    int result = AnalyseScene(dialog, store, ui, MainDialogTexts::Load(), true);
    if (result == kAnalysisShown) {
        view.Enable(IDC_MAIN_EDIT_CAMERAS, false);
        view.Enable(IDC_MAIN_MACHINES, false);
        view.Enable(IDC_MAIN_MACHINES_SPIN, false);
        store.AddToolTip(view.Control(IDC_MAIN_REMEMBER), ResourceText(IDS_TIP_REMEMBER));
        store.AddToolTip(view.Control(IDC_MAIN_SAVE_SCENE), ResourceText(IDS_TIP_SAVE_SCENE));
        store.AddToolTip(view.Control(IDC_MAIN_KEEP_WORKING), ResourceText(IDS_TIP_KEEP_WORKING));
        if (carried && OrderFitsOpenScene(*carried, Host().CurrentSceneFilePath()))
            ApplySubmitOrder(dialog, store, ui, *carried);
    } else if (result == kAnalysisCameraNamesBad) {
        ::EndDialog(dialog, kAnalysisCameraNamesBad);
    }
    return TRUE;
}

int AnalyseScene(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui,
                 const MainDialogTexts& texts, bool firstTime) {
    if (firstTime) store.ClearCameras();
    const OpenSceneAnalysis analysed = AnalyseOpenScene(store, dialog);
    int refusal = 0;
    switch (analysed.stop) {
    case AnalysisStop::kNone: break;
    case AnalysisStop::kClientMissing: refusal = IDS_CLIENT_NOT_INSTALLED; break;
    case AnalysisStop::kClientTooOld: refusal = IDS_VERSION_TOO_OLD; break;
    case AnalysisStop::kSceneNameRefused: refusal = IDS_SCENE_NAME_INVALID; break;
    case AnalysisStop::kScriptFailed: return Close(dialog, 0, 0);   // the runner has shown why
    }
    if (refusal) {
        Message(dialog, texts, ResourceText(refusal), MB_OK);
        return Close(dialog, 0, -1);
    }
    const int32_t read = analysed.read;
    if (read == kAnalysisNoCameras) {
        if (Message(dialog, texts, ResourceText(IDS_NO_CAMERAS_CONTINUE), MB_YESNO) != IDYES)
            return Close(dialog, 0, 0);
    } else if (read == kAnalysisDuplicateCameras) {
        std::wstring text = ResourceText(IDS_DUPLICATE_CAMERAS_HEAD) + store.duplicateCameraNames +
                            ResourceText(IDS_DUPLICATE_CAMERAS_TAIL);
        Message(dialog, texts, text, MB_OK);
        return Close(dialog, 0, 0);
    } else if (read == kAnalysisUnreadable) {
        Message(dialog, texts, ResourceText(IDS_ANALYSIS_SCRIPT_FAILED), MB_OK);
        return Close(dialog, 0, 0);
    }

    DialogView view(dialog);
    ::CheckRadioButton(dialog, IDC_MAIN_MODE_NONE, IDC_MAIN_MODE_DIST_PRO, IDC_MAIN_MODE_NONE);
    store.SetRenderModeCode(1);
    ShowSceneName(dialog, store, ui);
    RefillWarnings(dialog, store, ui);
    HWND list = view.Control(IDC_MAIN_CAMERAS);
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0x25, 0x25);
    ui.SetGammaText(dialog, store.gammaOut);
    store.uiScale = ui.ScreenScale();
    EnableAmbientOcclusionGroup(view, false);
    EnableGiGroup(view, false);
    if (store.cameras.size() < 2) view.Enable(IDC_MAIN_EDIT_CAMERAS, false);
    LayOutCoronaGroup(dialog, store, ui, texts.languageMarker);
    if (firstTime) {
        (void)CreateCameraTableHead(ui, list);
        (void)CreateCameraTable(ui, list, store.cameras);
        FillGiSizes(view);
    } else {
        (void)UpdateCameraTable(ui, list, store.cameras);
    }
    view.SetChecked(IDC_MAIN_SAVE_SCENE, true);
    view.SetChecked(IDC_MAIN_KEEP_WORKING, true);
    RestoreRememberedValues(dialog, store, ui);

    if (ValidateCameras(ui.uiLog, ReadCameraTicks(dialog), store.cameras, true, ui.cameraCheckLines) == kCameraNamesInvalid) {
        ShowSceneWarningsDialog(dialog);
        return kAnalysisCameraNamesBad;
    }
    return kAnalysisShown;
}

bool BlockChoiceCheck(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui, int modeCode) {
    if (store.coronaLimitState == 0) {
        ui.ShowControl(dialog, IDC_MAIN_GI_SIZE_LABEL, true);
        ui.ShowControl(dialog, IDC_MAIN_GI_SIZE, true);
    }
    if (modeCode != 10) {
        store.SetRenderModeCode(modeCode);
        return true;
    }
    ui.ShowControl(dialog, IDC_MAIN_GI_SIZE_LABEL, false);
    ui.ShowControl(dialog, IDC_MAIN_GI_SIZE, false);
    auto refuse = [&](int textId, int captionId) {
        (void)ShowDialogMessage(dialog, textId, captionId, MB_OK);
        ::CheckRadioButton(dialog, IDC_MAIN_MODE_NONE, IDC_MAIN_MODE_DIST_PRO, IDC_MAIN_MODE_NONE);
        store.SetRenderModeCode(1);
        return false;
    };
    if (const int refusal = BlockModeRefusal(store))
        return refuse(refusal, refusal == IDS_REGION_NO_BLOCKS ? IDS_CAPTION_ERROR : IDS_CAPTION_NOTICE);
    store.SetRenderModeCode(10);
    if (store.coronaLimitState != 0)
        (void)ShowDialogMessage(dialog, IDS_CORONA_BLOCK_INFO, IDS_CAPTION_NOTICE, MB_OK | MB_ICONINFORMATION);
    return true;
}

void MaterialChannelCheck(HWND dialog, RUDRenderingDataMgr& store) {
    DialogView view(dialog);
    if (!MaterialChannelAllowed(store.renderModeCode) && view.IsChecked(IDC_MAIN_CHANNEL_MTL)) {
        view.SetChecked(IDC_MAIN_CHANNEL_MTL, false);
        (void)ShowDialogMessage(dialog, IDS_MTL_NO_BLOCKS, IDS_CAPTION_NOTICE, MB_OK);
    }
}

void OnMainCommand(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui, int id, int code) {
    DialogView view(dialog);
    switch (id) {
    case IDCANCEL:
        CloseMainDialog(dialog, store);
        break;
    case IDC_MAIN_ANALYSE:
        if (AnalyseScene(dialog, store, ui, MainDialogTexts::Load(), false) == kAnalysisCameraNamesBad)
            ::EndDialog(dialog, kAnalysisCameraNamesBad);
        break;
    case IDC_MAIN_SUBMIT:
        SubmitFromMainDialog(dialog, store, ui, MainDialogTexts::Load());
        break;
    case IDC_MAIN_EDIT_CAMERAS:
        OpenCameraDialogFor(dialog, store, ui, true);
        break;
    case IDC_MAIN_INVERT_CHECKS: {
        HWND list = view.Control(IDC_MAIN_CAMERAS);
        int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < rows; ++row) {
            auto camera = store.cameras.find(RowKey(list, row));
            if (camera != store.cameras.end()) camera->second.renderable = !IsRowChecked(list, row);
        }
        (void)UpdateCameraTable(ui, list, store.cameras);
        break;
    }
    case IDC_MAIN_CHECK_ALL:
        for (auto& camera : store.cameras) camera.second.renderable = true;
        (void)UpdateCameraTable(ui, view.Control(IDC_MAIN_CAMERAS), store.cameras);
        break;
    case IDC_MAIN_MODE_NONE:
    case IDC_MAIN_MODE_BLOCKS:
    case IDC_MAIN_MODE_DIST:
    case IDC_MAIN_MODE_DIST_PRO:
        if (code == BN_CLICKED) ChooseBlockMode(dialog, store, ui, id);
        break;
    case IDC_MAIN_CHANNEL_AO:
        EnableAmbientOcclusionGroup(view, view.IsChecked(IDC_MAIN_CHANNEL_AO));
        break;
    case IDC_MAIN_CORONA_TIME:
        if (code == EN_CHANGE) FixCoronaTimeEdit(dialog, ui);
        break;
    case IDC_MAIN_CHANNEL_MTL:
        MaterialChannelCheck(dialog, store);
        break;
    case IDC_MAIN_CHANNEL_GI:
        EnableGiGroup(view, view.IsChecked(IDC_MAIN_CHANNEL_GI));
        break;
    case IDC_MAIN_MACHINES:
        if (code == EN_CHANGE) FixMachinesEdit(dialog, store, ui);
        break;
    default:
        break;
    }
}

void OnMainNotify(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui, const NMHDR& header) {
    int id = static_cast<int>(header.idFrom);
    if (header.code == UDN_DELTAPOS) {
        const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
        for (const UpDownStep& step : kSteppedUpDowns) {
            if (step.upDown == id) ui.StepEdit(dialog, step.edit, change.iDelta, step.step, step.lowest, step.highest);
        }
        return;
    }
    if (id != IDC_MAIN_CAMERAS) return;
    if (header.code == NM_CLICK || header.code == NM_DBLCLK) {
        const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
        if (activate.iItem < 0) return;
        if (header.code == NM_CLICK) EnableCameraButtonForSelection(dialog);
        else OpenCameraDialogFor(dialog, store, ui, false);
    } else if (header.code == LVN_HOTTRACK) {
        if (reinterpret_cast<const NMLISTVIEW&>(header).iItem >= 0) EnableCameraButtonForSelection(dialog);
    }
}

void OnCamerasEdited(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui) {
    (void)UpdateCameraTable(ui, ::GetDlgItem(dialog, IDC_MAIN_CAMERAS), store.cameras);
    std::wstring tiffWarning = ResourceText(IDS_TIFF_OUTPUT);
    for (const auto& camera : store.cameras) {
        const std::wstring& format = camera.second.imageFormat;
        if (format != L"TIFF" && format != L"TIF") continue;
        bool present = false;
        for (const std::wstring& line : store.warningLines) present = present || line == tiffWarning;
        if (present) break;
        if (store.warningLines.empty()) store.warningLines.push_back(ResourceText(IDS_WARNINGS_HEADER));
        store.warningLines.push_back(tiffWarning);
        break;
    }
    RefillWarnings(dialog, store, ui);
}

void CloseMainDialog(HWND dialog, RUDRenderingDataMgr& store) {
    store.toolTips.clear();
    ::EndDialog(dialog, 0);
}

} // namespace rud
