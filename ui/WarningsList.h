#pragma once
// The main dialog's warnings list: an owner-drawn list box without data that asks for a line only
// to draw or copy it, with extended selection, Ctrl+A, Ctrl+C and a Copy / Select all menu.
//
// It is not a list box of strings on purpose, for speed: handing it hundreds of thousands of
// lines took seconds at every refill and held a second copy of each; a fill now sets a count.
#include "analysis/ReportLines.h"

#include <windows.h>

namespace rud {

class RUDRenderingUiMgr;

// Shows `lines` (which must outlive the list or its next fill) from the first line, nothing
// selected; the list scrolls sideways as far as the widest line needs. False when there is no line.
[[nodiscard]] bool FillWarningsList(RUDRenderingUiMgr& ui, HWND list, ReportLines lines);

// Draws one line of a warnings list as a list box of strings draws it; for its owner's
// WM_DRAWITEM. False when the item belongs to another control.
bool DrawWarningsLine(const DRAWITEMSTRUCT& item);

} // namespace rud
