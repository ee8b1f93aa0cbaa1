#pragma once
// The camera table of the main dialog (list view 1006): one row per camera of the store, in
// key order, with its output settings and a check box that marks it for rendering.
#include "analysis/RUDRenderingDataMgr.h"
#include "analysis/SceneChecks.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace rud {

class RUDRenderingUiMgr;

using CameraMap = std::map<std::wstring, CameraInfo>;

// Inserts the seven columns. False (and an ERROR line) without a list.
[[nodiscard]] bool CreateCameraTableHead(RUDRenderingUiMgr& ui, HWND list);
// Fills an empty table; the check boxes stay unchecked.
[[nodiscard]] bool CreateCameraTable(RUDRenderingUiMgr& ui, HWND list, const CameraMap& cameras);
// Replaces every row and checks the rows of renderable cameras.
[[nodiscard]] bool UpdateCameraTable(RUDRenderingUiMgr& ui, HWND list, const CameraMap& cameras);

// Row helpers: the key in column 0 and the check box (state image 2 means checked).
std::wstring RowKey(HWND list, int row);
bool IsRowChecked(HWND list, int row);
// Copies each row's check box into the `renderable` flag of the camera of that row's key.
void CopyTableChecksToCameras(HWND list, CameraMap& cameras);
std::vector<std::wstring> SelectedRowKeys(HWND list);
// Every row of the main dialog's camera table (none without one), for the camera check.
std::vector<CameraTick> ReadCameraTicks(HWND dialog);

} // namespace rud
