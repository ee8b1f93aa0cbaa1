// The main dialog driven through its template: what it refuses when it opens, what an analysis
// leaves in it, and how its controls react.
#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "tests/support/FakeHost.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CoronaLayout.h"
#include "ui/MainDialog.h"
#include "ui/SceneAcceptance.h"

#include <gtest/gtest.h>
#include <commctrl.h>

namespace {

using rudtest::SampleAnalysis;
using rudtest::SampleCamera;

std::wstring Text(int id) {
    const wchar_t* text = rud::LoadResourceTextA(id);
    return text ? text : L"";
}

const std::string kCoronaTimeLimited =
    "\"is_region\" : \"false\",\n  \"corona_setting\" : { \"pass_limit\" : \"0\", \"time_limit\" : \"5400000\","
    " \"noise_level_limit\" : \"0\" }";

TEST(SceneAcceptance, ClientVersionIsComparedAsText) {
    struct Case { const wchar_t* lowerVersion; bool accepted; };
    const Case cases[] = {{L"1.3.7", true}, {L"1.3.10", true}, {L"1.3.1", true}, {L"1.2", true},
                          {L"1.3.8", false}, {L"1.4", false}, {L"1.3.7.1", false}, {L"", false}};
    for (const Case& c : cases) EXPECT_EQ(rud::ClientVersionAccepted(c.lowerVersion), c.accepted) << c.lowerVersion;
}

TEST(SceneAcceptance, SceneFileNamesAreCheckedWithoutTheirExtension) {
    struct Case { const wchar_t* fileName; bool accepted; };
    const Case cases[] = {{L"Villa.max", true}, {L"a.b.max", true}, {L"", true}, {L"Villa .max", false},
                          {L"Villa..max", false}, {L"Vil`la.max", false}, {L"Villa@home.max", false},
                          {L"50%.max", false}, {L"\u573A\u666F 1.max", true}, {L"Villa (final) [2].max", true}};
    for (const Case& c : cases) EXPECT_EQ(rud::SceneFileNameAccepted(c.fileName), c.accepted) << c.fileName;
}

TEST(CoronaLayout, RowPositionsFollowScaleAndLanguage) {
    auto find = [](const std::vector<rud::ControlPosition>& positions, int id) {
        for (const auto& p : positions)
            if (p.id == id) return p;
        return rud::ControlPosition{0, -1, -1};
    };
    auto english = rud::CoronaRowPositions(1.0, L"0");
    EXPECT_EQ(find(english, IDC_MAIN_CORONA_PASS_LABEL).x, 38);
    EXPECT_EQ(find(english, IDC_MAIN_CORONA_PASS_LABEL).y, 355);
    EXPECT_EQ(find(english, IDC_MAIN_GAMMA_SPIN).x, 735);
    EXPECT_EQ(find(english, IDC_MAIN_GAMMA_SPIN).y, 351);
    auto chinese = rud::CoronaRowPositions(1.5, L"1");
    EXPECT_EQ(find(chinese, IDC_MAIN_CORONA_PASS_LABEL).x, 72);
    EXPECT_EQ(find(chinese, IDC_MAIN_CORONA_PASS_LABEL).y, 618);  // 375 x 1.65, truncated
    EXPECT_EQ(find(chinese, IDC_MAIN_CORONA_PASSES).y, 612);
    auto other = rud::CoronaRowPositions(1.25, L"0");
    EXPECT_EQ(find(other, IDC_MAIN_CORONA_TIME).y, 536);  // 371 x 1.5 - 20
}

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        store.ClearCameras();
        store.warningLines.clear();
        store.errorLines.clear();
        store.referenceNamesIllegal = false;
        store.submitState = rud::kThreadNone;
        store.busyState = rud::kThreadNone;
        store.submitThread = nullptr;
        store.busyThread = nullptr;
        fake.host.sceneFileName = L"Villa.max";
    }
    void TearDown() override {
        if (dialog) ::DestroyWindow(dialog);
    }
    HWND Open(const std::string& analysis) {
        rudtest::AnswerAnalysisWith(fake.host, analysis);
        dialog = rudtest::CreateDialogFromLanguageFile(IDD_MAIN, rud::MainDialogProc);
        return dialog;
    }
    rudtest::ModalRun RunModal(const std::string& analysis) {
        rudtest::AnswerAnalysisWith(fake.host, analysis);
        return rudtest::RunModalDialog(IDD_MAIN, rud::MainDialogProc, nullptr, [](HWND) {});
    }

    rudtest::ScopedFakeHost fake;
    rudtest::MessageBoxRecorder boxes;
    rudtest::ScopedSettingsFile settings;
    rud::RUDRenderingDataMgr& store = rud::RUDRenderingDataMgr::Instance();
    HWND dialog = nullptr;
};

TEST_F(MainDialogTest, OpeningRefusesOldPluginsAndBadSceneNames) {
    struct Case { const wchar_t* lowerVersion; const wchar_t* sceneFile; int message; };
    const Case cases[] = {
        {L"1.3.7", L"Villa.max", 0},         {L"1.3.10", L"Villa.max", 0},
        {L"1.3.8", L"Villa.max", IDS_VERSION_TOO_OLD}, {L"1.4", L"Villa.max", IDS_VERSION_TOO_OLD},
        {L"1.3.7.1", L"Villa.max", IDS_VERSION_TOO_OLD}, {L"", L"Villa.max", IDS_CLIENT_NOT_INSTALLED},
        {L"1.3.7", L"Villa .max", IDS_SCENE_NAME_INVALID}, {L"1.3.7", L"a.b.max", 0},
        {L"1.3.7", L"", 0},
    };
    for (const Case& c : cases) {
        rudtest::MessageBoxRecorder caseBoxes;
        settings.Set(L"lowerversion", c.lowerVersion);
        fake.host.sceneFileName = c.sceneFile;
        auto run = RunModal(SampleAnalysis({{"Cam01"}}));
        std::wstring label = std::wstring(c.lowerVersion) + L" / " + c.sceneFile;
        if (c.message == 0) {
            EXPECT_TRUE(run.sawDialog) << label.c_str();
            EXPECT_EQ(caseBoxes.Count(), 0u) << label.c_str();
        } else {
            EXPECT_FALSE(run.sawDialog) << label.c_str();
            EXPECT_EQ(run.result, 0) << label.c_str();
            ASSERT_EQ(caseBoxes.Count(), 1u) << label.c_str();
            EXPECT_EQ(caseBoxes.Boxes()[0].text, Text(c.message)) << label.c_str();
        }
    }
}

TEST_F(MainDialogTest, AnalysisAnswersThatCloseTheDialog) {
    auto noCameras = SampleAnalysis({});
    boxes.QueueAnswer(IDNO);
    auto run = RunModal(noCameras);
    EXPECT_FALSE(run.sawDialog);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_NO_CAMERAS_CONTINUE));
    EXPECT_EQ(boxes.Boxes()[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));

    auto duplicates = SampleAnalysis({{"CamA"}, {"CamB"}}, "\"is_region\" : \"false\", \"dupl_cameras\" : [ { \"name\" : \" CamA \" } ]");
    run = RunModal(duplicates);
    EXPECT_FALSE(run.sawDialog);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Boxes()[1].text, Text(IDS_DUPLICATE_CAMERAS_HEAD) + L"CamA" + Text(IDS_DUPLICATE_CAMERAS_TAIL));

    run = RunModal("this is not an analysis");
    EXPECT_FALSE(run.sawDialog);
    ASSERT_EQ(boxes.Count(), 3u);
    EXPECT_EQ(boxes.Boxes()[2].text, Text(IDS_ANALYSIS_SCRIPT_FAILED));
}

// Closes the scene warnings dialog by its button once it shows, remembering its rows.
std::vector<std::wstring> warningRows;

BOOL CALLBACK CloseWarningsDialog(HWND window, LPARAM) {
    if (!::IsWindowVisible(window) || rudtest::TextOf(window, IDC_WARNINGS_CLOSE) != Text(IDS_WARNINGS_CLOSE))
        return TRUE;
    HWND list = ::GetDlgItem(window, IDC_WARNINGS_LIST);
    int rows = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        wchar_t text[260] = {};
        ::SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
        warningRows.push_back(text);
    }
    ::SendMessageW(window, WM_COMMAND, IDC_WARNINGS_CLOSE, 0);
    return FALSE;
}

void CALLBACK CloseWarningsTick(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseWarningsDialog, 0);
}

TEST_F(MainDialogTest, InvalidCameraNamesShowTheWarningsDialogAndClose) {
    warningRows.clear();
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, CloseWarningsTick);
    auto run = RunModal(SampleAnalysis({{"Cam01"}, {"Cam.02."}}));
    ::KillTimer(nullptr, timer);
    EXPECT_FALSE(run.sawDialog);
    EXPECT_EQ(run.result, -2);
    EXPECT_EQ(warningRows, std::vector<std::wstring>{L"Cam.02."});
}

TEST_F(MainDialogTest, AnalysisFillsTheDialog) {
    ASSERT_TRUE(Open(SampleAnalysis({{"Cam01"}})));
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_SCENE_NAME), L"Villa");
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_MODE_NONE), BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_SAVE_SCENE), BST_CHECKED);
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_GAMMA), L"2.2");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_AO_RADIUS), L"1000.0");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_MAIN_EDIT_CAMERAS)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_MAIN_AO_RADIUS)));
    EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_MAIN_CAMERAS, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_MAIN_GI_SIZE, CB_GETCOUNT, 0, 0), 4);
    // Without Corona limits the row is hidden and says so.
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_NO_CORONA_TEXT), Text(IDS_NO_CORONA_LIMITS));
    EXPECT_FALSE(rudtest::IsShown(dialog, IDC_MAIN_CORONA_PASSES));
    EXPECT_EQ(fake.host.toolTips.size(), 2u);
}

TEST_F(MainDialogTest, CameraButtonNeedsTwoSelectedRows) {
    ASSERT_TRUE(Open(SampleAnalysis({{"Cam01"}, {"Cam02"}, {"Cam03"}})));
    HWND list = ::GetDlgItem(dialog, IDC_MAIN_CAMERAS);
    auto select = [&](int row, bool selected) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        item.state = selected ? LVIS_SELECTED : 0;
        ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    };
    auto click = [&](int row) {
        NMITEMACTIVATE activate{};
        activate.iItem = row;
        rudtest::Notify(dialog, IDC_MAIN_CAMERAS, NM_CLICK, &activate.hdr);
    };
    select(0, true);
    click(0);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_MAIN_EDIT_CAMERAS)));
    select(2, true);
    click(2);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_MAIN_EDIT_CAMERAS)));
    select(2, false);
    click(-1);  // a click beside the rows changes nothing
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_MAIN_EDIT_CAMERAS)));
}

TEST_F(MainDialogTest, EditsAndUpDownsStayInTheirRanges) {
    ASSERT_TRUE(Open(SampleAnalysis({{"Cam01"}}, kCoronaTimeLimited)));
    rudtest::TypeText(dialog, IDC_MAIN_AO_RADIUS, L"10.0");
    NMUPDOWN down{};
    down.iDelta = -1;
    rudtest::Notify(dialog, IDC_MAIN_AO_RADIUS_SPIN, UDN_DELTAPOS, &down.hdr);
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_AO_RADIUS), L"10.0");
    NMUPDOWN up{};
    up.iDelta = 1;
    rudtest::Notify(dialog, IDC_MAIN_GAMMA_SPIN, UDN_DELTAPOS, &up.hdr);
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_GAMMA), L"2.3");

    rudtest::TypeText(dialog, IDC_MAIN_CORONA_TIME, L"240");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_CORONA_TIME), L"239.00");
    rudtest::TypeText(dialog, IDC_MAIN_MACHINES, L"11");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_MACHINES), L"10");
    EXPECT_EQ(store.distributedCount, 10);
}

TEST_F(MainDialogTest, RememberedValuesAreRestoredWithTheirExceptions) {
    settings.Set(L"EDIT_AO_RADIUS", L"0");
    settings.Set(L"EDIT_AO_SUBDIVS", L"24");
    settings.Set(L"EDIT_DURATION2", L"5");
    settings.Set(L"RENDER_CHANNEL_AO", L"1");
    settings.Set(L"GI_SIZE", L"2");
    settings.Set(L"IDC_SAVE_SCENE_FILE", L"0");
    ASSERT_TRUE(Open(SampleAnalysis({{"Cam01"}}, kCoronaTimeLimited)));
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_AO_RADIUS), L"1000.0");   // "0" is never restored
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_AO_SUBDIVS), L"24");
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_CORONA_TIME), L"1.500");  // the scene's limit wins
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_CHANNEL_AO), BST_CHECKED);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_MAIN_AO_RADIUS)));
    EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_MAIN_GI_SIZE, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_SAVE_SCENE), BST_UNCHECKED);
    ::DestroyWindow(dialog);

    // Without a limit in the scene, the remembered time is taken.
    ASSERT_TRUE(Open(SampleAnalysis({{"Cam01"}}, "\"is_region\" : \"false\", \"corona_setting\" : "
                                                 "{ \"pass_limit\" : \"500\", \"time_limit\" : \"0\", \"noise_level_limit\" : \"0\" }")));
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_CORONA_TIME), L"5");
    EXPECT_TRUE(rudtest::IsShown(dialog, IDC_MAIN_CORONA_PASSES));
    EXPECT_EQ(rudtest::TextOf(dialog, IDC_MAIN_CORONA_PASSES), L"500");
}

TEST_F(MainDialogTest, BlockRenderingIsRefusedOnRegionScenes) {
    ASSERT_TRUE(Open(SampleAnalysis({{"Cam01"}}, "\"is_region\" : \"true\"")));
    size_t before = boxes.Count();
    rudtest::Click(dialog, IDC_MAIN_MODE_BLOCKS);
    ASSERT_EQ(boxes.Count(), before + 1);
    EXPECT_EQ(boxes.Boxes().back().text, Text(IDS_REGION_NO_BLOCKS));
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_MODE_NONE), BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_MODE_BLOCKS), BST_UNCHECKED);
    EXPECT_EQ(store.renderModeCode, 1);
    EXPECT_EQ(store.renderModeName, "base");

    rudtest::Click(dialog, IDC_MAIN_MODE_DIST);
    EXPECT_EQ(store.renderModeCode, 64);
    EXPECT_EQ(store.renderModeName, "dist");
    EXPECT_EQ(store.distributedCount, 3);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_MAIN_MACHINES)));
}

TEST_F(MainDialogTest, MaterialChannelIsClearedForBlockRendering) {
    ASSERT_TRUE(Open(SampleAnalysis({{"Cam01"}})));
    ::CheckDlgButton(dialog, IDC_MAIN_CHANNEL_MTL, BST_CHECKED);
    rudtest::Click(dialog, IDC_MAIN_MODE_BLOCKS);
    EXPECT_EQ(store.renderModeCode, 10);
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_CHANNEL_MTL), BST_UNCHECKED);
    ASSERT_GE(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes().back().text, Text(IDS_MTL_NO_BLOCKS));
}

TEST_F(MainDialogTest, SubmitStartsNothingWhileASubmissionRunsOrTheSaveFails) {
    ASSERT_TRUE(Open(SampleAnalysis({{"Cam01"}})));
    rudtest::TypeText(dialog, IDC_MAIN_SCENE_NAME, L"Villa@home");
    rudtest::Click(dialog, IDC_MAIN_SUBMIT);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_SCENE_NAME_INVALID));
    EXPECT_EQ(store.submitState, rud::kThreadNone);
    rudtest::TypeText(dialog, IDC_MAIN_SCENE_NAME, L"Villa v2");

    store.submitState = rud::kThreadRunning;
    rudtest::Click(dialog, IDC_MAIN_SUBMIT);
    EXPECT_EQ(store.submitThread, nullptr);
    EXPECT_EQ(store.busyThread, nullptr);
    EXPECT_EQ(fake.host.saveCount, 0);

    store.submitState = rud::kThreadNone;
    fake.host.saveSucceeds = false;
    rudtest::Click(dialog, IDC_MAIN_SUBMIT);
    EXPECT_EQ(fake.host.saveCount, 1);
    EXPECT_EQ(store.submitState, rud::kThreadFinished);
    EXPECT_EQ(store.submitThread, nullptr);
    EXPECT_EQ(store.busyState, rud::kThreadNone);
}

TEST_F(MainDialogTest, EditedTiffCamerasAddTheTiffWarningOnce) {
    ASSERT_TRUE(Open(SampleAnalysis({{"Cam01"}, {"Cam02"}})));
    EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_MAIN_WARNINGS, LB_GETCOUNT, 0, 0), 0);
    store.cameras[L"Cam01"].imageFormat = L"TIF";
    store.cameras[L"Cam02"].imageFormat = L"TIFF";
    store.cameras[L"Cam02"].renderable = true;
    ::SendMessageW(dialog, WM_USER + 1, 0, 0);
    ::SendMessageW(dialog, WM_USER + 1, 0, 0);
    EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_MAIN_WARNINGS, LB_GETCOUNT, 0, 0), 2);  // header and warning
    HWND list = ::GetDlgItem(dialog, IDC_MAIN_CAMERAS);
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK) >> 12, 2);
}

} // namespace
