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
    EXPECT_EQ(last, (std::vector<std::wstring>{L"Cam09999", L"1920", L"1080", L"9999", Text(IDS_PANORAMA_YES), L"EXR",
                                               L"Cam09999_out"}));
    EXPECT_TRUE(rud::IsRowChecked(list, 9998));
    EXPECT_FALSE(rud::IsRowChecked(list, 9999));

    ListView_SetCheckState(list, 9999, TRUE);
    rud::CopyTableChecksToCameras(list, cameras);
    EXPECT_TRUE(cameras[L"Cam09999"].renderable);
    ::DestroyWindow(list);
}

TEST(WarningsList, HorizontalExtentOnlyGrows) {
    auto& ui = rud::RUDRenderingUiMgr::Instance();
    HWND list = ::CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 100, 80,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(list);
    ASSERT_TRUE(rud::FillWarningsList(ui, list, {L"short", std::wstring(120, L'W'), L"tiny"}));
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    LRESULT extent = ::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0);
    EXPECT_GT(extent, 100);
    ASSERT_TRUE(rud::FillWarningsList(ui, list, {L"only a short line"}));
    EXPECT_EQ(::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), extent);
    ::DestroyWindow(list);
}

TEST(BusyDialog, StageTexts) {
    EXPECT_EQ(rud::FormatMegabytes(12897485), L"12.3 MB");
    std::wstring packing = Text(IDS_BUSY_PACKING);
    packing.replace(packing.find(L"%s"), 2, L"1.5 MB");
    EXPECT_EQ(rud::BusyStageText(rud::kBusyPacking, 1572864), packing);
}

TEST(BusyDialog, FollowsTheWorkersFlags) {
    auto& store = rud::RUDRenderingDataMgr::Instance();
    store.busyHidden = false;
    store.busyCloseRequested = false;
    store.busyStage = rud::kBusyWritingTask;
    std::vector<bool> visible;   // at first, while hidden, shown again
    std::wstring text;
    auto run = RunModalDialog(IDD_BUSY, rud::BusyDialogProc, [&](HWND dialog) {
        text = TextOf(dialog, IDC_BUSY_TEXT);
        for (bool hidden : {false, true, false}) {
            store.busyHidden = hidden;
            PumpMessages(150);
            visible.push_back(::IsWindowVisible(dialog) != FALSE);
        }
        store.busyCloseRequested = true;
        PumpMessages(150);
    });
    store.busyCloseRequested = false;
    EXPECT_EQ(visible, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(text, Text(IDS_BUSY_WRITING_TASK));
    EXPECT_EQ(run.result, 1);  // ended by its own timer, not by the test
}

// The busy dialog runs on a thread of its own, which must speak the host's language pack too.
TEST(BusyDialog, ItsThreadSwitchesToTheLanguagePackFirst) {
    rudtest::ScopedFakeHost fake;
    auto& store = rud::RUDRenderingDataMgr::Instance();
    store.busyHidden = false;
    store.busyCloseRequested = true;  // closes on its first timer tick
    DWORD threadId = 0;
    std::thread busy([&threadId] {
        threadId = ::GetCurrentThreadId();
        rud::RunBusyDialog(nullptr, L"", L"", L"");
    });
    busy.join();
    store.busyCloseRequested = false;
    store.busyState = rud::kThreadNone;
    EXPECT_TRUE(fake.host.ThreadUsedLanguagePack(threadId));
}

} // namespace
