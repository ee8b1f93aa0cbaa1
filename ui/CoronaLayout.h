#pragma once
// The Corona limits row of the main dialog: hidden when the scene has no Corona limits,
// otherwise moved into one row with the output gamma at its end.
#include <windows.h>

#include <string>
#include <vector>

namespace rud {

class RUDRenderingDataMgr;
class RUDRenderingUiMgr;

struct ControlPosition {
    int id;
    int x;
    int y;
};

// Client positions of the row's controls for a screen scale and the language marker
// (string 57): "1" selects the layout of the Chinese table, anything else the English one.
std::vector<ControlPosition> CoronaRowPositions(double uiScale, const std::wstring& languageMarker);

// Hides the row (and shows string 94) without Corona limits, otherwise hides the GI controls,
// moves the row and shows the scene's limits. The frames around the row follow it, and the
// dialog grows when a large screen scale pushes the row past its bottom.
void LayOutCoronaGroup(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui,
                       const std::wstring& languageMarker);

} // namespace rud
