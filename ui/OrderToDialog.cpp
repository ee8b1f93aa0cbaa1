#include "ui/OrderToDialog.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/FilePaths.h"
#include "resources/ControlIds.h"
#include "submit/SubmitOrder.h"
#include "ui/CameraTable.h"
#include "ui/DialogView.h"
#include "ui/RUDRenderingUiMgr.h"

namespace rud {
namespace {

// What a click sends, after the state the click would leave.
void Click(HWND dialog, int id, bool checked) {
    DialogView(dialog).SetChecked(id, checked);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void ApplyCameras(HWND dialog, RUDRenderingDataMgr& store, const SubmitOrder& order) {
    // Rows are matched by name: the fresh analysis may list other cameras in other rows.
    CopyTableChecksToCameras(::GetDlgItem(dialog, IDC_MAIN_CAMERAS), store.cameras);
    for (const auto& [key, settings] : order.cameras) {
        auto camera = store.cameras.find(key);
        if (camera == store.cameras.end()) continue;
        const bool renderable = camera->second.renderable;
        camera->second = settings;
        camera->second.renderable = renderable;
    }
    for (const CameraTick& tick : order.cameraTicks) {
        auto camera = store.cameras.find(tick.key);
        if (camera != store.cameras.end()) camera->second.renderable = tick.checked;
    }
    // As after the camera dialog: the table is filled again and its warnings follow the formats.
    ::SendMessageW(dialog, WM_USER + 1, 0, 0);
}

} // namespace

bool OrderFitsOpenScene(const SubmitOrder& order, const std::wstring& openScenePath) {
    return SameFilePath(order.sceneName.path, openScenePath);
}

void ApplySubmitOrder(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr&, const SubmitOrder& order) {
    const DialogView view(dialog);
    view.SetText(IDC_MAIN_SCENE_NAME, order.sceneName.typedName);
    ApplyCameras(dialog, store, order);
    // The mode first: the channels' rules depend on it.
    if (order.renderMode >= IDC_MAIN_MODE_NONE && order.renderMode <= IDC_MAIN_MODE_DIST_PRO)
        Click(dialog, order.renderMode, true);
    const struct { int id; bool checked; } channels[] = {
        {IDC_MAIN_CHANNEL_COLOR, order.colorChannel}, {IDC_MAIN_CHANNEL_AO, order.aoChannel},
        {IDC_MAIN_CHANNEL_MTL, order.mtlChannel},     {IDC_MAIN_CHANNEL_GI, order.giChannel},
        {IDC_MAIN_CHANNEL_PSD, order.psdChannel},
    };
    for (const auto& channel : channels) Click(dialog, channel.id, channel.checked);
    // Setting an edit's text notifies the dialog as typing does, so the edits' own fixes run.
    view.SetText(IDC_MAIN_AO_RADIUS, order.aoRadius);
    view.SetText(IDC_MAIN_AO_SUBDIVS, order.aoSubdivs);
    view.SetText(IDC_MAIN_GAMMA, order.gamma);
    view.SetText(IDC_MAIN_CORONA_PASSES, order.coronaPasses);
    view.SetText(IDC_MAIN_CORONA_TIME, order.coronaHours);
    view.SetText(IDC_MAIN_CORONA_NOISE, order.coronaNoise);
    view.SelectCombo(IDC_MAIN_GI_SIZE, order.imageScaleIndex);
    Click(dialog, IDC_MAIN_BACKUP_AND_CHECK, order.backupAndCheck);
    Click(dialog, IDC_MAIN_SAVE_SCENE, order.saveScene);
    Click(dialog, IDC_MAIN_KEEP_WORKING, order.keepWorking);
}

} // namespace rud
