#pragma once
// Small window helpers of the host's utility library, and the tooltip extender.
#include <windows.h>
#include "coreexp.h"
#include "maxheap.h"
#include "strclass.h"

UtilExport void SetCheckBox(HWND hw, int id, BOOL b);
UtilExport BOOL GetCheckBox(HWND hw, int id);
UtilExport BOOL SetWindowTextInt(HWND hWnd, int val);
UtilExport BOOL SetWindowTextFloat(HWND hWnd, float val, int precision = 3);

// Attaches tooltip texts to control windows; the tooltips go away with RemoveToolTips or the
// extender's destruction.
class UtilExport ToolTipExtender : public MaxHeapOperators {
public:
    ToolTipExtender();
    virtual ~ToolTipExtender();
    void SetToolTip(HWND hWnd, const MSTR& toolTipText);
    void RemoveToolTips();
private:
    ToolTipExtender(const ToolTipExtender&) = delete;
    ToolTipExtender& operator=(const ToolTipExtender&) = delete;
    struct Data;
    Data* data;
};
