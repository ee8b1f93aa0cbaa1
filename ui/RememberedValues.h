#pragma once
// The main dialog's remembered options: read from its controls for the settings file, and
// put back into it from there.
#include "core/PluginSettings.h"

#include <windows.h>

namespace rud {

class RUDRenderingDataMgr;
class RUDRenderingUiMgr;

// The store's remembered check boxes, combo boxes, edits and radios as they stand now.
RememberedValues ReadRememberedControls(HWND dialog, const RUDRenderingDataMgr& store);

// Walks the store's remembered check boxes, combo boxes, edits and radios in that order.
// Empty values leave a control alone; see the .cpp for the per-kind rules.
void RestoreRememberedValues(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui);

} // namespace rud
