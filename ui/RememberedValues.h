#pragma once
// Puts the option values remembered in the settings file back into the main dialog.
#include <windows.h>

namespace rud {

class RUDRenderingDataMgr;
class RUDRenderingUiMgr;

// Walks the store's remembered check boxes, combo boxes, edits and radios in that order.
// Empty values leave a control alone; see the .cpp for the per-kind rules.
void RestoreRememberedValues(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui);

} // namespace rud
