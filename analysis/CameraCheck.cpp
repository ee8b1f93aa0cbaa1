// The camera check: the camera table's check boxes decide what is rendered, and the keys of
// the rendered scene must be names the farm can handle.
#include "analysis/SceneChecks.h"
#include "ui/CameraTable.h"
#include "ui/RUDRenderingUiMgr.h"

#include <commctrl.h>

#include <algorithm>

namespace rud {
namespace {

constexpr int kCameraTableId = 1006;

struct CameraRow {
    bool checked = false;
    std::wstring key;
};

CameraRow ReadRow(HWND table, int row) {
    CameraRow result;
    const LRESULT state = ::SendMessageW(table, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    // State image 1 is the empty box; anything else (2 ticked, 0 no box at all) counts as checked.
    result.checked = ((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12) != 1;
    // The whole key, also past 259 characters: a cut key finds no camera, so a checked camera
    // with a long name would silently stay out of the task.
    result.key = RowKey(table, row);
    return result;
}

} // namespace

int ValidateCameras(RUDRenderingUiMgr& ui, HWND dialog, std::map<std::wstring, CameraInfo>& cameras,
                    bool skipNoCheckedTest) {
    ui.cameraCheckLines.clear();
    HWND table = ::GetDlgItem(dialog, kCameraTableId);
    const int rows = table ? static_cast<int>(::SendMessageW(table, LVM_GETITEMCOUNT, 0, 0)) : 0;
    const int count = std::min(static_cast<int>(cameras.size()), rows);

    bool anyChecked = false;
    bool anyInvalid = false;
    for (int row = 0; row < count; ++row) {
        const CameraRow read = ReadRow(table, row);
        auto camera = cameras.find(read.key);
        if (camera != cameras.end()) {
            camera->second.renderable = read.checked;
            if (camera->second.startFrame < 0) {
                ui.uiLog.write("The parameter frame to render is less than 0!", "ERROR");
                return kCameraFrameNegative;
            }
        }
        anyChecked = anyChecked || read.checked;
        if (!IsValidCameraKey(read.key)) {
            anyInvalid = true;
            ui.cameraCheckLines.push_back(read.key);
        }
    }
    if (anyInvalid) {
        ui.uiLog.write("The camera names to render contain invalid characters or empty!", "ERROR");
        return kCameraNamesInvalid;
    }
    if (!skipNoCheckedTest && !anyChecked) {
        ui.uiLog.write("No camera checked!", "ERROR");
        return kNoCameraChecked;
    }
    ui.uiLog.write("The information of cameras to be submit is valid.", "INFO");
    return kCamerasValid;
}

} // namespace rud
