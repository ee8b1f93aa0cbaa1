#pragma once
// Attaches tooltip texts to control windows; the tooltips go away with RemoveToolTips or the
// extender's destruction.
#include <windows.h>
#include "coreexp.h"
#include "maxheap.h"
#include "strclass.h"

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
