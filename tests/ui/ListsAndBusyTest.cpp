// The camera table, the warnings lists and the busy dialog.
#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/BusyDialog.h"
#include "ui/CameraTable.h"
#include "ui/RUDRenderingUiMgr.h"
#include "ui/SceneWarningsDialog.h"
#include "ui/WarningsList.h"

#include <gtest/gtest.h>
#include <commctrl.h>

namespace {

std::wstring Text(int id) {
    const wchar_t* text = rud::LoadResourceTextA(id);
    return text ? text : L"";
}

// A report-style list view in a plain window, as the main dialog has it.
class CameraTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
        list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 580, 380, parent, nullptr, nullptr, nullptr);
        ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0x25, 0x25);
    }
    void TearDown() override { ::DestroyWindow(parent); }
    std::wstring Cell(int row, int column) {
        wchar_t text[260] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 260;
        ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    rud::RUDRenderingUiMgr& ui = rud::RUDRenderingUiMgr::Instance();
    HWND parent = nullptr;
    HWND list = nullptr;
};

TEST_F(CameraTableTest, RowsFollowTheCameraMap) {
    rud::CameraMap cameras;
    cameras[L"Zeta"] = {1920, 1080, 3, L"PNG", true, L"Zeta", true};
    cameras[L"Alpha"] = {640, 480, 1, L"JPG", false, L"Alpha_render", false};
    EXPECT_FALSE(rud::CreateCameraTableHead(ui, nullptr));
    ASSERT_TRUE(rud::CreateCameraTableHead(ui, list));
    EXPECT_FALSE(rud::CreateCameraTable(ui, list, {}));
    ASSERT_TRUE(rud::CreateCameraTable(ui, list, cameras));
    EXPECT_EQ(Cell(0, 0), L"Alpha");
    EXPECT_EQ(Cell(1, 0), L"Zeta");
    std::vector<std::wstring> zeta = {Cell(1, 1), Cell(1, 2), Cell(1, 3), Cell(1, 4), Cell(1, 5), Cell(1, 6)};
    EXPECT_EQ(zeta, (std::vector<std::wstring>{L"1920", L"1080", L"3", Text(IDS_PANORAMA_YES), L"PNG", L"Zeta"}));
    EXPECT_FALSE(rud::IsRowChecked(list, 1));  // a new table starts unchecked

    ASSERT_TRUE(rud::UpdateCameraTable(ui, list, cameras));
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_FALSE(rud::IsRowChecked(list, 0));
    EXPECT_TRUE(rud::IsRowChecked(list, 1));

    cameras[L"Zeta"].renderable = false;
    ListView_SetCheckState(list, 0, TRUE);
    rud::CopyTableChecksToCameras(list, cameras);
    EXPECT_TRUE(cameras[L"Alpha"].renderable);
    EXPECT_TRUE(cameras[L"Zeta"].renderable);
}

TEST_F(CameraTableTest, LargeScenesFillCompletely) {
    rud::CameraMap cameras;
    for (int i = 0; i < 10000; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"Cam%05d", i);
        cameras[name] = {1920, 1080, i, L"EXR", i % 2 == 0, name, false};
    }
    ASSERT_TRUE(rud::CreateCameraTableHead(ui, list));
    ASSERT_TRUE(rud::UpdateCameraTable(ui, list, cameras));
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 10000);
    EXPECT_EQ(Cell(9999, 0), L"Cam09999");
    EXPECT_EQ(Cell(9999, 3), L"9999");
    EXPECT_TRUE(rud::IsRowChecked(list, 9998));
    EXPECT_FALSE(rud::IsRowChecked(list, 9999));
}

TEST(WarningsList, HorizontalExtentOnlyGrows) {
    auto& ui = rud::RUDRenderingUiMgr::Instance();
    HWND list = ::CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 100, 80,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(list);
    EXPECT_FALSE(rud::FillWarningsList(ui, list, {}));
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 0);

    std::wstring wide(120, L'W');
    ASSERT_TRUE(rud::FillWarningsList(ui, list, {L"short", wide, L"tiny"}));
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    LRESULT extent = ::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0);
    EXPECT_GT(extent, 100);
    ASSERT_TRUE(rud::FillWarningsList(ui, list, {L"only a short line"}));
    EXPECT_EQ(::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), extent);
    ::DestroyWindow(list);
}

TEST(SceneWarningsDialog, ShowsTheCameraCheckLinesAndEndsEitherWay) {
    auto& ui = rud::RUDRenderingUiMgr::Instance();
    ui.cameraCheckLines = {L"Cam.01.", L" Cam02"};
    HWND dialog = rudtest::CreateDialogFromLanguageFile(IDD_SCENE_WARNINGS, rud::SceneWarningsDialogProc);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_WARNINGS_LIST, LB_GETCOUNT, 0, 0), 2);
    wchar_t title[260] = {};
    ::GetWindowTextW(dialog, title, 260);
    EXPECT_EQ(std::wstring(title), Text(IDS_WARNINGS_TITLE));
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_WARNINGS_CLOSE), Text(IDS_WARNINGS_CLOSE));
    ::DestroyWindow(dialog);

    ui.cameraCheckLines.clear();
    auto byButton = rudtest::RunModalDialog(IDD_SCENE_WARNINGS, rud::SceneWarningsDialogProc, nullptr, [](HWND d) {
        EXPECT_EQ(::SendDlgItemMessageW(d, IDC_WARNINGS_LIST, LB_GETCOUNT, 0, 0), 0);
        ::SendMessageW(d, WM_COMMAND, IDC_WARNINGS_CLOSE, 0);
    });
    EXPECT_EQ(byButton.result, IDC_WARNINGS_CLOSE);
    auto byCloseBox = rudtest::RunModalDialog(IDD_SCENE_WARNINGS, rud::SceneWarningsDialogProc, nullptr,
                                              [](HWND d) { ::SendMessageW(d, WM_CLOSE, 0, 0); });
    EXPECT_EQ(byCloseBox.result, IDCANCEL);
}

TEST(BusyDialog, StageTexts) {
    EXPECT_EQ(rud::FormatMegabytes(12897485), L"12.3 MB");
    EXPECT_EQ(rud::FormatMegabytes(0), L"0.0 MB");
    std::wstring packing = Text(IDS_BUSY_PACKING);
    packing.replace(packing.find(L"%s"), 2, L"1.5 MB");
    EXPECT_EQ(rud::BusyStageText(rud::kBusyPacking, 1572864), packing);
    EXPECT_EQ(rud::BusyStageText(rud::kBusyStarting, 0), Text(IDS_BUSY_CHECKING_SCENE));
    EXPECT_EQ(rud::BusyStageText(rud::kBusySending, 0), Text(IDS_BUSY_SENDING));
}

TEST(BusyDialog, FollowsTheWorkersFlags) {
    auto& store = rud::RUDRenderingDataMgr::Instance();
    store.busyHidden = false;
    store.busyCloseRequested = false;
    store.busyStage = rud::kBusyWritingTask;
    struct Seen { bool shownFirst = false; bool hidden = false; bool shownAgain = false; std::wstring text; } seen;
    static Seen* current = nullptr;
    current = &seen;
    auto run = rudtest::RunModalDialog(IDD_BUSY, rud::BusyDialogProc, nullptr, [&store](HWND dialog) {
        current->shownFirst = ::IsWindowVisible(dialog) != FALSE;
        current->text = rudtest::TextOf(dialog, IDC_BUSY_TEXT);
        store.busyHidden = true;
        rudtest::PumpMessages(150);
        current->hidden = ::IsWindowVisible(dialog) == FALSE;
        store.busyHidden = false;
        rudtest::PumpMessages(150);
        current->shownAgain = ::IsWindowVisible(dialog) != FALSE;
        store.busyCloseRequested = true;
        rudtest::PumpMessages(150);
    });
    store.busyCloseRequested = false;
    EXPECT_TRUE(seen.shownFirst);
    EXPECT_TRUE(seen.hidden);
    EXPECT_TRUE(seen.shownAgain);
    EXPECT_EQ(seen.text, Text(IDS_BUSY_WRITING_TASK));
    EXPECT_EQ(run.result, 1);  // ended by its own timer, not by the test
}

} // namespace
