// The camera dialog created from its template over a store with known cameras: size limits,
// ratio linking, the field switches of the all-cameras mode and the render-name rules.
#include "analysis/RUDRenderingDataMgr.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CameraDialog.h"
#include "ui/RUDRenderingUiMgr.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

namespace {

using namespace rudtest;

class CameraDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterFakeSpinnerClass();
        store.ClearCameras();
        store.cameras[L"Hall"] = {1500, 1000, 7, L"PNG", false, L"Hall", false};
        store.cameras[L"Roof"] = {800, 600, 7, L"JPG", false, L"Roof", false};
        store.toggleButtonStates.clear();
        ui.programmaticUpdate = false;
    }
    void TearDown() override { ::DestroyWindow(dialog); ::DestroyWindow(owner); store.cameraDialogAllMode = 0; }
    // Hall alone, or Hall and Roof in the all-cameras mode.
    HWND Open(bool allMode = false) {
        ::DestroyWindow(dialog);
        ui.selectedCameraNames = allMode ? std::vector<std::wstring>{L"Hall", L"Roof"} : std::vector<std::wstring>{L"Hall"};
        store.cameraDialogAllMode = allMode ? 1 : 0;
        return dialog = CreateDialogFromLanguageFile(IDD_CAMERA, rud::CameraDialogProc, owner);
    }
    void SwitchClick(int id) {
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
    }

    ScopedFakeHost fake;
    MessageBoxRecorder boxes;
    int edited = 0;
    HWND owner = CreateRecordingOwner(&edited);
    rud::RUDRenderingDataMgr& store = rud::RUDRenderingDataMgr::Instance();
    rud::RUDRenderingUiMgr& ui = rud::RUDRenderingUiMgr::Instance();
    HWND dialog = nullptr;
};

TEST_F(CameraDialogTest, FormatSelection) {
    struct Case { const wchar_t* format; int position; };
    const Case cases[] = {{L"PNG", 1}, {L"JPG", 0}, {L"TIFF", 12}, {L"TIF", 12}, {L"CXR", 13}, {L"XYZ", 0}, {L"", 0}};
    for (const Case& c : cases) {
        store.cameras[L"Hall"].imageFormat = c.format;
        ASSERT_TRUE(Open());
        EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_CAMERA_FORMAT, CB_GETCURSEL, 0, 0), c.position) << c.format;
    }
}

TEST_F(CameraDialogTest, SizesStopAtTheLargestImageSideAndALockedRatioLinksThemBothWaysUnlessZero) {
    ASSERT_TRUE(Open());
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_CAMERA_RATIO_LOCK), BST_CHECKED);
    TypeText(dialog, IDC_CAMERA_WIDTH, L"1920");
    EXPECT_EQ(TextOf(dialog, IDC_CAMERA_HEIGHT), L"1280");
    TypeText(dialog, IDC_CAMERA_HEIGHT, L"1000");
    EXPECT_EQ(TextOf(dialog, IDC_CAMERA_WIDTH), L"1500");
    EXPECT_FALSE(ui.programmaticUpdate);

    // Unlocked, a typed ratio sets the height (a zero ratio, however typed, sets nothing; the
    // smallest one the largest side) and the sizes set the ratio.
    Click(dialog, IDC_CAMERA_RATIO_LOCK);
    const std::pair<const wchar_t*, const wchar_t*> ratios[] = {{L"2", L"750"}, {L"0.0", L"750"}, {L"-0", L"750"}, {L"0.001", L"32768"}};
    for (const auto& [ratio, height] : ratios) {
        TypeText(dialog, IDC_CAMERA_RATIO, ratio);  // the host's edit commits on Enter or leaving it
        ::SendMessageW(dialog, WM_USER + 685, IDC_CAMERA_RATIO, reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDC_CAMERA_RATIO)));
        EXPECT_EQ(TextOf(dialog, IDC_CAMERA_HEIGHT), height) << ratio;
    }
    TypeText(dialog, IDC_CAMERA_HEIGHT, L"750");   // the largest side is a size like any other
    TypeText(dialog, IDC_CAMERA_WIDTH, L"32768");
    EXPECT_EQ(TextOf(dialog, IDC_CAMERA_RATIO), L"43.691");
    for (int id : {IDC_CAMERA_WIDTH, IDC_CAMERA_HEIGHT}) {
        TypeText(dialog, id, L"32769");
        EXPECT_EQ(TextOf(dialog, id), L"32768");
    }
    store.cameras[L"Hall"].height = 0;   // no height, no ratio to follow
    ASSERT_TRUE(Open());
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_CAMERA_RATIO_LOCK), BST_UNCHECKED);
    TypeText(dialog, IDC_CAMERA_WIDTH, L"1000");
    EXPECT_EQ(TextOf(dialog, IDC_CAMERA_HEIGHT), L"0");
}

TEST_F(CameraDialogTest, AllCamerasModeWithoutSwitchesChangesNothing) {
    ASSERT_TRUE(Open(true));
    EXPECT_FALSE(IsEnabled(dialog, IDC_CAMERA_WIDTH));
    EXPECT_FALSE(IsShown(dialog, IDC_CAMERA_RENDER_NAME));
    auto before = store.cameras;
    Click(dialog, IDC_CAMERA_OK);
    EXPECT_EQ(edited, 1);
    EXPECT_EQ(store.cameraDialogAllMode, 0);
    for (const auto& camera : before) {
        const rud::CameraInfo& after = store.cameras[camera.first];
        EXPECT_EQ(after.width, camera.second.width);
        EXPECT_EQ(after.imageFormat, camera.second.imageFormat);
        EXPECT_EQ(after.displayName, camera.second.displayName);
    }
}

TEST_F(CameraDialogTest, SwitchedOnFieldsApplyToAllCamerasAndSwitchingOffRestores) {
    ASSERT_TRUE(Open(true));
    SwitchClick(IDC_CAMERA_FRAME_ON);
    EXPECT_TRUE(IsEnabled(dialog, IDC_CAMERA_FRAME));
    EXPECT_FALSE(IsShown(dialog, IDC_CAMERA_FRAME_ON));
    EXPECT_TRUE(IsShown(dialog, IDC_CAMERA_FRAME_OFF));
    TypeText(dialog, IDC_CAMERA_FRAME, L"42");
    SwitchClick(IDC_CAMERA_SIZE_ON);
    TypeText(dialog, IDC_CAMERA_WIDTH, L"3000");
    SwitchClick(IDC_CAMERA_SIZE_OFF);   // ... and back: the first camera's size returns
    EXPECT_EQ(TextOf(dialog, IDC_CAMERA_WIDTH), L"1500");
    EXPECT_FALSE(IsEnabled(dialog, IDC_CAMERA_WIDTH));
    Click(dialog, IDC_CAMERA_OK);
    EXPECT_EQ(store.cameras[L"Hall"].startFrame, 42);
    EXPECT_EQ(store.cameras[L"Roof"].startFrame, 42);
    EXPECT_EQ(store.cameras[L"Roof"].width, 800);
}

// The render name: judged as the dialog opens (a name the farm refuses, or a long one, is pointed
// out before the artist changes anything), cleaned while typing, spaces and emptiness judged at OK.
TEST_F(CameraDialogTest, RenderNameRules) {
    enum Action { kOpen, kType, kTypeAndOk };
    const std::wstring h100(100, L'h'), h101(101, L'h'), a101(101, L'a');
    struct Case { std::wstring before; bool allMode; Action action; std::wstring typed; size_t boxes; int lastMessage;
                  std::wstring field; std::wstring stored; int edited; };
    const Case cases[] = {
        {L"Hall", false, kOpen, L"", 0, 0, L"Hall", L"Hall", 0},
        {L"Hall 50%", false, kOpen, L"", 1, IDS_RENAME_INVALID_CHARS, L"Hall 50%", L"Hall 50%", 0},
        {L"Ha:ll", false, kOpen, L"", 1, IDS_RENAME_INVALID_CHARS, L"Hall", L"Ha:ll", 0},
        {h101, false, kOpen, L"", 1, IDS_RENAME_TOO_LONG, h101, h101, 0},
        {h100, false, kOpen, L"", 0, 0, h100, h100, 0},
        {L"Hall%", true, kOpen, L"", 1, IDS_RENAME_INVALID_CHARS, L"Hall%", L"Hall%", 0},
        {L"Hall", false, kTypeAndOk, L"  Main hall  ", 1, IDS_RENAME_SPACES, L"", L"Main hall", 1},
        {L"Hall", false, kTypeAndOk, L"   ", 2, IDS_RENAME_EMPTY, L"", L"Hall", 0},
        {L"Hall", false, kType, L"Ha:ll*", 1, IDS_RENAME_INVALID_CHARS, L"Hall", L"Hall", 0},
        {L"Hall", false, kType, L"Hall|50%", 1, IDS_RENAME_INVALID_CHARS, L"Hall50%", L"Hall", 0},
        {L"Hall", false, kType, a101, 1, IDS_RENAME_TOO_LONG, a101, L"Hall", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.before) + " " + testing::PrintToString(c.typed));
        MessageBoxRecorder caseBoxes;
        store.cameras[L"Hall"].displayName = c.before;
        edited = 0;
        ASSERT_TRUE(Open(c.allMode));
        if (c.action != kOpen) TypeText(dialog, IDC_CAMERA_RENDER_NAME, c.typed);
        if (c.action == kTypeAndOk) Click(dialog, IDC_CAMERA_OK);
        else EXPECT_EQ(TextOf(dialog, IDC_CAMERA_RENDER_NAME), c.field);
        ASSERT_EQ(caseBoxes.Count(), c.boxes);
        if (c.boxes) { EXPECT_EQ(caseBoxes.Boxes().back().text, rud::ResourceText(c.lastMessage)); }
        EXPECT_EQ(store.cameras[L"Hall"].displayName, c.stored);
        EXPECT_EQ(edited, c.edited);
    }
}

TEST_F(CameraDialogTest, SwitchesArePaintedFromThePngResources) {
    ASSERT_TRUE(Open(true));
    // The "on" picture is grey, the "off" picture green: paint each into a bitmap (one of
    // the two is hidden, so its window has nothing to show) and sample the track.
    HDC memory = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateBitmap(36, 18, 1, 32, nullptr);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    auto colourAt = [&](int id, int x, int y) {
        DRAWITEMSTRUCT item{ODT_STATIC, static_cast<UINT>(id), 0, 0, 0, ::GetDlgItem(dialog, id), memory, {0, 0, 36, 18}, 0};
        ::SendMessageW(dialog, WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&item));
        return ::GetPixel(memory, x, y);
    };
    COLORREF on = colourAt(IDC_CAMERA_SIZE_ON, 27, 9), off = colourAt(IDC_CAMERA_SIZE_OFF, 9, 9);
    COLORREF corner = colourAt(IDC_CAMERA_SIZE_ON, 0, 0);
    ::DeleteObject(::SelectObject(memory, previous));
    ::DeleteDC(memory);
    EXPECT_NE(on, RGB(68, 68, 68));
    EXPECT_LT(std::abs(GetGValue(on) - GetRValue(on)), 20);  // grey track
    EXPECT_GT(GetGValue(off), GetRValue(off) + 40);          // green track
    EXPECT_EQ(corner, RGB(68, 68, 68));                      // transparent corner: the panel
}

} // namespace
