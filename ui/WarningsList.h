#pragma once
// Fills a list box with report lines, widening its horizontal extent so that the longest line
// can always be scrolled into view.
#include <windows.h>

#include <string>
#include <vector>

namespace rud {

class RUDRenderingUiMgr;

// Empties the list and appends the lines in order; the list scrolls sideways as far as the
// widest of these lines needs. False when there is no line.
[[nodiscard]] bool FillWarningsList(RUDRenderingUiMgr& ui, HWND list, const std::vector<std::wstring>& lines);

} // namespace rud
