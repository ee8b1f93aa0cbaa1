// The camera table, the warnings list and the busy dialog.
#include "analysis/RUDRenderingDataMgr.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "tests/ui/UiTestSupport.h"
#include "tests/support/FakeHost.h"
#include "ui/BusyDialog.h"
#include "ui/SubmitLauncher.h"
#include "ui/CameraTable.h"
#include "ui/RUDRenderingUiMgr.h"
#include "ui/WarningsList.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <thread>

namespace {

using namespace rudtest;
using rud::ResourceText;

// A report-style list view as the main dialog has it, filled from a large scene.
TEST(CameraTable, LargeScenesFillCompletelyInNameOrder) {
    auto& ui = rud::RUDRenderingUiMgr::Instance();
    HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 580, 380, nullptr, nullptr, nullptr, nullptr);
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0x25, 0x25);
    rud::CameraMap cameras;
    for (int i = 9999; i >= 0; --i) {
        wchar_t name[32];
        swprintf(name, 32, L"Cam%05d", i);
        cameras[name] = {1920, 1080, i, L"EXR", i % 2 == 0, std::wstring(name) + L"_out", i == 9999};
    }
    ASSERT_TRUE(rud::CreateCameraTableHead(ui, list));
    ASSERT_TRUE(rud::UpdateCameraTable(ui, list, cameras));
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 10000);
    std::vector<std::wstring> last;
    for (int column = 0; column < 7; ++column) {
        wchar_t text[260] = {};
        ListView_GetItemText(list, 9999, column, text, 260);
        last.push_back(text);
    }
    EXPECT_EQ(last, (std::vector<std::wstring>{L"Cam09999", L"1920", L"1080", L"9999", ResourceText(IDS_PANORAMA_YES),
                                               L"EXR", L"Cam09999_out"}));
    EXPECT_TRUE(rud::IsRowChecked(list, 9998));
    EXPECT_FALSE(rud::IsRowChecked(list, 9999));

    ListView_SetCheckState(list, 9999, TRUE);
    rud::CopyTableChecksToCameras(list, cameras);
    EXPECT_TRUE(cameras[L"Cam09999"].renderable);
    ::DestroyWindow(list);
}

// The line's width in the list's font.
LONG LineWidth(HWND list, const std::wstring& line) {
    HDC dc = ::GetDC(list);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    ::SelectObject(dc, previous);
    ::ReleaseDC(list, dc);
    return size.cx;
}

// The warnings list as the main dialog's template makes it, with its owner drawing it.
INT_PTR CALLBACK WarningsOwnerProc(HWND, UINT message, WPARAM, LPARAM lParam) {
    return message == WM_DRAWITEM && rud::DrawWarningsLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
}

// The client area as the control paints it.
std::vector<DWORD> Painted(HWND control) {
    RECT client{};
    ::GetClientRect(control, &client);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    // As a paint does: the background first (an owner-drawn list box fills it then), then the lines.
    ::SendMessageW(control, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ::GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    std::vector<DWORD> pixels(first, first + client.right * client.bottom);
    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

void PressWithControl(HWND control, WPARAM key) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] |= 0x80;
    ::SetKeyboardState(keys);
    ::SendMessageW(control, WM_KEYDOWN, key, 1);
    keys[VK_CONTROL] &= 0x7F;
    ::SetKeyboardState(keys);
}

std::wstring ClipboardText() {
    std::wstring text;
    HANDLE data = ::OpenClipboard(nullptr) ? ::GetClipboardData(CF_UNICODETEXT) : nullptr;
    if (const auto* chars = data ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr) text = chars;
    if (data) ::GlobalUnlock(data);
    ::CloseClipboard();
    return text;
}

// 600,000 lines as a huge scene reports them: the warnings, then a missing file a line; the
// widest is a short line of wide characters that the longest lines by count do not reveal.
struct HugeReport {
    std::vector<std::wstring> warnings{L"Warnings:", L"Region rendering is on."};
    std::vector<std::wstring> errors;
    const size_t wideLine = 299002;
    HugeReport() {
        errors.reserve(599998);
        for (int i = 0; i < 599998; ++i)
            errors.push_back(L"\\\\fileserver\\library\\missing\\" + std::to_wstring(i % 997) + L"\\" +
                             (i % 7 ? L"texture_" : L"\u6750\u8d28_") + std::to_wstring(i) + L".png");
        errors[wideLine - 2] = std::wstring(40, L'\u6750');
    }
    const std::wstring& Line(size_t i) const { return i < warnings.size() ? warnings[i] : errors[i - warnings.size()]; }
    static const HugeReport& Get() {
        static const HugeReport report;
        return report;
    }
};

class WarningsListTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = CreateDialogFromLanguageFile(IDD_MAIN, WarningsOwnerProc);
        ASSERT_TRUE(dialog);
        list = ::GetDlgItem(dialog, IDC_MAIN_WARNINGS);
        ASSERT_TRUE(rud::FillWarningsList(ui, list, {&report.warnings, &report.errors}));
    }
    void TearDown() override { ::DestroyWindow(dialog); }
    LRESULT Extent() const { return ::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0); }
    // A list box of strings in the list's place, as the list used to be, holding the lines from
    // `top` on.
    HWND ListOfStrings(LRESULT top) const {
        RECT place{};
        ::GetWindowRect(list, &place);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        const DWORD style = (::GetWindowLongW(list, GWL_STYLE) & ~(LBS_NODATA | LBS_OWNERDRAWFIXED)) | LBS_DISABLENOSCROLL;
        HWND strings = ::CreateWindowExW(::GetWindowLongW(list, GWL_EXSTYLE), L"LISTBOX", L"", style, place.left, place.top,
                                         place.right - place.left, place.bottom - place.top, dialog, nullptr, nullptr, nullptr);
        ::SendMessageW(strings, WM_SETFONT, ::SendMessageW(list, WM_GETFONT, 0, 0), FALSE);
        for (size_t i = static_cast<size_t>(top); i < 600000 && i < static_cast<size_t>(top) + 30; ++i)
            ::SendMessageW(strings, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(report.Line(i).c_str()));
        ::SendMessageW(strings, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(Extent()), 0);
        return strings;
    }

    const HugeReport& report = HugeReport::Get();
    rud::RUDRenderingUiMgr& ui = rud::RUDRenderingUiMgr::Instance();
    HWND dialog = nullptr;
    HWND list = nullptr;
};

// The first, a middle and the last lines look exactly as a list box of strings drew them,
// selected or not; the wide line widens the list once drawn; an empty report empties it.
TEST_F(WarningsListTest, EachLineIsDrawnAsAListOfStringsDrewIt) {
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 600000);
    const LRESULT wide = LineWidth(list, report.Line(report.wideLine));
    EXPECT_LT(Extent(), wide);
    ::SendMessageW(list, LB_SETTOPINDEX, report.wideLine, 0);
    (void)Painted(list);
    PumpMessages(50);
    EXPECT_EQ(Extent(), wide);
    const struct { const char* what; WPARAM top; BOOL selected; } cases[] = {
        {"first", 0, FALSE}, {"middle", 299001, FALSE}, {"last", 599999, FALSE}, {"middle, selected", 299001, TRUE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ::SendMessageW(list, LB_SETSEL, c.selected, -1);
        ::SendMessageW(list, LB_SETTOPINDEX, c.top, 0);
        const LRESULT top = ::SendMessageW(list, LB_GETTOPINDEX, 0, 0);
        HWND strings = ListOfStrings(top);
        ::SendMessageW(strings, LB_SETSEL, c.selected, -1);
        EXPECT_TRUE(Painted(list) == Painted(strings)) << "from line " << top;
        ::DestroyWindow(strings);
    }
    const std::vector<std::wstring> none;
    EXPECT_FALSE(rud::FillWarningsList(ui, list, {&none, &none}));
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Extent(), 0);
}

// Dragged with the mouse to the bottom, the thumb shows the last line.
TEST_F(WarningsListTest, TheThumbReachesTheLastLine) {
    ::SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(dialog);
    PumpMessages(200);
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    ASSERT_TRUE(::GetScrollBarInfo(list, OBJID_VSCROLL, &bar));
    const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    const int thumb = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    const int below = bar.rcScrollBar.bottom + 10;   // near enough for the thumb to stay with the drag
    const struct { int y; DWORD button; } moves[] = {
        {thumb, 0}, {thumb, MOUSEEVENTF_LEFTDOWN}, {below, 0}, {below, MOUSEEVENTF_LEFTUP}};
    for (const auto& move : moves) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = move.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | move.button;
        ::SendInput(1, &input, sizeof(input));
        // The press starts the scroll bar's own loop: the drag and the release must be queued by then.
        if (!move.button && move.y == thumb) PumpMessages(100);
    }
    PumpMessages(500);
    RECT client{}, last{};
    ::GetClientRect(list, &client);
    ::SendMessageW(list, LB_GETITEMRECT, 599999, reinterpret_cast<LPARAM>(&last));
    EXPECT_GT(last.bottom, 0);
    EXPECT_LE(last.bottom, client.bottom);
}

// Item 1 (Copy) or 2 (Select all) of the list's context menu, chosen with the keyboard.
void ChooseFromMenu(HWND list, int item) {
    for (int i = 0; i < item; ++i) ::PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    ::SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1);
}

// Select all then Copy, by keys or from the menu, or a few lines then Copy: the selected lines on
// the clipboard in order.
TEST_F(WarningsListTest, CopyPutsTheSelectedLinesOnTheClipboardInOrder) {
    const struct { const char* what; bool menu; int first; int last; } cases[] = {
        {"Ctrl+A, Ctrl+C", false, 0, 599999}, {"a range, Ctrl+C", false, 299999, 300002},
        {"the menu's Select all and Copy", true, 0, 599999}, {"a range, the menu's Copy", true, 1, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ::SendMessageW(list, LB_SETSEL, FALSE, -1);
        if (c.first > 0) ::SendMessageW(list, LB_SELITEMRANGEEX, static_cast<WPARAM>(c.first), c.last);
        else if (c.menu) ChooseFromMenu(list, 2);
        else PressWithControl(list, 'A');
        if (c.menu) ChooseFromMenu(list, 1);
        else PressWithControl(list, 'C');
        std::wstring expected;
        for (int i = c.first; i <= c.last; ++i) expected += report.Line(static_cast<size_t>(i)) + L"\r\n";
        EXPECT_TRUE(ClipboardText() == expected);   // not EXPECT_EQ: no 66 MB in the failure
    }
}

TEST(BusyDialog, DisplayForEachState) {
    std::wstring percent37 = ResourceText(IDS_BUSY_PACKING_PERCENT);
    percent37.replace(percent37.find(L"%d"), 2, L"37");
    std::wstring bySize = ResourceText(IDS_BUSY_PACKING);
    bySize.replace(bySize.find(L"%s"), 2, L"1.5 MB");
    EXPECT_EQ(rud::FormatMegabytes(12897485), L"12.3 MB");
    const struct { const char* what; int32_t stage; int32_t percent; bool cancelRequested;
                   std::wstring text; int32_t bar; bool cancel; } cases[] = {
        {"packing with a percentage", rud::kBusyPacking, 37, false, percent37, 37, true},
        {"packing before any percentage", rud::kBusyPacking, -1, false, bySize, -1, true},
        {"packing, cancel asked", rud::kBusyPacking, 37, true, percent37, 37, false},
        {"saving can be stopped once saved", rud::kBusySavingScene, -1, false, ResourceText(IDS_BUSY_SAVING_SCENE), -1, true},
        {"writing the task can still be stopped", rud::kBusyWritingTask, 100, false, ResourceText(IDS_BUSY_WRITING_TASK), -1, true},
        {"sending says it is too late", rud::kBusySending, 100, false, ResourceText(IDS_BUSY_SENDING_FINAL), -1, false},
    };
    for (const auto& c : cases) {
        const rud::BusyDisplay display = rud::BusyDisplayFor(c.stage, c.percent, 1572864, c.cancelRequested);
        EXPECT_EQ(display.text, c.text) << c.what;
        EXPECT_EQ(display.percent, c.bar) << c.what;
        EXPECT_EQ(display.cancelEnabled, c.cancel) << c.what;
    }
}

// Cancel, Escape and the close each ask the worker to stop from the first moment until the
// request leaves for the client, and do nothing once it is sent; the dialog hides while the
// worker asks it to, and itself waits for its close request.
TEST(BusyDialog, CancelAsksTheWorkerUntilTheRequestLeaves) {
    auto& store = rud::RUDRenderingDataMgr::Instance();
    store.submitState = rud::kThreadRunning;
    const struct { const char* how; int32_t stage; bool asked; } cases[] = {
        {"button", rud::kBusyPacking, true}, {"button", rud::kBusyStarting, true}, {"close", rud::kBusySavingScene, true},
        {"escape", rud::kBusyCheckingViruses, true}, {"button", rud::kBusyWritingTask, true}, {"button", rud::kBusySending, false},
    };
    for (const auto& c : cases) {
        store.busyHidden = false;
        store.busyCloseRequested = false;
        store.busyCancelRequested = false;
        store.busyStage = c.stage;
        store.busyPackPercent = 37;
        bool enabledBefore = false, hidden = false, stillOpen = false, enabledAfter = true, determinate = false;
        int32_t position = -1;
        std::wstring text;
        auto run = RunModalDialog(IDD_BUSY, rud::BusyDialogProc, [&](HWND dialog) {
            PumpMessages(100);
            text = TextOf(dialog, IDC_BUSY_TEXT);
            store.busyHidden = true;
            PumpMessages(150);
            hidden = !::IsWindowVisible(dialog);
            store.busyHidden = false;
            PumpMessages(150);
            HWND bar = ::GetDlgItem(dialog, IDC_BUSY_PROGRESS);
            determinate = (::GetWindowLongW(bar, GWL_STYLE) & PBS_MARQUEE) == 0;
            position = static_cast<int32_t>(::SendMessageW(bar, PBM_GETPOS, 0, 0));
            enabledBefore = ::IsWindowEnabled(::GetDlgItem(dialog, IDCANCEL)) != FALSE;
            if (std::string(c.how) == "button") Click(dialog, IDCANCEL);
            if (std::string(c.how) == "escape") {   // through the dialog manager, as the modal loop does
                MSG escape{::GetDlgItem(dialog, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
                ::IsDialogMessageW(dialog, &escape);
            }
            if (std::string(c.how) == "close") ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            PumpMessages(150);
            stillOpen = ::IsWindowVisible(dialog) != FALSE;
            enabledAfter = ::IsWindowEnabled(::GetDlgItem(dialog, IDCANCEL)) != FALSE;
            store.busyCloseRequested = true;
            PumpMessages(150);
        });
        const std::string what = std::string(c.how) + " at stage " + std::to_string(c.stage);
        EXPECT_EQ(run.result, 1) << what;
        EXPECT_TRUE(hidden && stillOpen) << what;
        EXPECT_EQ(text, rud::BusyDisplayFor(c.stage, 37, 0, false).text) << what;
        EXPECT_EQ(enabledBefore, c.asked) << what;
        EXPECT_EQ(store.busyCancelRequested.load(), c.asked) << what;
        EXPECT_FALSE(enabledAfter) << what;
        EXPECT_EQ(determinate, c.stage == rud::kBusyPacking) << what;
        if (determinate) {
            EXPECT_EQ(position, 37) << what;
        }
    }
    store.busyCloseRequested = false;
    store.busyCancelRequested = false;
    store.busyPackPercent = -1;
    // A worker that ended before the busy dialog's thread was up: its close request found no
    // dialog to ask, yet the dialog must not stay.
    store.submitState = rud::kThreadFinished;
    EXPECT_EQ(RunModalDialog(IDD_BUSY, rud::BusyDialogProc, [](HWND) { PumpMessages(300); }).result, 1);
    store.submitState = rud::kThreadNone;
}

// Once 3ds Max is handed back the busy dialog makes way for a window of its own: no owner (so
// 3ds Max's thread shares no input with it), a taskbar button, and it stays through the worker's
// last message (whose close requests it ignores) until the worker has ended.
TEST(BusyDialog, AfterTheHandBackItsOwnWindowStaysUntilTheWorkerEnds) {
    auto& store = rud::RUDRenderingDataMgr::Instance();
    store.submitState = rud::kThreadRunning;
    store.busyStage = rud::kBusyPacking;
    store.busyHandBack = false;
    const auto run = RunModalDialog(IDD_BUSY, rud::BusyDialogProc, [&](HWND) {
        PumpMessages(100);
        store.busyHandBack = true;
        PumpMessages(150);
    });
    EXPECT_EQ(run.result, rud::kBusyHandedBack);
    std::thread progress(rud::RunProgressWindow);
    HWND window = nullptr;
    for (int i = 0; i < 300 && !(window = rud::ProgressWindow()); ++i) ::Sleep(10);
    ASSERT_TRUE(window);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
    EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    store.busyCloseRequested = true;
    store.busyRunningNoticeUntil = ::GetTickCount64() + 60000;   // the menu asked for another run
    ::Sleep(200);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(TextOf(window, IDC_BUSY_TEXT), ResourceText(IDS_SUBMISSION_RUNNING));
    store.submitState = rud::kThreadFinished;
    progress.join();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(rud::ProgressWindow(), nullptr);
    store.busyHandBack = false;
    store.busyCloseRequested = false;
    store.busyRunningNoticeUntil = 0;
    store.submitState = rud::kThreadNone;
}

} // namespace
