#include "ui/WarningsList.h"

#include "core/ResourceStrings.h"
#include "core/WinHandles.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "ui/RUDRenderingUiMgr.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace rud {
namespace {

constexpr UINT_PTR kSubclassId = 32;
// The list's state, found from the list for its owner's drawing.
constexpr wchar_t kStateProperty[] = L"RUD.WarningsList";
// Posted by the drawing when it met a line wider than the list scrolls: the drawing runs inside
// the list box's painting, which must not change its own scroll range.
constexpr UINT kWidenMessage = WM_APP + 32;
// Measuring every line of a huge scene took about a second under Wine; the longest lines by
// character count are nearly always the widest, and one they missed widens the list once drawn.
constexpr size_t kMeasuredLines = 64;

struct ListState {
    ReportLines lines;
    LONG extent = 0;
};

LRESULT CALLBACK WarningsListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data);

ListState* StateOf(HWND list) { return static_cast<ListState*>(::GetPropW(list, kStateProperty)); }

ListState* AttachState(HWND list) {
    if (ListState* state = StateOf(list)) return state;
    // The list owns its state from here on and deletes it with itself (WM_NCDESTROY).
    auto state = std::make_unique<ListState>();
    if (!::SetPropW(list, kStateProperty, state.get())) return nullptr;
    if (::SetWindowSubclass(list, WarningsListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(state.get())))
        return state.release();
    ::RemovePropW(list, kStateProperty);
    return nullptr;
}

// While it lives the list does not paint; on the way out it paints once, whichever way the
// fill ends.
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

// The list's font selected into a device context for as long as this lives.
class ListFont {
public:
    ListFont(HWND list, HDC dc) : dc_(dc) {
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0));
        previous_ = font && dc_ ? ::SelectObject(dc_, font) : nullptr;
    }
    ~ListFont() { if (previous_) ::SelectObject(dc_, previous_); }
    ListFont(const ListFont&) = delete;
    ListFont& operator=(const ListFont&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

LONG LineWidth(HDC dc, const std::wstring& line) {
    SIZE size{};
    return ::GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size) ? size.cx : 0;
}

// Indexes of the kMeasuredLines longest lines by character count, reading only their lengths.
std::vector<size_t> LongestLines(const ReportLines& lines) {
    std::vector<size_t> longest;   // a heap whose front is the shortest kept
    const auto longer = [&lines](size_t a, size_t b) { return lines.At(a)->size() > lines.At(b)->size(); };
    for (size_t i = 0; i < lines.Count(); ++i) {
        if (longest.size() < kMeasuredLines) {
            longest.push_back(i);
            std::push_heap(longest.begin(), longest.end(), longer);
        } else if (lines.At(i)->size() > lines.At(longest.front())->size()) {
            std::pop_heap(longest.begin(), longest.end(), longer);
            longest.back() = i;
            std::push_heap(longest.begin(), longest.end(), longer);
        }
    }
    return longest;
}

LONG WidestLineWidth(HWND list, const ReportLines& lines) {
    WindowDC dc(list);
    if (!dc.get()) return 0;
    ListFont font(list, dc.get());
    LONG widest = 0;
    for (size_t index : LongestLines(lines)) widest = std::max(widest, LineWidth(dc.get(), *lines.At(index)));
    return widest;
}

// A list box of strings is as high per line as its font; an owner-drawn one keeps the height it
// was created with, whatever font the dialog gives it later.
void MatchLineHeightToFont(HWND list) {
    WindowDC dc(list);
    if (!dc.get()) return;
    ListFont font(list, dc.get());
    TEXTMETRICW metrics{};
    if (::GetTextMetricsW(dc.get(), &metrics)) ::SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(metrics.tmHeight, 0));
}

void SelectAll(HWND list) { ::SendMessageW(list, LB_SETSEL, TRUE, static_cast<LPARAM>(-1)); }

std::vector<int> SelectedIndexes(HWND list) {
    const LRESULT count = ::SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    std::vector<int> indexes(count > 0 ? static_cast<size_t>(count) : 0);
    if (!indexes.empty()) {
        const LRESULT got = ::SendMessageW(list, LB_GETSELITEMS, indexes.size(), reinterpret_cast<LPARAM>(indexes.data()));
        indexes.resize(got > 0 ? static_cast<size_t>(got) : 0);
    }
    return indexes;
}

// The selected lines in order, each ended by CR LF, in memory the clipboard can own.
UniqueGlobalMemory SelectedText(const ListState& state, const std::vector<int>& selected) {
    size_t characters = 1;
    for (int index : selected)
        if (const std::wstring* line = state.lines.At(static_cast<size_t>(index))) characters += line->size() + 2;
    UniqueGlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, characters * sizeof(wchar_t)));
    auto* text = memory ? static_cast<wchar_t*>(::GlobalLock(memory.get())) : nullptr;
    if (!text) return UniqueGlobalMemory();
    for (int index : selected) {
        const std::wstring* line = state.lines.At(static_cast<size_t>(index));
        if (!line) continue;
        std::memcpy(text, line->data(), line->size() * sizeof(wchar_t));
        text += line->size();
        *text++ = L'\r';
        *text++ = L'\n';
    }
    *text = L'\0';
    ::GlobalUnlock(memory.get());
    return memory;
}

class OpenClipboardOf {
public:
    explicit OpenClipboardOf(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardOf() { if (open_) ::CloseClipboard(); }
    OpenClipboardOf(const OpenClipboardOf&) = delete;
    OpenClipboardOf& operator=(const OpenClipboardOf&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

void CopySelection(HWND list, const ListState& state) {
    const std::vector<int> selected = SelectedIndexes(list);
    if (selected.empty()) return;
    auto& log = RUDRenderingUiMgr::Instance().uiLog;
    UniqueGlobalMemory text = SelectedText(state, selected);
    OpenClipboardOf clipboard(list);
    if (!text || !clipboard.IsOpen() || !::EmptyClipboard() || !::SetClipboardData(CF_UNICODETEXT, text.get())) {
        log.write("Could not put the selected warnings on the clipboard.", "WARN");
        return;
    }
    (void)text.release();   // the clipboard owns it now
    log.write("Copied " + std::to_string(selected.size()) + " lines of the warnings list to the clipboard.", "INFO");
}

// Where a menu asked for from the keyboard (Shift+F10, the menu key) opens: at the caret line.
POINT MenuPoint(HWND list, LPARAM lParam) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (lParam != -1) return point;
    RECT line{};
    const LRESULT caret = ::SendMessageW(list, LB_GETCARETINDEX, 0, 0);
    if (caret < 0 || ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(caret), reinterpret_cast<LPARAM>(&line)) == LB_ERR)
        ::GetClientRect(list, &line);
    point = {line.left + 4, line.bottom};
    ::ClientToScreen(list, &point);
    return point;
}

void ShowContextMenu(HWND list, const ListState& state, LPARAM lParam) {
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return;
    const UINT copyFlags = ::SendMessageW(list, LB_GETSELCOUNT, 0, 0) > 0 ? MF_STRING : MF_STRING | MF_GRAYED;
    ::AppendMenuW(menu, copyFlags, IDM_WARNINGS_LIST_COPY, ResourceText(IDS_WARNINGS_LIST_COPY).c_str());
    ::AppendMenuW(menu, MF_STRING, IDM_WARNINGS_LIST_SELECT_ALL, ResourceText(IDS_WARNINGS_LIST_SELECT_ALL).c_str());
    const POINT point = MenuPoint(list, lParam);
    const int chosen = static_cast<int>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, point.x, point.y, 0, list, nullptr));
    ::DestroyMenu(menu);
    if (chosen == IDM_WARNINGS_LIST_COPY) CopySelection(list, state);
    if (chosen == IDM_WARNINGS_LIST_SELECT_ALL) SelectAll(list);
}

bool ControlHeld() { return ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_MENU) >= 0; }

// True when the message was handled here and the list box must not see it.
bool HandleListMessage(HWND list, ListState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (!ControlHeld() || (wParam != 'A' && wParam != 'C')) return false;
        if (wParam == 'A') SelectAll(list);
        else CopySelection(list, state);
        return true;
    case WM_CONTEXTMENU:
        ShowContextMenu(list, state, lParam);
        return true;
    case WM_VSCROLL:
        // The message carries the thumb's position in 16 bits, and a list box takes it from
        // there: past line 65,535 a drag would land on the wrong line. The scroll bar's own
        // tracking position is whole.
        if (LOWORD(wParam) != SB_THUMBTRACK && LOWORD(wParam) != SB_THUMBPOSITION) return false;
        {
            SCROLLINFO scroll{sizeof(scroll), SIF_TRACKPOS};
            if (!::GetScrollInfo(list, SB_VERT, &scroll)) return false;
            ::SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(scroll.nTrackPos), 0);
        }
        return true;
    case kWidenMessage:
        if (::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0) < state.extent)
            ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(state.extent), 0);
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK WarningsListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* state = reinterpret_cast<ListState*>(data);
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(list, WarningsListProc, kSubclassId);
        ::RemovePropW(list, kStateProperty);
        delete state;
        return ::DefSubclassProc(list, message, wParam, lParam);
    }
    try {
        if (HandleListMessage(list, *state, message, wParam, lParam)) return 0;
    } catch (...) {
        // Out of memory copying a huge selection: the list goes on, the clipboard stays as it was.
        try { RUDRenderingUiMgr::Instance().uiLog.write("Unexpected failure in the warnings list.", "ERROR"); } catch (...) {}
        return 0;
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

} // namespace

bool FillWarningsList(RUDRenderingUiMgr& ui, HWND list, ReportLines lines) {
    ListState* state = AttachState(list);
    if (!state) return false;
    RedrawPause pause(list);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    state->lines = lines;
    MatchLineHeightToFont(list);
    // The extent is this fill's widest line, given once: emptying the list keeps the last
    // extent, and a scroll range left from a longer analysis would scroll into blank space.
    state->extent = 0;
    if (lines.Count() == 0) {
        ::SendMessageW(list, LB_SETHORIZONTALEXTENT, 0, 0);
        ui.uiLog.write("There is no warnning in this scene.", "INFO");
        return false;
    }
    ui.uiLog.write("Filling the warnings list.", "INFO");
    state->extent = WidestLineWidth(list, lines);
    const LRESULT set = ::SendMessageW(list, LB_SETCOUNT, static_cast<WPARAM>(lines.Count()), 0);
    if (set == LB_ERR || set == LB_ERRSPACE) {
        ui.uiLog.write("The warnings list could not take " + std::to_string(lines.Count()) + " lines.", "ERROR");
        return false;
    }
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(state->extent), 0);
    ui.uiLog.write("Get warnning infomation of current scene successfully.", "INFO");
    return true;
}

bool DrawWarningsLine(const DRAWITEMSTRUCT& item) {
    ListState* state = item.CtlType == ODT_LISTBOX ? StateOf(item.hwndItem) : nullptr;
    if (!state) return false;
    HDC dc = item.hDC;
    const std::wstring* line = item.itemID == static_cast<UINT>(-1) ? nullptr : state->lines.At(item.itemID);
    if (line) {
        ListFont font(item.hwndItem, dc);
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        const COLORREF back = selected ? ::SetBkColor(dc, ::GetSysColor(COLOR_HIGHLIGHT)) : CLR_INVALID;
        const COLORREF text = selected ? ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHTTEXT)) : CLR_INVALID;
        ::ExtTextOutW(dc, item.rcItem.left + 1, item.rcItem.top, ETO_OPAQUE | ETO_CLIPPED, &item.rcItem, line->c_str(),
                      static_cast<UINT>(line->size()), nullptr);
        if (selected) {
            ::SetBkColor(dc, back);
            ::SetTextColor(dc, text);
        }
        const LONG width = LineWidth(dc, *line);
        if (width > state->extent) {
            state->extent = width;
            ::PostMessageW(item.hwndItem, kWidenMessage, 0, 0);
        }
    }
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &item.rcItem);
    return true;
}

} // namespace rud
