// The camera dialog created from its template over a store with known cameras: size limits,
// ratio linking, the field switches of the all-cameras mode and the render-name rules.
#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "tests/support/FakeHost.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CameraDialog.h"
#include "ui/RUDRenderingUiMgr.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

std::wstring Text(int id) {
    const wchar_t* text = rud::LoadResourceTextA(id);
    return text ? text : L"";
}

rud::CameraInfo Camera(int width, int height, const wchar_t* format, const wchar_t* displayName) {
    rud::CameraInfo camera;
    camera.width = width;
    camera.height = height;
    camera.startFrame = 7;
    camera.imageFormat = format;
    camera.displayName = displayName;
    return camera;
}

class CameraDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        rudtest::RegisterFakeSpinnerClass();
        store.ClearCameras();
        store.cameras[L"Hall"] = Camera(1500, 1000, L"PNG", L"Hall");
        store.cameras[L"Roof"] = Camera(800, 600, L"JPG", L"Roof");
        store.toggleButtonStates.clear();
        ui.programmaticUpdate = false;
    }
    void TearDown() override {
        if (dialog) ::DestroyWindow(dialog);
        store.cameraDialogAllMode = 0;
    }
    HWND Open(std::vector<std::wstring> names, bool allMode) {
        ui.selectedCameraNames = std::move(names);
        store.cameraDialogAllMode = allMode ? 1 : 0;
        dialog = rudtest::CreateDialogFromLanguageFile(IDD_CAMERA, rud::CameraDialogProc, owner.Window());
        return dialog;
    }
    void SwitchClick(int id) {
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
    }
    bool Enabled(int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }
    bool Visible(int id) { return rudtest::IsShown(dialog, id); }

    rudtest::ScopedFakeHost fake;
    rudtest::MessageBoxRecorder boxes;
    rudtest::RecordingOwner owner;
    rud::RUDRenderingDataMgr& store = rud::RUDRenderingDataMgr::Instance();
    rud::RUDRenderingUiMgr& ui = rud::RUDRenderingUiMgr::Instance();
    HWND dialog = nullptr;
};

TEST_F(CameraDialogTest, OpensWithTheFirstCamerasValues) {
    ASSERT_TRUE(Open({L"Hall"}, false));
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_WIDTH), L"1500");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_HEIGHT), L"1000");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_FRAME), L"7");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_RENDER_NAME), L"Hall");
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_CAMERA_RATIO_LOCK), BST_CHECKED);
    EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_CAMERA_FORMAT, CB_GETCOUNT, 0, 0), 14);
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_FORMAT), L"PNG");
    EXPECT_FALSE(Visible(IDC_CAMERA_SIZE_ON));
    EXPECT_FALSE(Visible(IDC_CAMERA_ALL_HINT_1));
    EXPECT_TRUE(Visible(IDC_CAMERA_RENDER_NAME));
}

TEST_F(CameraDialogTest, FormatSelection) {
    struct Case { const wchar_t* format; int position; };
    const Case cases[] = {{L"PNG", 1}, {L"JPG", 0}, {L"TIFF", 12}, {L"TIF", 12}, {L"CXR", 13}, {L"XYZ", 0}, {L"", 0}};
    for (const Case& c : cases) {
        store.cameras[L"Hall"].imageFormat = c.format;
        ASSERT_TRUE(Open({L"Hall"}, false));
        EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_CAMERA_FORMAT, CB_GETCURSEL, 0, 0), c.position) << c.format;
        ::DestroyWindow(dialog);
        dialog = nullptr;
    }
}

TEST_F(CameraDialogTest, SizesStopAtTheLargestImageSide) {
    ASSERT_TRUE(Open({L"Hall"}, false));
    rudtest::TypeText(dialog, IDC_CAMERA_WIDTH, L"40000");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_WIDTH), L"32768");
    rudtest::TypeText(dialog, IDC_CAMERA_HEIGHT, L"40000");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_HEIGHT), L"32768");
}

TEST_F(CameraDialogTest, LockedRatioLinksWidthAndHeightBothWays) {
    ASSERT_TRUE(Open({L"Hall"}, false));
    rudtest::TypeText(dialog, IDC_CAMERA_WIDTH, L"1920");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_HEIGHT), L"1280");
    rudtest::TypeText(dialog, IDC_CAMERA_HEIGHT, L"1000");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_WIDTH), L"1500");
    EXPECT_FALSE(ui.programmaticUpdate);

    // Unlocked, a typed ratio sets the height and the sizes set the ratio.
    rudtest::Click(dialog, IDC_CAMERA_RATIO_LOCK);
    rudtest::TypeText(dialog, IDC_CAMERA_RATIO, L"2");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_HEIGHT), L"750");
    rudtest::TypeText(dialog, IDC_CAMERA_WIDTH, L"1000");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_HEIGHT), L"750");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_RATIO), L"1.333");
}

TEST_F(CameraDialogTest, ZeroHeightLeavesTheRatioAlone) {
    store.cameras[L"Hall"].height = 0;
    ASSERT_TRUE(Open({L"Hall"}, false));
    EXPECT_TRUE(fake.host.spinners.empty());
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_CAMERA_RATIO_LOCK), BST_UNCHECKED);
    rudtest::TypeText(dialog, IDC_CAMERA_WIDTH, L"1000");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_HEIGHT), L"0");
}

TEST_F(CameraDialogTest, AllCamerasModeChangesOnlySwitchedOnFields) {
    ASSERT_TRUE(Open({L"Hall", L"Roof"}, true));
    EXPECT_FALSE(Enabled(IDC_CAMERA_WIDTH));
    EXPECT_FALSE(Visible(IDC_CAMERA_RENDER_NAME));
    EXPECT_TRUE(Visible(IDC_CAMERA_SIZE_ON));
    EXPECT_FALSE(Visible(IDC_CAMERA_SIZE_OFF));
    auto before = store.cameras;
    rudtest::Click(dialog, IDC_CAMERA_OK);
    EXPECT_EQ(owner.CamerasEditedCount(), 1);
    EXPECT_EQ(store.cameraDialogAllMode, 0);
    for (const auto& camera : before) {
        const rud::CameraInfo& after = store.cameras[camera.first];
        EXPECT_EQ(after.width, camera.second.width);
        EXPECT_EQ(after.imageFormat, camera.second.imageFormat);
        EXPECT_EQ(after.displayName, camera.second.displayName);
    }
}

TEST_F(CameraDialogTest, SwitchingFieldsOnAndOff) {
    ASSERT_TRUE(Open({L"Hall", L"Roof"}, true));
    SwitchClick(IDC_CAMERA_FRAME_ON);
    EXPECT_TRUE(Enabled(IDC_CAMERA_FRAME));
    EXPECT_FALSE(Visible(IDC_CAMERA_FRAME_ON));
    EXPECT_TRUE(Visible(IDC_CAMERA_FRAME_OFF));
    rudtest::TypeText(dialog, IDC_CAMERA_FRAME, L"42");

    SwitchClick(IDC_CAMERA_SIZE_ON);
    rudtest::TypeText(dialog, IDC_CAMERA_WIDTH, L"3000");   // locked ratio 1.5
    SwitchClick(IDC_CAMERA_SIZE_OFF);                          // ... and back: the first camera's size returns
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_WIDTH), L"1500");
    EXPECT_FALSE(Enabled(IDC_CAMERA_WIDTH));

    rudtest::Click(dialog, IDC_CAMERA_OK);
    EXPECT_EQ(store.cameras[L"Hall"].startFrame, 42);
    EXPECT_EQ(store.cameras[L"Roof"].startFrame, 42);
    EXPECT_EQ(store.cameras[L"Roof"].width, 800);
}

TEST_F(CameraDialogTest, RenderNameRules) {
    ASSERT_TRUE(Open({L"Hall"}, false));
    rudtest::TypeText(dialog, IDC_CAMERA_RENDER_NAME, L"  Main hall  ");
    EXPECT_EQ(boxes.Count(), 0u);
    rudtest::Click(dialog, IDC_CAMERA_OK);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_RENAME_SPACES));
    EXPECT_EQ(store.cameras[L"Hall"].displayName, L"Main hall");
    EXPECT_EQ(owner.CamerasEditedCount(), 1);
}

TEST_F(CameraDialogTest, EmptyRenameKeepsTheDialogOpen) {
    ASSERT_TRUE(Open({L"Hall"}, false));
    rudtest::TypeText(dialog, IDC_CAMERA_RENDER_NAME, L"   ");
    rudtest::Click(dialog, IDC_CAMERA_OK);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Boxes()[1].text, Text(IDS_RENAME_EMPTY));
    EXPECT_EQ(owner.CamerasEditedCount(), 0);
    EXPECT_EQ(store.cameras[L"Hall"].displayName, L"Hall");
}

TEST_F(CameraDialogTest, InvalidCharactersAreRemovedAndAPercentSignWarnsOnce) {
    ASSERT_TRUE(Open({L"Hall"}, false));
    rudtest::TypeText(dialog, IDC_CAMERA_RENDER_NAME, L"Ha:ll*");
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_RENAME_INVALID_CHARS));
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_RENDER_NAME), L"Hall");

    rudtest::TypeText(dialog, IDC_CAMERA_RENDER_NAME, L"Hall|50%");
    EXPECT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_RENDER_NAME), L"Hall50%");

    rudtest::TypeText(dialog, IDC_CAMERA_RENDER_NAME, std::wstring(101, L'a'));
    ASSERT_EQ(boxes.Count(), 3u);
    EXPECT_EQ(boxes.Boxes()[2].text, Text(IDS_RENAME_TOO_LONG));
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_CAMERA_RENDER_NAME).size(), 101u);
}

TEST_F(CameraDialogTest, SwitchesArePaintedFromThePngResources) {
    ASSERT_TRUE(Open({L"Hall", L"Roof"}, true));
    // The "on" picture is grey, the "off" picture green: paint each into a bitmap (one of
    // the two is hidden, so its window has nothing to show) and sample the track.
    auto colourAt = [&](int id, double across, double down = 0.5) {
        RECT rect{0, 0, 36, 18};
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, rect.right, rect.bottom);
        HGDIOBJ previous = ::SelectObject(memory, bitmap);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_STATIC;
        item.CtlID = static_cast<UINT>(id);
        item.hwndItem = ::GetDlgItem(dialog, id);
        item.hDC = memory;
        item.rcItem = rect;
        ::SendMessageW(dialog, WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&item));
        COLORREF colour = ::GetPixel(memory, static_cast<int>(rect.right * across),
                                        static_cast<int>(rect.bottom * down));
        ::SelectObject(memory, previous);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
        return colour;
    };
    COLORREF on = colourAt(IDC_CAMERA_SIZE_ON, 0.75);
    COLORREF off = colourAt(IDC_CAMERA_SIZE_OFF, 0.25);
    EXPECT_NE(on, RGB(68, 68, 68));
    EXPECT_LT(std::abs(GetGValue(on) - GetRValue(on)), 20);  // grey track
    EXPECT_GT(GetGValue(off), GetRValue(off) + 40);          // green track
    EXPECT_EQ(colourAt(IDC_CAMERA_SIZE_ON, 0.0, 0.0), RGB(68, 68, 68));  // transparent corner: the panel
}

} // namespace
