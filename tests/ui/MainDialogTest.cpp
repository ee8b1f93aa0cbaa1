// The main dialog driven through its template: what it refuses when it opens, what an analysis
// leaves in it, and how its controls react. Whole submissions are played by the end-to-end stories.
#include "analysis/RUDRenderingDataMgr.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/ui/UiTestSupport.h"
#include "core/PluginSettings.h"
#include "core/TextConversions.h"
#include "ui/CameraTable.h"
#include "ui/CoronaLayout.h"
#include "ui/RUDRenderingUiMgr.h"
#include "ui/MainDialog.h"
#include "ui/RememberedValues.h"
#include "analysis/SceneAcceptance.h"
#include "ui/SubmitFromDialog.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <algorithm>
#include <sstream>
#include <utility>

namespace {

using namespace rudtest;

std::string CoronaLimits(const char* passes, const char* milliseconds) {
    return std::string("\"is_region\" : \"false\", \"corona_setting\" : { \"pass_limit\" : \"") + passes +
           "\", \"time_limit\" : \"" + milliseconds + "\", \"noise_level_limit\" : \"0\" }";
}

// Every field of an order but the cameras' `renderable`, which the ticks carry.
std::wstring Describe(const rud::SubmitOrder& o) {
    std::wostringstream text;
    text << o.sceneName.typedName << L'|' << static_cast<int>(o.sceneName.verdict) << L'|' << o.sceneName.path << L"\n";
    for (const rud::CameraTick& tick : o.cameraTicks) text << tick.key << L'=' << tick.checked << L' ';
    for (const auto& [key, c] : o.cameras)
        text << L'\n' << key << L' ' << c.width << L'x' << c.height << L' ' << c.startFrame << c.imageFormat << c.displayName
             << c.isPanorama;
    text << L'\n' << o.renderMode << o.colorChannel << o.aoChannel << o.mtlChannel << o.giChannel << o.psdChannel << L'|'
         << o.aoRadius << L'|' << o.aoSubdivs << L'|' << o.gamma << L'|' << o.coronaPasses << L'|' << o.coronaHours << L'|'
         << o.coronaNoise << L'|' << o.imageScaleIndex << o.backupAndCheck << o.saveScene << o.keepWorking;
    return text.str();
}

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

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        store.ClearCameras();
        store.warningLines.clear();
        store.errorLines.clear();
        store.referenceNamesIllegal = false;
        store.submitState = rud::kThreadNone;
        store.busyState = rud::kThreadNone;
        store.submitThread.Reset();
        store.busyThread.Reset();
        fake.host.sceneFileName = L"Villa.max";
        settings.Set(L"lowerversion", L"1.3.7");
    }
    void TearDown() override { ::DestroyWindow(dialog); }
    HWND Open(const std::string& analysis) {
        ::DestroyWindow(dialog);
        fake.host.AnswerAnalysis(analysis);
        return dialog = CreateDialogFromLanguageFile(IDD_MAIN, rud::MainDialogProc);
    }
    std::wstring LastBox() const { return boxes.Count() ? boxes.Boxes().back().text : L""; }

    ScopedFakeHost fake;
    MessageBoxRecorder boxes;
    ScopedSettingsFile settings;
    rud::RUDRenderingDataMgr& store = rud::RUDRenderingDataMgr::Instance();
    HWND dialog = nullptr;
};

// A refused case ends before the dialog shows, with exactly one message box.
TEST_F(MainDialogTest, WhatOpeningRefuses) {
    struct Case { const wchar_t* lowerVersion; const wchar_t* sceneFile; std::string analysis; int message; };
    const Case cases[] = {
        {L"1.3.10", L"a.b.max", SampleAnalysis({"Cam01"}), 0}, {L"1.3.7", L"", SampleAnalysis({"Cam01"}), 0},
        {L"1.3.8", L"Villa.max", SampleAnalysis({"Cam01"}), IDS_VERSION_TOO_OLD},
        {L"", L"Villa.max", SampleAnalysis({"Cam01"}), IDS_CLIENT_NOT_INSTALLED},
        {L"1.3.7", L"Villa .max", SampleAnalysis({"Cam01"}), IDS_SCENE_NAME_INVALID},
        {L"1.3.7", L"Villa.max", SampleAnalysis({}), IDS_NO_CAMERAS_CONTINUE},   // answered No
        {L"1.3.7", L"Villa.max", "null", IDS_NO_CAMERAS_CONTINUE},               // names nothing, as {}
        {L"1.3.7", L"Villa.max", "this is not an analysis", IDS_ANALYSIS_SCRIPT_FAILED},
        {L"1.3.7", L"Villa.max",
         SampleAnalysis({"CamA", "CamB"}, "\"is_region\" : \"false\", \"dupl_cameras\" : [ { \"name\" : \" CamA \" } ]"),
         IDS_DUPLICATE_CAMERAS_HEAD},
    };
    for (const Case& c : cases) {
        MessageBoxRecorder caseBoxes;
        caseBoxes.QueueAnswer(IDNO);
        settings.Set(L"lowerversion", c.lowerVersion);
        fake.host.sceneFileName = c.sceneFile;
        fake.host.AnswerAnalysis(c.analysis);
        ModalRun run = RunModalDialog(IDD_MAIN, rud::MainDialogProc, [](HWND) {});
        std::wstring expected = rud::ResourceText(c.message);
        if (c.message == IDS_DUPLICATE_CAMERAS_HEAD) expected += L"CamA" + rud::ResourceText(IDS_DUPLICATE_CAMERAS_TAIL);
        EXPECT_EQ(run.sawDialog, c.message == 0) << c.message;
        ASSERT_EQ(caseBoxes.Count(), c.message ? 1u : 0u) << c.message;
        if (c.message) { EXPECT_EQ(caseBoxes.Boxes()[0].text, expected); }
    }
}

// With several rows selected the camera button opens the camera dialog for exactly those
// cameras, and what is switched on there reaches all of them and no other.
TEST_F(MainDialogTest, CameraButtonEditsTheSelectedRows) {
    ASSERT_TRUE(Open(SampleAnalysis({"Cam01", "Cam02", "Cam03"})));
    EXPECT_FALSE(IsEnabled(dialog, IDC_MAIN_EDIT_CAMERAS));
    auto selectAndClick = [&](int row, bool selected, int clickedRow) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        item.state = selected ? LVIS_SELECTED : 0;
        ::SendDlgItemMessageW(dialog, IDC_MAIN_CAMERAS, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
        NMITEMACTIVATE activate{};
        activate.iItem = clickedRow;
        Notify(dialog, IDC_MAIN_CAMERAS, NM_CLICK, &activate.hdr);
        return IsEnabled(dialog, IDC_MAIN_EDIT_CAMERAS);
    };
    EXPECT_FALSE(selectAndClick(0, true, 0));
    EXPECT_TRUE(selectAndClick(2, true, 2));
    EXPECT_TRUE(selectAndClick(2, true, -1));   // a click beside the rows changes nothing

    RegisterFakeSpinnerClass();   // the camera dialog's spinners
    bool opened = false, allFieldsLocked = false;
    WhenModalOpens(dialog, [&](HWND camera) {
        opened = true;
        allFieldsLocked = !IsEnabled(camera, IDC_CAMERA_WIDTH);
        ::SendMessageW(camera, WM_COMMAND, MAKEWPARAM(IDC_CAMERA_FRAME_ON, STN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(camera, IDC_CAMERA_FRAME_ON)));
        TypeText(camera, IDC_CAMERA_FRAME, L"42");
        Click(camera, IDC_CAMERA_OK);
    });
    Click(dialog, IDC_MAIN_EDIT_CAMERAS);
    ForgetModal();
    ASSERT_TRUE(opened);
    EXPECT_TRUE(allFieldsLocked);
    EXPECT_EQ(store.cameras[L"Cam01"].startFrame, 42);
    EXPECT_EQ(store.cameras[L"Cam02"].startFrame, 0);
    EXPECT_EQ(store.cameras[L"Cam03"].startFrame, 42);
}

// Invert flips every row's check; a fresh analysis neither doubles the rows nor the warnings.
TEST_F(MainDialogTest, InvertChecksAndAnalyseAgain) {
    const std::string analysis = SampleAnalysis({"Cam01", "Cam02", "Cam03"}, "\"is_region\" : \"true\"");
    ASSERT_TRUE(Open(analysis));
    HWND list = ::GetDlgItem(dialog, IDC_MAIN_CAMERAS);
    auto checks = [&] {
        std::vector<bool> checked;
        for (int row = 0; row < ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); ++row)
            checked.push_back(rud::IsRowChecked(list, row));
        return checked;
    };
    auto warnings = [&] { return ::SendDlgItemMessageW(dialog, IDC_MAIN_WARNINGS, LB_GETCOUNT, 0, 0); };
    const LRESULT warningRows = warnings();
    EXPECT_GE(warningRows, 2);
    const std::vector<bool> before = checks();
    ASSERT_EQ(before.size(), 3u);
    Click(dialog, IDC_MAIN_INVERT_CHECKS);
    std::vector<bool> inverted = checks();
    for (size_t row = 0; row < before.size(); ++row) EXPECT_NE(inverted[row], before[row]) << row;
    EXPECT_EQ(store.cameras[L"Cam02"].renderable, inverted[1]);
    Click(dialog, IDC_MAIN_ANALYSE);
    Click(dialog, IDC_MAIN_ANALYSE);
    EXPECT_EQ(checks().size(), 3u);
    EXPECT_EQ(warnings(), warningRows);
}

// Whatever was chosen when the options were remembered comes back when the dialog opens again.
TEST_F(MainDialogTest, RememberedOptionsReopenAsTheyWereLeft) {
    const int channels[] = {IDC_MAIN_CHANNEL_COLOR, IDC_MAIN_CHANNEL_AO, IDC_MAIN_CHANNEL_MTL, IDC_MAIN_CHANNEL_PSD,
                            IDC_MAIN_CHANNEL_GI};
    const int modes[] = {IDC_MAIN_MODE_NONE, IDC_MAIN_MODE_BLOCKS, IDC_MAIN_MODE_DIST, IDC_MAIN_MODE_DIST_PRO};
    // Keep working is on in a fresh dialog, remembered off, and on again once remembering is off.
    const struct { int mode; int32_t code; std::vector<int> checked; int giSize; const wchar_t* gamma;
                   const wchar_t* radius; const wchar_t* subdivs; bool keepWorking; bool remember; } cases[] = {
        {IDC_MAIN_MODE_NONE, 1, {IDC_MAIN_CHANNEL_COLOR, IDC_MAIN_CHANNEL_MTL}, 1, L"1.8", L"500.0", L"8", false, true},
        {IDC_MAIN_MODE_BLOCKS, 10, {IDC_MAIN_CHANNEL_AO, IDC_MAIN_CHANNEL_PSD}, 0, L"2.4", L"20.5", L"32", true, true},
        {IDC_MAIN_MODE_DIST, 64, {IDC_MAIN_CHANNEL_GI, IDC_MAIN_CHANNEL_COLOR, IDC_MAIN_CHANNEL_AO}, 2, L"1.0", L"1.0", L"1",
         false, true},
        {IDC_MAIN_MODE_DIST_PRO, 1010, {IDC_MAIN_CHANNEL_MTL, IDC_MAIN_CHANNEL_PSD, IDC_MAIN_CHANNEL_GI}, 3, L"2.2",
         L"707072.0", L"1000", false, true},
        {IDC_MAIN_MODE_NONE, 1, {}, 0, L"2.2", L"1000.0", L"16", false, false},   // the defaults come back
    };
    const std::string analysis = SampleAnalysis({"Cam01"});
    ASSERT_TRUE(Open(analysis));
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_KEEP_WORKING), BST_CHECKED);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(Open(analysis));
        auto setCheck = [&](int id, bool on) {   // as the artist would: a click where it differs
            if ((::IsDlgButtonChecked(dialog, id) == BST_CHECKED) != on) Click(dialog, id);
        };
        setCheck(IDC_MAIN_KEEP_WORKING, c.keepWorking);
        Click(dialog, c.mode);
        for (int id : channels) setCheck(id, std::find(c.checked.begin(), c.checked.end(), id) != c.checked.end());
        ::SendDlgItemMessageW(dialog, IDC_MAIN_GI_SIZE, CB_SETCURSEL, c.giSize, 0);
        TypeText(dialog, IDC_MAIN_GAMMA, c.gamma);
        TypeText(dialog, IDC_MAIN_AO_RADIUS, c.radius);
        TypeText(dialog, IDC_MAIN_AO_SUBDIVS, c.subdivs);
        setCheck(IDC_MAIN_SAVE_SCENE, !c.remember);
        setCheck(IDC_MAIN_REMEMBER, c.remember);
        rud::WriteRememberedValues(rud::ReadRememberedControls(dialog, store));

        store.SetRenderModeCode(1);
        ASSERT_TRUE(Open(analysis));
        EXPECT_EQ(store.renderModeCode, c.code);
        for (int id : modes) EXPECT_EQ(::IsDlgButtonChecked(dialog, id) == BST_CHECKED, id == c.mode) << id;
        for (int id : channels) {
            const bool wanted = std::find(c.checked.begin(), c.checked.end(), id) != c.checked.end();
            EXPECT_EQ(::IsDlgButtonChecked(dialog, id) == BST_CHECKED, wanted) << id;
        }
        EXPECT_EQ(IsEnabled(dialog, IDC_MAIN_AO_RADIUS), ::IsDlgButtonChecked(dialog, IDC_MAIN_CHANNEL_AO) == BST_CHECKED);
        EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_MAIN_GI_SIZE, CB_GETCURSEL, 0, 0), c.giSize);
        EXPECT_EQ(TextOf(dialog, IDC_MAIN_GAMMA), c.gamma);
        EXPECT_EQ(TextOf(dialog, IDC_MAIN_AO_RADIUS), c.radius);
        EXPECT_EQ(TextOf(dialog, IDC_MAIN_AO_SUBDIVS), c.subdivs);
        EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_SAVE_SCENE) == BST_CHECKED, !c.remember);
        EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_REMEMBER) == BST_CHECKED, c.remember);
        EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_KEEP_WORKING) == BST_CHECKED, c.keepWorking || !c.remember);
    }
}

// After a failed run the dialog opens on a fresh analysis with the run's choices: read back they
// make the same order, each camera found by its name whatever row it sits in now. That is, while
// the open scene is the one the run saved (as Windows compares paths); another scene gets a
// dialog of its own, with none of the earlier scene's name or cameras.
TEST_F(MainDialogTest, AnOrderPutBackIntoAReopenedDialogReadsTheSame) {
    fake.host.sceneFilePath = L"C:\\Projects\\Villa\\Villa.max";
    ASSERT_TRUE(Open(SampleAnalysis({"Cam01", "Cam02", "Cam03"})));
    store.cameras[L"Cam01"].renderable = true;
    store.cameras[L"Cam03"] = {640, 480, 7, L"TIF", true, L"Pool", true};
    ::SendMessageW(dialog, WM_USER + 1, 0, 0);   // as the camera dialog does
    TypeText(dialog, IDC_MAIN_SCENE_NAME, L"Villa v3");
    for (int id : {IDC_MAIN_MODE_DIST, IDC_MAIN_CHANNEL_COLOR, IDC_MAIN_CHANNEL_AO, IDC_MAIN_CHANNEL_MTL, IDC_MAIN_CHANNEL_GI,
                   IDC_MAIN_CHANNEL_PSD, IDC_MAIN_BACKUP_AND_CHECK, IDC_MAIN_SAVE_SCENE, IDC_MAIN_KEEP_WORKING})
        Click(dialog, id);
    const std::pair<int, const wchar_t*> numbers[] = {{IDC_MAIN_AO_RADIUS, L"20.5"}, {IDC_MAIN_AO_SUBDIVS, L"32"},
        {IDC_MAIN_GAMMA, L"1.8"}, {IDC_MAIN_CORONA_PASSES, L"500"}, {IDC_MAIN_CORONA_TIME, L"1.5"}, {IDC_MAIN_CORONA_NOISE, L"3"}};
    for (const auto& [id, text] : numbers) TypeText(dialog, id, text);
    ::SendDlgItemMessageW(dialog, IDC_MAIN_GI_SIZE, CB_SETCURSEL, 2, 0);
    const rud::SubmitOrder order = rud::ReadSubmitOrder(dialog);
    ASSERT_EQ(order.sceneName.path, L"C:\\Projects\\Villa\\Villa v3.max");

    // The run's save made its copy the open scene.
    const struct { std::vector<std::string> cameras; std::vector<rud::CameraTick> ticks; std::wstring openScene; } cases[] = {
        {{"Cam01", "Cam02", "Cam03"}, {{L"Cam01", true}, {L"Cam02", false}, {L"Cam03", true}}, order.sceneName.path},
        {{"Cam03", "Cam00", "Cam02"}, {{L"Cam00", false}, {L"Cam02", false}, {L"Cam03", true}},   // Cam01 gone
         L"c:/projects/VILLA/villa V3.MAX"},
        {{"Cam01", "Cam02", "Cam03"}, {}, L"C:\\Projects\\Villa\\Villa.max"},   // the artist opened another scene
        {{"Cam01", "Cam02", "Cam03"}, {}, L"C:\\Projects\\Villa\\Villa v3\\Villa v3.max"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(rud::WideToUtf8(c.openScene));
        fake.host.sceneFilePath = c.openScene;
        ASSERT_TRUE(Open(SampleAnalysis(c.cameras)));   // what the fresh analysis alone gives
        rud::SubmitOrder expected = c.ticks.empty() ? rud::ReadSubmitOrder(dialog) : order;
        if (!c.ticks.empty()) {
            expected.sceneName = rud::JudgeTypedSceneName(order.sceneName.typedName, c.openScene);   // now the open scene
            expected.cameraTicks = c.ticks;
            expected.cameras.clear();
            for (const auto& [key, camera] : store.cameras)
                expected.cameras[key] = order.cameras.count(key) ? order.cameras.at(key) : camera;
        }
        rud::SubmitOrder again;
        bool aoGroupEnabled = false;
        WhenModalOpens(nullptr, [&](HWND reopened) {
            again = rud::ReadSubmitOrder(reopened);
            aoGroupEnabled = IsEnabled(reopened, IDC_MAIN_AO_RADIUS);
            ::EndDialog(reopened, 0);
        });
        rud::OpenMainDialogWithOrder(nullptr, order);
        ForgetModal();
        EXPECT_EQ(Describe(again), Describe(expected));
        EXPECT_EQ(aoGroupEnabled, !c.ticks.empty());
    }
}

// On a large screen scale the Corona row moves down; whatever sits below it moves with it and
// the dialog grows, so that nothing ends up under the row or beyond the dialog's edge.
TEST_F(MainDialogTest, CoronaRowAtLargeScalesPushesTheRestDown) {
    auto& ui = rud::RUDRenderingUiMgr::Instance();
    const int below[] = {IDC_MAIN_SAVE_SCENE, IDC_MAIN_REMEMBER, IDC_MAIN_KEEP_WORKING, IDC_MAIN_ANALYSE, IDC_MAIN_SUBMIT};
    auto rectOf = [&](int id) {
        RECT rect{};
        ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
        return rect;
    };
    for (double scale : {1.25, 1.5, 1.75, 2.0}) {
        SCOPED_TRACE(scale);
        ASSERT_TRUE(Open(SampleAnalysis({"Cam01"}, CoronaLimits("0", "5400000"))));
        RECT dialogBefore{};
        ::GetWindowRect(dialog, &dialogBefore);
        const RECT rowBefore = rectOf(IDC_MAIN_CORONA_PASSES);
        std::vector<LONG> gaps;
        for (int id : below) gaps.push_back(rectOf(id).top - rowBefore.bottom);
        store.uiScale = scale;
        rud::LayOutCoronaGroup(dialog, store, ui, L"0");
        const RECT row = rectOf(IDC_MAIN_CORONA_PASSES);
        const LONG moved = row.top - rowBefore.top;
        EXPECT_GT(moved, 0);
        for (size_t i = 0; i < std::size(below); ++i) EXPECT_EQ(rectOf(below[i]).top - row.bottom, gaps[i]) << below[i];
        RECT client{};
        ::GetClientRect(dialog, &client);
        ::MapWindowPoints(dialog, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        RECT dialogAfter{};
        ::GetWindowRect(dialog, &dialogAfter);
        EXPECT_EQ(dialogAfter.bottom - dialogAfter.top, dialogBefore.bottom - dialogBefore.top + moved);
        EXPECT_LE(rectOf(IDC_MAIN_SUBMIT).bottom, client.bottom);
    }
}

TEST_F(MainDialogTest, EditsAndUpDownsStayInTheirRanges) {
    ASSERT_TRUE(Open(SampleAnalysis({"Cam01"}, CoronaLimits("0", "5400000"))));
    // Each arrow stops at its limits: a step past one leaves the limit in the edit.
    const struct { int upDown, edit; const wchar_t *low, *high; } arrows[] = {
        {IDC_MAIN_GAMMA_SPIN, IDC_MAIN_GAMMA, L"0.1", L"5.0"},
        {IDC_MAIN_AO_RADIUS_SPIN, IDC_MAIN_AO_RADIUS, L"10.0", L"1000000000.0"},
        {IDC_MAIN_MACHINES_SPIN, IDC_MAIN_MACHINES, L"2.0", L"10.0"},
        {IDC_MAIN_CORONA_TIME_SPIN, IDC_MAIN_CORONA_TIME, L"0.0", L"239.0"},
        {IDC_MAIN_CORONA_NOISE_SPIN, IDC_MAIN_CORONA_NOISE, L"0.0", L"100.0"},
        {IDC_MAIN_AO_SUBDIVS_SPIN, IDC_MAIN_AO_SUBDIVS, L"1", L"1000"}};   // steps its edit itself
    for (const auto& a : arrows) {
        for (const auto& [limit, delta] : {std::pair{a.low, -1}, std::pair{a.high, 1}}) {
            TypeText(dialog, a.edit, limit);
            NMUPDOWN change{{}, 0, delta};
            if (a.edit == IDC_MAIN_AO_SUBDIVS)
                ::SendDlgItemMessageW(dialog, a.edit, WM_KEYDOWN, delta < 0 ? VK_DOWN : VK_UP, 0);
            else
                Notify(dialog, a.upDown, UDN_DELTAPOS, &change.hdr);
            EXPECT_EQ(TextOf(dialog, a.edit), limit) << a.edit;
        }
    }
    TypeText(dialog, IDC_MAIN_CORONA_TIME, L"240");
    EXPECT_EQ(TextOf(dialog, IDC_MAIN_CORONA_TIME), L"239.00");
    TypeText(dialog, IDC_MAIN_MACHINES, L"11");
    EXPECT_EQ(TextOf(dialog, IDC_MAIN_MACHINES), L"10");
    EXPECT_EQ(store.distributedCount, 10);
}

TEST_F(MainDialogTest, RememberedValuesAreRestoredWithTheirExceptions) {
    settings.Set(L"EDIT_DURATION2", L"5");
    for (const std::wstring radius : {L"0", L"0.0", L"-0", L"00", L".0", L"0e5", L"0.1"}) {
        settings.Set(L"EDIT_AO_RADIUS", radius);
        ASSERT_TRUE(Open(SampleAnalysis({"Cam01"}, CoronaLimits("0", "5400000"))));
        EXPECT_EQ(TextOf(dialog, IDC_MAIN_AO_RADIUS), radius == L"0.1" ? radius : L"1000.0");   // zero is never restored
    }
    EXPECT_EQ(TextOf(dialog, IDC_MAIN_CORONA_TIME), L"1.500");  // the scene's limit wins

    ASSERT_TRUE(Open(SampleAnalysis({"Cam01"}, CoronaLimits("500", "0"))));
    EXPECT_EQ(TextOf(dialog, IDC_MAIN_CORONA_TIME), L"5");
    EXPECT_EQ(TextOf(dialog, IDC_MAIN_CORONA_PASSES), L"500");

    ASSERT_TRUE(Open(SampleAnalysis({"Cam01"})));   // without Corona limits the row is hidden and says so
    EXPECT_FALSE(IsShown(dialog, IDC_MAIN_CORONA_PASSES));
    EXPECT_EQ(TextOf(dialog, IDC_MAIN_NO_CORONA_TEXT), rud::ResourceText(IDS_NO_CORONA_LIMITS));
}

TEST_F(MainDialogTest, BlockRenderingIsRefusedOnRegionScenesAndClearsTheMaterialChannel) {
    struct Case { const char* region; int modeCode; int message; };
    const Case cases[] = {{"true", 1, IDS_REGION_NO_BLOCKS}, {"false", 10, IDS_MTL_NO_BLOCKS}};
    for (const Case& c : cases) {
        ASSERT_TRUE(Open(SampleAnalysis({"Cam01"}, std::string("\"is_region\" : \"") + c.region + "\"")));
        ::CheckDlgButton(dialog, IDC_MAIN_CHANNEL_MTL, BST_CHECKED);
        Click(dialog, IDC_MAIN_MODE_BLOCKS);
        EXPECT_EQ(LastBox(), rud::ResourceText(c.message)) << c.region;
        EXPECT_EQ(store.renderModeCode, c.modeCode) << c.region;
        EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_MODE_BLOCKS), c.modeCode == 10 ? BST_CHECKED : BST_UNCHECKED);
    }
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_MAIN_CHANNEL_MTL), BST_UNCHECKED);
}

TEST_F(MainDialogTest, SubmitStartsNothingWhileASubmissionRunsOrTheSaveFails) {
    ASSERT_TRUE(Open(SampleAnalysis({"Cam01"})));
    TypeText(dialog, IDC_MAIN_SCENE_NAME, L"Villa@home");
    Click(dialog, IDC_MAIN_SUBMIT);
    EXPECT_EQ(LastBox(), rud::ResourceText(IDS_SCENE_NAME_INVALID));
    EXPECT_EQ(store.submitState, rud::kThreadNone);
    TypeText(dialog, IDC_MAIN_SCENE_NAME, L"Villa v2");

    store.submitState = rud::kThreadRunning;
    Click(dialog, IDC_MAIN_SUBMIT);
    EXPECT_FALSE(store.submitThread.Started());
    EXPECT_FALSE(store.busyThread.Started());
    EXPECT_EQ(fake.host.saveCount, 0);

    store.submitState = rud::kThreadNone;
    fake.host.saveSucceeds = false;
    Click(dialog, IDC_MAIN_SUBMIT);
    EXPECT_EQ(fake.host.saveCount, 1);
    EXPECT_EQ(store.submitState, rud::kThreadFinished);
    EXPECT_FALSE(store.submitThread.Started());
    EXPECT_EQ(store.busyState, rud::kThreadNone);
}

// The submission worker and the busy dialog run on threads of their own; each switches to the
// host's language pack before it loads any resource.
TEST_F(MainDialogTest, SubmitThreadsSwitchToTheLanguagePack) {
    ASSERT_TRUE(Open(SampleAnalysis({"Cam01"})));
    TypeText(dialog, IDC_MAIN_SCENE_NAME, L"Villa v2");
    Click(dialog, IDC_MAIN_SUBMIT);
    ASSERT_NE(store.submitState, rud::kThreadNone);
    for (int i = 0; i < 200 && (store.submitState != rud::kThreadFinished || store.busyState != rud::kThreadFinished); ++i)
        PumpMessages(50);
    ASSERT_EQ(store.submitState, rud::kThreadFinished);
    ASSERT_EQ(store.busyState, rud::kThreadFinished);
    std::lock_guard<std::mutex> guard(fake.host.languagePackLock);
    EXPECT_EQ(fake.host.languagePackThreads.size(), 2u);
    EXPECT_EQ(fake.host.languagePackThreads.count(::GetCurrentThreadId()), 0u);
}

TEST_F(MainDialogTest, EditedTiffCamerasAddTheTiffWarningOnce) {
    ASSERT_TRUE(Open(SampleAnalysis({"Cam01", "Cam02"})));
    store.cameras[L"Cam01"].imageFormat = L"TIF";
    store.cameras[L"Cam02"].imageFormat = L"TIFF";
    store.cameras[L"Cam02"].renderable = true;
    ::SendMessageW(dialog, WM_USER + 1, 0, 0);
    ::SendMessageW(dialog, WM_USER + 1, 0, 0);
    EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_MAIN_WARNINGS, LB_GETCOUNT, 0, 0), 2);  // header and warning
    EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_MAIN_CAMERAS, LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK) >> 12, 2);
}

} // namespace
