#include "ui/WarningsList.h"

#include "core/WinHandles.h"
#include "ui/RUDRenderingUiMgr.h"

namespace rud {

bool FillWarningsList(RUDRenderingUiMgr& ui, HWND list, const std::vector<std::wstring>& lines) {
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (lines.empty()) {
        ui.uiLog.write("There is no warnning in this scene.", "INFO");
        return false;
    }
    WindowDC dc(list);
    // Measure with the font the list draws with, not the device context's default.
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font && dc.get() ? ::SelectObject(dc.get(), font) : nullptr;
    for (const std::wstring& line : lines) {
        SIZE size{};
        if (dc.get() && ::GetTextExtentPoint32W(dc.get(), line.c_str(), static_cast<int>(line.size()), &size)) {
            auto extent = static_cast<LONG>(::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0));
            if (size.cx > extent) ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(size.cx), 0);
        }
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    if (previous) ::SelectObject(dc.get(), previous);
    ui.uiLog.write("Get warnning infomation of current scene successfully.", "INFO");
    return true;
}

} // namespace rud
