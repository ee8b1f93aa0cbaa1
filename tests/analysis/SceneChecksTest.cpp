#include "analysis/SceneChecks.h"
#include "core/ResourceStrings.h"
#include "resources/StringIds.h"
#include "tests/analysis/AnalysisTestSupport.h"
#include "tests/support/MessageBoxRecorder.h"
#include "ui/RUDRenderingUiMgr.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

using rudtest::LogTail;
using rudtest::ResText;

TEST(CharacterRulesTest, ReferenceNames) {
    struct Case {
        std::wstring name;
        bool allowed;
        bool cyrillic;
    } cases[] = {
        {L"C:\\Projects\\Villa\\maps\\oak floor_01.jpg", true, false},
        {L"D:/Work/Loft/[v2] brick+red=final~(1)#2.png", true, false},
        {L"E:\\\u6750\u8d28\\\u6728\u7eb9\u3010\u65b0\u3011\uff08\u4e00\uff09\u3002png", true, false},
        {L"a\u2026b\u00b7c\uffe5d`e@f'g\u201c\u201d", true, false},
        {L"C:/bad|name.png", false, false},
        {L"C:/what?.png", false, false},
        {L"C:/star*.png", false, false},
        {L"C:/quote\".png", false, false},
        {L"C:/caf\u00e9.png", false, false},
        {L"C:/\u0421\u043a\u043b\u0430\u0434.jpg", false, true},
        {L"C:/\u0500supplement.jpg", false, true},
        {L"C:/\u0530armenian.jpg", false, false},
        {L"C:/\u03a9greek.jpg", false, false},
        {L"", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.name));
        EXPECT_EQ(c.allowed, rud::IsAllowedReferenceName(c.name));
        EXPECT_EQ(c.cyrillic, rud::HasCyrillic(c.name));
        // The fast check answers what the rule's regular expression answers.
        EXPECT_EQ(c.allowed, std::regex_match(c.name, rud::AllowedCharactersRule()));
        EXPECT_EQ(c.cyrillic, std::regex_search(c.name, rud::CyrillicRule()));
    }
}

TEST(CharacterRulesTest, VeryLongNamesAreCheckedWithoutExhaustingTheStack) {
    std::wstring path = L"C:/" + std::wstring(200000, L'a') + L".png";
    EXPECT_TRUE(rud::IsAllowedReferenceName(path));
    path.back() = L'|';
    EXPECT_FALSE(rud::IsAllowedReferenceName(path));
}

TEST(CharacterRulesTest, CameraKeys) {
    struct Case {
        std::wstring key;
        bool valid;
    } cases[] = {
        {L"Camera01", true}, {L"Cam Front", true}, {L"\u6444\u50cf\u673a", true},
        {L"", false}, {L" cam", false}, {L"cam ", false}, {L".cam", false}, {L"cam.", false},
        {L"c`m", false}, {L"c\\m", false}, {L"c/m", false}, {L"c:m", false}, {L"c*m", false},
        {L"c?m", false}, {L"c\"m", false}, {L"c<m", false}, {L"c>m", false}, {L"c|m", false},
        {L"c%m", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.key));
        EXPECT_EQ(c.valid, rud::IsValidCameraKey(c.key));
    }
    EXPECT_EQ(L"ab%", rud::CameraDisplayName(L"a|b%"));
    EXPECT_EQ(L"c`m. ", rud::CameraDisplayName(L"c`m. "));
}

// A plain parent window holding the camera table as control 1006.
class CameraTable {
public:
    CameraTable() {
        parent_ = ::CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
        table_ = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 380, 280, parent_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(1006)), ::GetModuleHandleW(nullptr),
                                   nullptr);
        ListView_SetExtendedListViewStyle(table_, LVS_EX_CHECKBOXES);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 200;
        column.pszText = const_cast<wchar_t*>(L"Camera");
        ListView_InsertColumn(table_, 0, &column);
    }
    ~CameraTable() { ::DestroyWindow(parent_); }

    void Add(const std::wstring& key, bool checked) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(table_);
        item.pszText = const_cast<wchar_t*>(key.c_str());
        const int row = ListView_InsertItem(table_, &item);
        ListView_SetCheckState(table_, row, checked);
    }
    HWND Dialog() const { return parent_; }
    HWND Table() const { return table_; }

private:
    HWND parent_ = nullptr;
    HWND table_ = nullptr;
};

class CameraCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        rudtest::EnsureDataFolder();
        ui = std::make_unique<rud::RUDRenderingUiMgr>();
        ASSERT_NE(nullptr, table.Table());
    }
    void AddCamera(const std::wstring& key, bool checked, int startFrame = 1) {
        cameras[key].startFrame = startFrame;
        table.Add(key, checked);
    }

    std::unique_ptr<rud::RUDRenderingUiMgr> ui;
    CameraTable table;
    std::map<std::wstring, rud::CameraInfo> cameras;
};

TEST_F(CameraCheckTest, CheckedRowsBecomeRenderable) {
    AddCamera(L"Cam A", true);
    AddCamera(L"Cam B", false);
    cameras[L"Cam B"].renderable = true;
    LogTail log(ui->uiLog);
    EXPECT_EQ(rud::kCamerasValid, rud::ValidateCameras(*ui, table.Dialog(), cameras, false));
    EXPECT_TRUE(cameras[L"Cam A"].renderable);
    EXPECT_FALSE(cameras[L"Cam B"].renderable);
    EXPECT_TRUE(log.Has("INFO", "The information of cameras to be submit is valid."));
}

TEST_F(CameraCheckTest, InvalidNamesAreCollectedFromEveryRow) {
    AddCamera(L"good", true);
    AddCamera(L"ends with dot.", false);
    AddCamera(L"50%", true);
    ui->cameraCheckLines = {L"stale"};
    LogTail log(ui->uiLog);
    EXPECT_EQ(rud::kCameraNamesInvalid, rud::ValidateCameras(*ui, table.Dialog(), cameras, false));
    // Rows appear in the table's order, which is the order they were added.
    EXPECT_EQ((std::vector<std::wstring>{L"ends with dot.", L"50%"}), ui->cameraCheckLines);
    EXPECT_TRUE(log.Has("ERROR", "The camera names to render contain invalid characters or empty!"));
}

TEST_F(CameraCheckTest, NothingCheckedFailsUnlessAsked) {
    AddCamera(L"a", false);
    AddCamera(L"b", false);
    LogTail log(ui->uiLog);
    EXPECT_EQ(rud::kNoCameraChecked, rud::ValidateCameras(*ui, table.Dialog(), cameras, false));
    EXPECT_TRUE(log.Has("ERROR", "No camera checked!"));
    EXPECT_EQ(rud::kCamerasValid, rud::ValidateCameras(*ui, table.Dialog(), cameras, true));
    cameras.clear();
    EXPECT_EQ(rud::kNoCameraChecked, rud::ValidateCameras(*ui, table.Dialog(), cameras, false));
}

TEST_F(CameraCheckTest, NegativeFrameStopsAtItsRow) {
    AddCamera(L"a", true);
    AddCamera(L"b", true, -1);
    AddCamera(L"c", true);
    LogTail log(ui->uiLog);
    EXPECT_EQ(rud::kCameraFrameNegative, rud::ValidateCameras(*ui, table.Dialog(), cameras, false));
    EXPECT_TRUE(cameras[L"a"].renderable);
    EXPECT_TRUE(cameras[L"b"].renderable);
    EXPECT_FALSE(cameras[L"c"].renderable);
    EXPECT_TRUE(log.Has("ERROR", "The parameter frame to render is less than 0!"));
}

TEST_F(CameraCheckTest, KeysAreReadUpTo259Characters) {
    const std::wstring longKey(300, L'k');
    AddCamera(longKey, true);
    cameras[longKey.substr(0, 259)];  // the key the table gives back
    EXPECT_EQ(rud::kCamerasValid, rud::ValidateCameras(*ui, table.Dialog(), cameras, false));
    EXPECT_TRUE(cameras[longKey.substr(0, 259)].renderable);
}

class CoronaLimitCheckTest : public ::testing::Test {
protected:
    void SetUp() override { store = rudtest::MakeStore(); }
    std::unique_ptr<rud::RUDRenderingDataMgr> store;
};

TEST_F(CoronaLimitCheckTest, OnlyAnUnlimitedCoronaSceneIsStopped) {
    struct Case {
        int32_t state;
        int32_t pass;
        int32_t seconds;
        double noise;
        bool passes;
    } cases[] = {
        {1, 0, 0, 0.0, false}, {2, 0, 0, 0.0, false}, {3, 0, 0, 0.0, true}, {0, 0, 0, 0.0, true},
        {1, 5, 0, 0.0, true},  {2, 0, 60, 0.0, true}, {1, 0, 0, 0.5, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        rudtest::MessageBoxRecorder boxes;
        store->coronaLimitState = c.state;
        store->coronaLimits.coronaPassLimit = c.pass;
        store->coronaLimits.coronaTimeLimitSeconds = c.seconds;
        store->coronaLimits.coronaNoiseLevelLimit = c.noise;
        EXPECT_EQ(c.passes, rud::CheckCoronaLimits(*store, nullptr));
        EXPECT_EQ(c.passes ? 0u : 1u, boxes.Count());
    }
}

TEST_F(CoronaLimitCheckTest, TheBoxAndTheBusyDialog) {
    store->coronaLimitState = 1;
    store->busyState = rud::kThreadRunning;
    store->busyThread = new std::thread();  // the store deletes it
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    rudtest::MessageBoxRecorder boxes;
    EXPECT_FALSE(rud::CheckCoronaLimits(*store, owner));
    EXPECT_TRUE(store->busyCloseRequested);
    ASSERT_EQ(1u, boxes.Count());
    const rudtest::RecordedBox box = boxes.Boxes()[0];
    EXPECT_EQ(owner, box.owner);
    EXPECT_EQ(ResText(IDS_CORONA_NOT_LIMITED), box.text);
    EXPECT_EQ(ResText(IDS_CAPTION_NOTICE), box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), box.type);
    EXPECT_EQ(rud::CurrentMessageBoxLanguage(), box.language);

    // Without a running busy dialog there is nothing to close.
    store->busyCloseRequested = false;
    store->busyState = rud::kThreadFinished;
    EXPECT_FALSE(rud::CheckCoronaLimits(*store, owner));
    EXPECT_FALSE(store->busyCloseRequested);
}

} // namespace
