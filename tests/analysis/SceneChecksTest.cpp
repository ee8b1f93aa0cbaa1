#include "analysis/SceneChecks.h"
#include "resources/ControlIds.h"
#include "tests/analysis/AnalysisTestSupport.h"
#include "tests/support/MainDialogWindow.h"
#include "ui/CameraTable.h"
#include "ui/RUDRenderingUiMgr.h"

#include <commctrl.h>

#include <regex>

namespace {

using rudtest::LogTail;

TEST(CharacterRulesTest, ReferenceNames) {
    struct Case { std::wstring name; bool allowed, cyrillic; } cases[] = {
        {L"C:\\Projects\\Villa\\maps\\oak floor_01.jpg", true, false}, {L"D:/[v2] b+r=f~(1)#2.png", true, false},
        {L"E:\\\u6750\u8d28\\\u6728\u7eb9\u3010\u65b0\u3011\uff08\u4e00\uff09\u3002png", true, false},
        {L"a\u2026b\u00b7c\uffe5d`e@f'g\u201c\u201d", true, false}, {L"", false, false},
        {L"C:/bad|name.png", false, false}, {L"what?", false, false}, {L"*", false, false}, {L"\"", false, false},
        {L"caf\u00e9", false, false}, {L"\u03a9", false, false}, {L"\u0530", false, false}, {L"\u0500", false, true},
        {L"C:/\u0421\u043a\u043b\u0430\u0434.jpg", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.name));
        EXPECT_EQ(c.allowed, rud::IsAllowedReferenceName(c.name));
        EXPECT_EQ(c.cyrillic, rud::HasCyrillic(c.name));
        // The fast check answers what the rule's regular expression answers.
        EXPECT_EQ(c.allowed, std::regex_match(c.name, rud::AllowedCharactersRule()));
        EXPECT_EQ(c.cyrillic, std::regex_search(c.name, rud::CyrillicRule()));
    }
    // Very long names must not exhaust the stack.
    std::wstring path = L"C:/" + std::wstring(200000, L'a') + L".png";
    EXPECT_TRUE(rud::IsAllowedReferenceName(path));
    path.back() = L'|';
    EXPECT_FALSE(rud::IsAllowedReferenceName(path));
}

class CameraCheckTest : public rudtest::StoreTest {
protected:
    void AddCamera(const std::wstring& key, bool checked, int startFrame = 0) {   // the first frame allowed
        cameras[key].startFrame = startFrame;
        dialog.AddCamera(key, checked);
    }
    int32_t Validate(bool noneChecked = false) { return rud::ValidateCameras(ui->uiLog, rud::ReadCameraTicks(dialog.Handle()), cameras, noneChecked, ui->cameraCheckLines); }

    std::unique_ptr<rud::RUDRenderingUiMgr> ui = std::make_unique<rud::RUDRenderingUiMgr>();
    rudtest::MainDialogWindow dialog;
    HWND table = ::GetDlgItem(dialog.Handle(), IDC_MAIN_CAMERAS);
    std::map<std::wstring, rud::CameraInfo> cameras;
};

TEST_F(CameraCheckTest, InvalidNamesAreCollectedFromEveryRow) {
    for (const wchar_t* key : {L"Camera01", L"Cam Front", L"\u6444\u50cf\u673a"}) AddCamera(key, true);
    const std::vector<std::wstring> invalid = {L"", L" cam", L"cam ", L".cam", L"cam.", L"c`m", L"c\\m", L"c/m",
                                               L"c:m", L"c*m", L"c?m", L"c\"m", L"c<m", L"c>m", L"c|m", L"c%m"};
    for (const std::wstring& key : invalid) AddCamera(key, false);
    ui->cameraCheckLines = {L"stale"};
    LogTail log(ui->uiLog);
    EXPECT_EQ(rud::kCameraNamesInvalid, Validate());
    EXPECT_EQ(invalid, ui->cameraCheckLines);  // in the table's order
    EXPECT_TRUE(log.Has("ERROR", "The camera names to render contain invalid characters or empty!"));
}

TEST_F(CameraCheckTest, CheckedRowsBecomeRenderableUpToANegativeFrame) {
    AddCamera(L"a", false);
    AddCamera(L"b", false);
    LogTail log(ui->uiLog);
    EXPECT_EQ(rud::kNoCameraChecked, Validate());
    EXPECT_TRUE(log.Has("ERROR", "No camera checked!"));
    EXPECT_EQ(rud::kCamerasValid, Validate(true));

    AddCamera(L"c", false);
    ListView_SetCheckState(table, 1, TRUE);
    cameras[L"a"].renderable = true;
    EXPECT_EQ(rud::kCamerasValid, Validate());
    EXPECT_FALSE(cameras[L"a"].renderable);
    EXPECT_TRUE(cameras[L"b"].renderable);
    EXPECT_TRUE(log.Has("INFO", "The information of cameras to be submit is valid."));

    ListView_SetCheckState(table, 0, TRUE);
    ListView_SetCheckState(table, 2, TRUE);
    cameras[L"b"].startFrame = -1;
    EXPECT_EQ(rud::kCameraFrameNegative, Validate());
    EXPECT_TRUE(cameras[L"a"].renderable);
    EXPECT_TRUE(cameras[L"b"].renderable);
    EXPECT_FALSE(cameras[L"c"].renderable);  // rows after the bad one stay untouched
    EXPECT_TRUE(log.Has("ERROR", "The parameter frame to render is less than 0!"));
}

// A camera is found by its whole name, however long: a checked camera of 300 characters is
// rendered (and a 300-character name that breaks a rule is named in full).
TEST_F(CameraCheckTest, LongKeysAreReadWhole) {
    const std::wstring longKey = L"Camera_" + std::wstring(293, L'x'), longBad = std::wstring(299, L'y') + L"?";
    for (const std::wstring& key : {longKey, std::wstring(259, L'n'), std::wstring(260, L'm')}) AddCamera(key, true);
    EXPECT_EQ(rud::kCamerasValid, Validate());
    for (const auto& [key, camera] : cameras) EXPECT_TRUE(camera.renderable) << key.size();
    EXPECT_EQ(longKey, rud::RowKey(table, 0));

    AddCamera(longBad, false);
    EXPECT_EQ(rud::kCameraNamesInvalid, Validate());
    EXPECT_EQ(std::vector<std::wstring>{longBad}, ui->cameraCheckLines);
}

} // namespace
