#include "ui/WarningsList.h"

#include "core/WinHandles.h"
#include "ui/RUDRenderingUiMgr.h"

#include <algorithm>

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

// A character whose width on a screen does not depend on its neighbours: GDI neither kerns nor
// shapes these scripts (Latin, Greek, Cyrillic, CJK, Hangul syllables, full-width forms).
// Surrogate halves, combining marks and complex scripts are measured in their line.
bool MeasuresAlone(wchar_t c) {
    return c < 0x0300 || (c >= 0x0370 && c < 0x0500) || (c >= 0x3000 && c < 0xA000) ||
           (c >= 0xAC00 && c < 0xD7A4) || (c >= 0xFF00 && c < 0xFFF0);
}

bool MeasureLine(HDC dc, const wchar_t* text, size_t length, LONG& width) {
    SIZE size{};
    if (!::GetTextExtentPoint32W(dc, text, static_cast<int>(length), &size)) return false;
    width = size.cx;
    return true;
}

// The line's width as the sum of its characters' widths, each character measured once;
// false when a character must be measured in its line.
bool SumOfCharacters(HDC dc, const std::wstring& line, std::vector<LONG>& widths, LONG& width) {
    width = 0;
    for (wchar_t c : line) {
        if (!MeasuresAlone(c)) return false;
        if (widths.empty()) widths.assign(0x10000, -1);
        LONG& known = widths[static_cast<size_t>(c)];
        if (known < 0 && !MeasureLine(dc, &c, 1, known)) return false;
        width += known;
    }
    return true;
}

// The width of the widest line, as GetTextExtentPoint32W gives each (0 without a device
// context). Measuring several hundred thousand lines one call each took about a second under
// Wine, and the lines are made of few distinct characters; so lines of characters that measure
// alone are summed from per-character widths. The widest sum is measured whole as well: if the
// two disagree (character spacing, a font that kerns), every line is measured whole.
LONG WidestLineWidth(HDC dc, const std::vector<std::wstring>& lines) {
    if (!dc) return 0;
    const bool additive = ::GetTextCharacterExtra(dc) == 0;
    std::vector<LONG> widths;
    LONG widest = 0;
    LONG widestSum = 0;
    const std::wstring* widestSummed = nullptr;
    for (const std::wstring& line : lines) {
        LONG width = 0;
        if (additive && SumOfCharacters(dc, line, widths, width)) {
            if (width > widestSum || !widestSummed) {
                widestSum = width;
                widestSummed = &line;
            }
        } else if (MeasureLine(dc, line.c_str(), line.size(), width)) {
            widest = std::max(widest, width);
        }
    }
    if (!widestSummed) return widest;
    LONG whole = 0;
    if (MeasureLine(dc, widestSummed->c_str(), widestSummed->size(), whole) && whole == widestSum)
        return std::max(widest, widestSum);
    for (const std::wstring& line : lines) {
        LONG width = 0;
        if (MeasureLine(dc, line.c_str(), line.size(), width)) widest = std::max(widest, width);
    }
    return widest;
}

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
        ::SendMessageW(list, LB_SETHORIZONTALEXTENT, 0, 0);
        ui.uiLog.write("There is no warnning in this scene.", "INFO");
        return false;
    }
    ui.uiLog.write("Filling the warnings list.", "INFO");
    // One allocation for all the lines instead of a growing one per few lines (a hint, which
    // Wine's list box drops at the first line added).
    ::SendMessageW(list, LB_INITSTORAGE, static_cast<WPARAM>(lines.size()), static_cast<LPARAM>(TextBytes(lines)));
    // The extent is this fill's widest line, given once: emptying the list keeps the last
    // extent, and a scroll range left from a longer analysis would scroll into blank space.
    LONG widest = 0;
    {
        WindowDC dc(list);
        // Measure with the font the list draws with, not the device context's default.
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0));
        HGDIOBJ previous = font && dc.get() ? ::SelectObject(dc.get(), font) : nullptr;
        widest = WidestLineWidth(dc.get(), lines);
        if (previous) ::SelectObject(dc.get(), previous);
    }
    for (const std::wstring& line : lines) ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
    ui.uiLog.write("Get warnning infomation of current scene successfully.", "INFO");
    return true;
}

} // namespace rud
