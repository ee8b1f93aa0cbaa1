#include "ui/WarningsList.h"

#include "core/WinHandles.h"
#include "ui/RUDRenderingUiMgr.h"

namespace rud {
namespace {

// While it lives the list does not paint; on the way out it paints once, whichever way the
// fill ends. A visible list box otherwise updates its scroll bar and repaints for every line
// added, which for a scene with hundreds of thousands of missing files froze 3ds Max for
// over an hour.
class RedrawPause {
public:
    explicit RedrawPause(HWND list) : list_(list) { ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0); }
    ~RedrawPause() {
        ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(list_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
    }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

private:
    HWND list_;
};

// Bytes the list box needs for the lines' texts, for LB_INITSTORAGE.
size_t TextBytes(const std::vector<std::wstring>& lines) {
    size_t bytes = 0;
    for (const std::wstring& line : lines) bytes += (line.size() + 1) * sizeof(wchar_t);
    return bytes;
}

} // namespace

bool FillWarningsList(RUDRenderingUiMgr& ui, HWND list, const std::vector<std::wstring>& lines) {
    RedrawPause pause(list);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (lines.empty()) {
        ui.uiLog.write("There is no warnning in this scene.", "INFO");
        return false;
    }
    ui.uiLog.write("Filling the warnings list.", "INFO");
    // One allocation for all the lines instead of a growing one per few lines; only a hint.
    ::SendMessageW(list, LB_INITSTORAGE, static_cast<WPARAM>(lines.size()), static_cast<LPARAM>(TextBytes(lines)));
    WindowDC dc(list);
    // Measure with the font the list draws with, not the device context's default.
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font && dc.get() ? ::SelectObject(dc.get(), font) : nullptr;
    // The extent only grows: the widest line so far is kept here and given to the list once,
    // which ends where growing it line by line would.
    const auto extent = static_cast<LONG>(::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0));
    LONG widest = extent;
    for (const std::wstring& line : lines) {
        SIZE size{};
        if (dc.get() && ::GetTextExtentPoint32W(dc.get(), line.c_str(), static_cast<int>(line.size()), &size) &&
            size.cx > widest)
            widest = size.cx;
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    if (previous) ::SelectObject(dc.get(), previous);
    if (widest > extent) ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
    ui.uiLog.write("Get warnning infomation of current scene successfully.", "INFO");
    return true;
}

} // namespace rud
