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

#include <algorithm>
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

// Widest text of the lines in the list's font, as the list box draws them.
LONG WidestLine(HWND list, const std::vector<std::wstring>& lines) {
    HDC dc = ::GetDC(list);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const std::wstring& line : lines) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        widest = std::max(widest, size.cx);
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(list, dc);
    return widest;
}

TEST(WarningsList, EveryLineInOrderAndTheExtentOfEachFill) {
    auto& ui = rud::RUDRenderingUiMgr::Instance();
    // A few thousand lines as a large scene reports them, mixed scripts and kerning pairs, and
    // the widest line last.
    std::vector<std::wstring> lines;
    for (int i = 0; i < 3000; ++i)
        lines.push_back(L"Missing: \\\\server\\Maps\\" + std::wstring(i % 40, i % 3 ? L'i' : L'W') +
                        (i % 7 ? L"AVAToWa.png " : L"\u6750\u8d28 fi.png ") + std::to_wstring(i) +
                        (i % 11 ? L"" : L" \u0645\u0631\u062D\u0628\u0627 \U0001F600"));
    lines.push_back(L"LTAVWAYfiffl\u6750" + std::wstring(90, L'W'));
    struct Case { const char* what; DWORD visible; std::vector<std::wstring> lines; } cases[] = {
        {"hidden", 0, {L"short", std::wstring(120, L'W'), L"tiny"}},
        {"on screen, thousands of lines", WS_VISIBLE, lines},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND list = ::CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_HSCROLL | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | c.visible,
                                      0, 0, 100, 80, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(list);
        ::SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        for (int fill = 0; fill < 2; ++fill) ASSERT_TRUE(rud::FillWarningsList(ui, list, c.lines));
        std::vector<std::wstring> shown(static_cast<size_t>(::SendMessageW(list, LB_GETCOUNT, 0, 0)));
        for (size_t i = 0; i < shown.size(); ++i) {
            shown[i].resize(static_cast<size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)));
            ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&shown[i][0]));
        }
        EXPECT_EQ(shown, c.lines);
        const LRESULT extent = ::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0);
        EXPECT_EQ(extent, WidestLine(list, c.lines));
        EXPECT_EQ(::IsWindowVisible(list) != FALSE, c.visible != 0);
        SCROLLINFO scroll{sizeof(scroll), SIF_RANGE};
        // Drawing is back on: the scroll bar knows every line.
        if (c.visible && ::GetScrollInfo(list, SB_VERT, &scroll)) {
            EXPECT_EQ(scroll.nMax + 1u, c.lines.size());
        }
        // A later, shorter analysis scrolls no further than its own widest line.
        ASSERT_TRUE(rud::FillWarningsList(ui, list, {L"only a short line"}));
        EXPECT_EQ(::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), WidestLine(list, {L"only a short line"}));
        EXPECT_FALSE(rud::FillWarningsList(ui, list, {}));
        EXPECT_EQ(::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), 0);
        ::DestroyWindow(list);
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
