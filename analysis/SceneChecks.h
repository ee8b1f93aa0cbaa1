#pragma once
// The farm's rules on a scene: report lines and flags during the analysis, and the two checks
// the submission runs (cameras, Corona limits).
#include "analysis/RUDRenderingDataMgr.h"

#include <windows.h>

#include <map>
#include <string>

namespace rud {

class RUDRenderingUiMgr;

// Result codes of ValidateCameras.
enum CameraCheckResult : int {
    kCamerasValid = 0,
    kCameraFrameNegative = 1,
    kCameraNamesInvalid = 2,
    kNoCameraChecked = 3,
};

// Reads the check boxes and keys of list view 1006 of `dialog` into `renderable`, collects
// invalid names in ui.cameraCheckLines. With skipNoCheckedTest, an all-unchecked table passes.
[[nodiscard]] int ValidateCameras(RUDRenderingUiMgr& ui, HWND dialog,
                                  std::map<std::wstring, CameraInfo>& cameras, bool skipNoCheckedTest);

// False (after its message box) when the scene renders with Corona and nothing is limited.
[[nodiscard]] bool CheckCoronaLimits(HWND dialog);

// Character rules shared with the dialogs.
bool HasCyrillic(const std::wstring& text);
bool IsAllowedReferenceName(const std::wstring& text);
bool IsValidCameraKey(const std::wstring& key);   // the submission-time camera name rule

} // namespace rud
