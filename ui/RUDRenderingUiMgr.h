#pragma once
// The user-interface object the dialogs share: the camera lists that pass between the main
// dialog, the camera check and the camera and warnings dialogs, the "kiv_ui" log, and the small
// control operations (show, move, step, restrict, clamp) the dialogs use.
#include "core/LogChannel.h"

#include <windows.h>

#include <string>
#include <vector>

namespace rud {

class RUDRenderingUiMgr {
public:
    static RUDRenderingUiMgr& Instance();
    RUDRenderingUiMgr();
    RUDRenderingUiMgr(const RUDRenderingUiMgr&) = delete;
    RUDRenderingUiMgr& operator=(const RUDRenderingUiMgr&) = delete;

    void ShowControl(HWND dialog, int id, bool show);
    // Moves a control (size kept) to the bottom of the z-order.
    void MoveControl(HWND dialog, int id, int x, int y);
    // Reads the edit as a real number, adds delta x step, clamps, writes back with "%.1f".
    void StepEdit(HWND dialog, int id, int delta, double step, double lowest, double highest);
    // Digits with at most one "." and at most maxDecimals decimals; anything else gives "0.00".
    void RestrictDecimalEdit(HWND dialog, int id, int maxDecimals);
    void ClampRealEdit(HWND dialog, int id, double lowest, double highest);
    void ClampIntegerEdit(HWND dialog, int id, int lowest, int highest);
    // The edit's text (at most 259 characters) as a decimal real; 0 when it does not start with one.
    double ReadEditNumber(HWND dialog, int id);
    void SetSceneNameText(HWND dialog, const std::wstring& name);
    void SetGammaText(HWND dialog, double gamma);
    void SetCoronaEdits(HWND dialog, int passLimit, double timeLimitHours, double noiseLevelLimit);
    // 96, 120, 144, 168 and 192 pixels per inch give 1.0 to 2.0; anything else 1.0.
    double ScreenScale();
    static double ScaleForDpi(int dpi);
    void AddSelectedCameraName(const std::wstring& name);
    std::vector<std::wstring> CameraCheckLinesCopy() const;

    std::vector<std::wstring> selectedCameraNames;
    std::vector<std::wstring> cameraCheckLines;
    bool programmaticUpdate = false;
    LogChannel uiLog;
};

} // namespace rud
