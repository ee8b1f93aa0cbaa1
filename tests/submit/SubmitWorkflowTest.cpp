// The submission worker from an order and a recording report, with no window, against the fake
// host's scene. The end-to-end stories and the fault table play the usual accepted and refused
// submissions; here are the stops, the Cancel at each point of the run, the typed choices as the
// run takes them, the order's scene whatever fills the store after, and a submission the stories
// cannot set up.
#include "submit/SubmitWorkflow.h"
#include "tests/submit/SubmitTestSupport.h"
#include "tests/support/FakeHost.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/DataFolders.h"
#include "core/TextConversions.h"
#include "resources/StringIds.h"
#include "standins/client/ClientSetup.h"
#include "standins/client/RequestVerdict.h"
#include "submit/FarmConfiguration.h"
#include "submit/TypedChoices.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <iterator>
#include <limits>
#include <tuple>

namespace {

using Texts = std::vector<std::wstring>;

class SubmitWorkflowTest : public ::testing::Test {
protected:
    // 场景\别墅.max, saved and open, with one checked camera.
    SubmitWorkflowTest() : folder(L"workflow"), sceneFolder(folder / L"\x573a\x666f") {
        ::CreateDirectoryW(sceneFolder.c_str(), nullptr);
        rudtest::WriteBytes(sceneFolder + L"\\\x522b\x5885.max", std::string(100000, 's'));
        fake.host.sceneFileName = L"\x522b\x5885.max";
        fake.host.sceneFilePath = sceneFolder + L"\\\x522b\x5885.max";
        order.analysis.analysisText = LR"({"app_version": "27.0", "renderer": "V_Ray", "errors": []})";
        order.analysis.cameras = {{L"Camera001", rud::CameraInfo{}}};
        store.submitState = rud::kThreadRunning;
        store.busyCancelRequested = false;   // as the launcher leaves it; a sent request keeps it taken
        order.cameraTicks = {{L"Camera001", true}};
        order.saveScene = true;
        order.colorChannel = true;
    }

    // The name is judged as the dialog judges it at Submit, and the client read as the data
    // folder the test laid out tells.
    void RunWorker() {
        order.sceneName = rud::JudgeTypedSceneName(typedName, fake.host.sceneFilePath);
        (void)rud::GetClientInformation(store.dataLog, order.client);
        rud::SubmitWorker(order, report);
        ASSERT_EQ(store.submitState, rud::kThreadFinished);
        ASSERT_TRUE(report.end.has_value());
    }
    bool Closes() const { return report.end == rud::SubmitEnd::kCloseDialog; }

    rudtest::ScratchFolder folder;
    std::wstring sceneFolder;
    rudtest::ScopedFakeHost fake;
    std::wstring typedName = L"\x522b\x5885";
    rud::SubmitOrder order;
    rudtest::RecordingReport report;
    rud::RUDRenderingDataMgr& store = rud::RUDRenderingDataMgr::Instance();
};

// Chinese names on a system whose code page cannot write them, a new typed name, a direct-save
// account and the virus checks at once: the client finds every file named right and the
// archive, in the account's save folder, opens with the password it derives on its side.
TEST_F(SubmitWorkflowTest, ChineseSceneOfADirectSaveAccountReachesTheClient) {
    if (!rudtest::SevenZipStandInAvailable()) GTEST_SKIP() << "needs the stand-in 7-Zip under Wine";
    const std::wstring saveFolder = folder / L"saved", account = rud::kDirectSaveAccounts[0];
    ::CreateDirectoryW(saveFolder.c_str(), nullptr);
    rudtest::WinsockSession winsock;
    rudtest::ScriptedClient client("HTTP/1.1 200 OK\r\nContent-Length: 13\r\n\r\n{\"ret\":10001}");
    ASSERT_TRUE(rudclient::LayOutDataFolder({client.Port(), L"1.3.7", rudtest::BinFolder() + L"\\7z.exe"}));
    ASSERT_TRUE(rudclient::LayOutCacheTree());
    rudclient::SharedRecords records(account, saveFolder);
    typedName = L"\x522b\x5885 \x4e8c";   // 别墅 二
    order.backupAndCheck = true;
    const std::wstring longCamera = L"Cam_" + std::wstring(296, L'\x957f');   // 300 characters, checked
    order.cameraTicks.push_back({longCamera, true});
    order.analysis.cameras[longCamera] = rud::CameraInfo{};
    // 3ds Max is handed back once the saved scene has its snapshot beside the task's files; the
    // archive is made from that copy, which goes when the run ends.
    order.keepWorking = true;
    const std::wstring taskFolder = rud::SceneCacheFolder() + L"\x522b\x5885 \x4e8c.max_plugin_output";
    std::vector<std::wstring> snapshotsAtHandBack;
    report.onHandBack = [&] {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(taskFolder))
            if (entry.path().parent_path().filename().wstring().rfind(L"snapshot-", 0) == 0)
                snapshotsAtHandBack.push_back(entry.path().filename().wstring() + L" " +
                                              std::to_wstring(std::filesystem::file_size(entry.path())));
    };

    RunWorker();

    EXPECT_EQ(snapshotsAtHandBack, Texts{L"\x522b\x5885 \x4e8c.max 100000"});

    const std::wstring copy = sceneFolder + L"\\\x522b\x5885 \x4e8c.max";
    EXPECT_EQ(fake.host.savedTo, Texts{copy});
    EXPECT_EQ(report.Texts(), Texts{rud::WorkerText(IDS_SUBMIT_ACCEPTED)});
    EXPECT_TRUE(Closes());
    EXPECT_EQ(report.stages, (std::vector<int32_t>{rud::kBusyStarting, rud::kBusyCheckingScene, rud::kBusySavingScene,
        rud::kBusyCheckingViruses, rud::kBusySavingScene, rud::kBusyPacking, rud::kBusyWritingTask, rud::kBusySending}));
    EXPECT_EQ(fake.host.scripts.size(), 3u);   // the virus checks, while a backup existed
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sceneFolder), {}), 2);   // no backup left
    for (const auto& entry : std::filesystem::recursive_directory_iterator(taskFolder))
        EXPECT_EQ(entry.path().wstring().find(L"snapshot-"), std::wstring::npos) << entry.path();
    const rudclient::Verdict verdict =
        rudclient::CheckRequest(client.Request(), {rudclient::DataFolder() + L"\\7-Zip\\7z.exe", account});
    EXPECT_EQ(verdict.refusalCode, 0) << verdict.record.toStyledString();
    EXPECT_EQ(verdict.record["body"]["scenePath"], rud::WideToUtf8(copy));
    std::vector<std::string> sentCameras;
    for (const Json::Value& camera : verdict.record["task"]["cameras"]) sentCameras.push_back(camera["name"].asString());
    EXPECT_EQ(sentCameras, (std::vector<std::string>{rud::WideToUtf8(longCamera), "Camera001"}));
    const std::string archive = verdict.record["body"]["compressPath"].asString();
    const std::string name = "\xe5\x88\xab\xe5\xa2\x85 \xe4\xba\x8c";
    EXPECT_EQ(archive.rfind(rud::WideToUtf8(saveFolder) + "/" + name + "/" + name + "_", 0), 0u) << archive;
    EXPECT_EQ(store.busyArchiveBytes.load(), static_cast<int64_t>(std::filesystem::file_size(rud::Utf8ToWide(archive))));
    // The accepted task file stays for the client; this test is its client.
    std::filesystem::remove_all(rud::LocalAppDataFolder() + L"/MIRASTOR Render Farm For Effect/cache/plugin_scenes/" +
                                rud::Utf8ToWide(name) + L".max_plugin_output");
}

// The run owns the scene of its order: once the order is made the store is filled by another
// scene's analysis (a second dialog, a script), and still the first scene's cameras, paths,
// references and options reach the task file and the request.
TEST_F(SubmitWorkflowTest, SendsTheOrderedSceneWhateverFillsTheStoreAfter) {
    if (!rudtest::SevenZipStandInAvailable()) GTEST_SKIP() << "needs the stand-in 7-Zip under Wine";
    rudtest::WinsockSession winsock;
    rudtest::ScriptedClient client("HTTP/1.1 200 OK\r\nContent-Length: 13\r\n\r\n{\"ret\":10001}");
    ASSERT_TRUE(rudclient::LayOutDataFolder({client.Port(), L"1.3.7", rudtest::BinFolder() + L"\\7z.exe"}));
    ASSERT_TRUE(rudclient::LayOutCacheTree());
    auto analyse = [this](const std::string& scene, const std::string& camera, const char* app, const char* minRate) {
        Json::Value analysis = rudtest::ParseJson(R"({"cameras": [{}], "reference_file": [{}], "vray_setting": {}})");
        std::tie(analysis["name"], analysis["app_version"], analysis["cameras"][0]["name"]) = std::tuple(scene, app, camera);
        analysis["reference_file"][0]["path"] = scene + ".tex.jpg";
        analysis["vray_setting"]["gi_irradmap_minRate"] = minRate;
        store.SetAnalysisText(rud::Utf8ToWide(analysis.toStyledString()));
        std::string name;
        ASSERT_TRUE(store.ReadAnalysis() == rud::kAnalysisRead && !store.ReadSceneName(name).empty());
        store.SetRenderModeCode(1);   // as the dialog leaves a fresh analysis
    };
    const std::string first = rud::WideToUtf8(fake.host.sceneFilePath);
    analyse(first, "Cam_First", "2025", "-3");
    store.cameras[L"Cam_First"].width = 1234;   // as the camera dialog leaves it
    std::tie(store.renderModeCode, store.renderModeName) = std::tuple(10, "block");
    order = rud::NewSubmitOrder(store);
    order.cameraTicks = {{L"Cam_First", true}};
    analyse("D:/Other/Warehouse.max", "Cam_Second", "2024", "-1");

    RunWorker();

    EXPECT_EQ(report.Texts(), Texts{rud::WorkerText(IDS_SUBMIT_ACCEPTED)});
    const rudclient::Verdict verdict = rudclient::CheckRequest(client.Request(), {rudclient::DataFolder() + L"\\7-Zip\\7z.exe", L""});
    const Json::Value& task = verdict.record["task"];
    EXPECT_EQ(std::tuple(verdict.record["body"]["scenePath"].asString(), verdict.record["body"]["maxVersion"].asString()),
              std::tuple(first, std::string("3ds Max 2025")));
    EXPECT_TRUE(task["cameras"].size() == 1 && task["cameras"][0]["name"] == "Cam_First" &&
                task["cameras"][0]["camera_width"] == 1234) << task["cameras"].toStyledString();
    EXPECT_EQ(task["reference_file"][0]["path"], first + ".tex.jpg");
    EXPECT_EQ(std::tuple(task["num_blocks"].asInt(), task["effect_render_mode"].asString()), std::tuple(10, std::string("block")));
    EXPECT_EQ(task["max_options"]["gi_irradmap_minRate"], -3);
    EXPECT_NE(verdict.record["body"]["filePath"].asString().find("/\xe5\x88\xab\xe5\xa2\x85.max_plugin_output/json/"), std::string::npos);
    std::filesystem::remove_all(rud::SceneCacheFolder() + L"\x522b\x5885.max_plugin_output");
}

// The Corona limits and render options as a run takes them from the order. A pass limit below
// one pass limits nothing, and zero, however it is spelled, means no limit: with all three at zero the analysed
// limits stay. Texts that read as no finite number come out as no limit; those beyond what the
// task file's whole numbers and the gamma's float hold, as the end of that range.
struct TypedCoronaLimits {
    const wchar_t *passes, *hours, *noise;
    int32_t passLimit; double limitHours; int32_t limitSeconds; double noiseLimit;
    const wchar_t* gamma = L"2.2"; float gammaOut = 2.2f; const wchar_t* subdivs = L"8"; int32_t aoSubdivs = 8;
};

class TypedChoicesTest : public ::testing::TestWithParam<TypedCoronaLimits> {};

TEST_P(TypedChoicesTest, TakesTheLimitsAsTyped) {
    const TypedCoronaLimits& c = GetParam();
    rud::SceneAnalysis scene;
    scene.coronaLimitState = 1;
    scene.coronaLimits = {2.0, 10, 7200, 0.0};
    rud::SubmitOrder order;
    order.coronaPasses = c.passes;
    order.coronaHours = c.hours;
    order.coronaNoise = c.noise;
    order.gamma = c.gamma;
    order.aoChannel = true;
    order.aoSubdivs = c.subdivs;

    rud::TakeCoronaLimits(scene, order);
    rud::TakeRenderOptions(scene, order);

    const rud::CoronaLimits& got = scene.coronaLimits;
    EXPECT_EQ(std::tuple(got.coronaPassLimit, got.coronaTimeLimitHours, got.coronaTimeLimitSeconds, got.coronaNoiseLevelLimit),
              std::tuple(c.passLimit, c.limitHours, c.limitSeconds, c.noiseLimit));
    EXPECT_TRUE(scene.useCorona);
    EXPECT_EQ(std::pair(scene.gammaOut, scene.aoSubdivs), std::pair(c.gammaOut, c.aoSubdivs));
}

constexpr int32_t kMaxWhole = std::numeric_limits<int32_t>::max(), kMinWhole = std::numeric_limits<int32_t>::min();
constexpr float kMaxFloat = std::numeric_limits<float>::max();
INSTANTIATE_TEST_SUITE_P(Typed, TypedChoicesTest, ::testing::Values(
    TypedCoronaLimits{L"0.5", L"-0.0", L".0", 10, 2.0, 7200, 0},   // nothing limited: the analysed limits stay
    TypedCoronaLimits{L"-0", L"0e5", L" 00", 10, 2.0, 7200, 0},    // zero as the artist may spell it
    TypedCoronaLimits{L"1", L"0", L"0", 1, 0, 0, 0},              // the least of each limits
    TypedCoronaLimits{L"0", L"0.001", L"0", 0, 0.001, 3, 0},
    TypedCoronaLimits{L"0", L"0", L"0.001", 0, 0, 0, 0.001},
    // The whole numbers and the gamma at the ends of their ranges, and just beyond them.
    TypedCoronaLimits{L"3", L"0.5", L"0", 3, 0.5, 1800, 0, L"3.4028234663852886e38", kMaxFloat, L"2147483647", kMaxWhole},
    TypedCoronaLimits{L"2147483647", L"0", L"0", kMaxWhole, 0, 0, 0, L"3.5e38", kMaxFloat, L"2147483648", kMaxWhole},
    TypedCoronaLimits{L"2147483648", L"0", L"0", kMaxWhole, 0, 0, 0, L"-3.5e38", -kMaxFloat, L"-2147483649", kMinWhole},
    TypedCoronaLimits{L"-2147483649", L"0", L"0", kMinWhole, 0, 0, 0, L"nan", 0.0f, L"-2147483648", kMinWhole},   // nan: 0
    TypedCoronaLimits{L"3", L"1e300", L"0", 3, 1e300, kMaxWhole, 0},   // more seconds than a whole number holds
    TypedCoronaLimits{L"inf", L"0", L"0", 10, 2.0, 7200, 0}));         // infinity: no pass limit, so nothing limited

enum class Stop {
    kBackquote, kInvalidCamera, kNoCameraCancelled, kNeverSaved, kNameTooLong, kNameEndsInDot, kDeviceName,
    kOtherFileKept, kCoronaUnlimited, kTaskFileFails, kCancelWhileChecking, kCancelDuringVirusCheck, kCancelAt,
};
struct StopRow {
    Stop stop;
    int stringId;   // the one message box, 0 for none
    bool closes, saves, sends;
    std::optional<rud::SubmitBoundary> at = std::nullopt;   // where kCancelAt cancels
};

// The point at which a row cancels, through the busy dialog's own entry, and whether it counted.
rud::SubmitBoundary cancelAt;
std::atomic<int> cancelTaken{-1};
void CancelAtBoundary(rud::SubmitBoundary boundary) {
    if (boundary == cancelAt) cancelTaken = rud::RequestSubmitCancel(rud::RUDRenderingDataMgr::Instance()) ? 1 : 0;
}

class SubmitStopTest : public SubmitWorkflowTest, public ::testing::WithParamInterface<StopRow> {
protected:
    ~SubmitStopTest() override { rud::SetSubmitBoundaryHook(nullptr); }
};

// Each stop shows its message (or, cancelled, none) under its caption; refused names close the
// dialog before anything is saved under them. A Cancel counts from the
// first moment until the request starts to leave (after the save or script it came during), and
// one that counted leaves nothing in the cache; the typed-name copy stays, as the artist's save.
TEST_P(SubmitStopTest, StopsWithItsMessage) {
    const StopRow& row = GetParam();
    const bool packs = row.stop >= Stop::kTaskFileFails;
    rudtest::WinsockSession winsock;
    rudtest::ScriptedClient client("HTTP/1.1 200 OK\r\nContent-Length: 13\r\n\r\n{\"ret\":10001}");
    if (packs) {
        if (!rudtest::SevenZipStandInAvailable()) GTEST_SKIP() << "needs the stand-in 7-Zip under Wine";
        ASSERT_TRUE(rudclient::LayOutDataFolder({client.Port(), L"1.3.7", rudtest::BinFolder() + L"\\7z.exe"}));
        ASSERT_TRUE(rudclient::LayOutCacheTree());
    }
    const std::wstring other = sceneFolder + L"\\tower.max";
    std::wstring text = rud::WorkerText(row.stringId);
    typedName = L"tower";
    rud::MessageCaption caption = rud::MessageCaption::kError;
    switch (row.stop) {
    case Stop::kBackquote: typedName = L"to`wer"; break;
    case Stop::kNameEndsInDot: typedName = L"tower."; break;
    case Stop::kDeviceName: typedName = L"nul"; break;
    case Stop::kInvalidCamera:
        order.cameraTicks.push_back({L"bad\\name", true});
        order.analysis.cameras[L"bad\\name"] = rud::CameraInfo{};
        break;
    case Stop::kNoCameraCancelled:
        order.cameraTicks[0].checked = false;
        report.answers = {false};
        break;
    case Stop::kNeverSaved: fake.host.sceneFilePath.clear(); break;
    case Stop::kNameTooLong: typedName = std::wstring(300, L'n'); break;
    case Stop::kOtherFileKept:
        rudtest::WriteBytes(other, "another version");
        report.answers = {false};
        text = rud::WorkerTextWith(row.stringId, L"tower.max");
        caption = rud::MessageCaption::kNotice;
        break;
    case Stop::kCoronaUnlimited:
        order.analysis.coronaLimitState = 1;
        caption = rud::MessageCaption::kNotice;
        break;
    case Stop::kTaskFileFails: order.analysis.analysisText = L"{ not json"; break;
    case Stop::kCancelWhileChecking: store.busyCancelRequested = true; break;   // honoured before the save
    case Stop::kCancelDuringVirusCheck:   // the first script runs on; the other two do not
        order.backupAndCheck = true;
        fake.host.onScript = [this](const std::wstring&) { cancelTaken = rud::RequestSubmitCancel(store) ? 1 : 0; return 1; };
        break;
    case Stop::kCancelAt: cancelAt = *row.at; rud::SetSubmitBoundaryHook(&CancelAtBoundary); break;
    }
    cancelTaken = -1;
    const std::wstring output = rud::LocalAppDataFolder() +
        L"/MIRASTOR Render Farm For Effect/cache/plugin_scenes/tower.max_plugin_output";
    std::filesystem::remove_all(output);

    RunWorker();

    EXPECT_EQ(report.Texts(), row.stringId ? Texts{text} : Texts{});
    if (row.stringId && row.stringId != IDS_SUBMIT_ACCEPTED && !report.told.empty()) {
        EXPECT_EQ(report.told.back().caption, caption);
    }
    EXPECT_EQ(Closes(), row.closes);
    EXPECT_EQ(fake.host.savedTo, row.saves ? Texts{other} : Texts{});
    if (row.stop == Stop::kOtherFileKept) {
        EXPECT_EQ(rudtest::ReadBytes(other), "another version");
    }
    if (!packs) return;
    EXPECT_EQ(client.Received(), row.sends);
    if (row.stop > Stop::kCancelWhileChecking) {
        EXPECT_EQ(cancelTaken.load(), row.sends ? 0 : 1);
    }
    if (row.stop == Stop::kCancelDuringVirusCheck) {
        EXPECT_EQ(fake.host.scripts.size(), 1u);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sceneFolder), {}), 2);   // no backup left
    }
    EXPECT_EQ(rud::PathExists(output), row.sends);   // made for this run, and emptied unless accepted
    std::filesystem::remove_all(output);
}

INSTANTIATE_TEST_SUITE_P(Stops, SubmitStopTest, ::testing::Values(
    StopRow{Stop::kBackquote, IDS_SCENE_NAME_INVALID, true, false, false},
    StopRow{Stop::kInvalidCamera, IDS_CAMERA_NAMES_INVALID, false, false, false},
    StopRow{Stop::kNoCameraCancelled, IDS_NO_CAMERA_CHECKED, false, false, false},
    StopRow{Stop::kNeverSaved, IDS_NO_SCENE_FILE, false, false, false},
    StopRow{Stop::kNameTooLong, IDS_SCENE_PATH_TOO_LONG, false, false, false},
    StopRow{Stop::kNameEndsInDot, IDS_SCENE_NAME_INVALID, true, false, false},   // refused before the save
    StopRow{Stop::kDeviceName, IDS_SCENE_NAME_INVALID, true, false, false},
    StopRow{Stop::kOtherFileKept, IDS_REPLACE_OTHER_SCENE, false, false, false},
    StopRow{Stop::kCoronaUnlimited, IDS_CORONA_NOT_LIMITED, false, false, false},
    StopRow{Stop::kTaskFileFails, IDS_TASK_FILE_FAILED, false, true, false},   // nothing stays in the cache
    StopRow{Stop::kCancelWhileChecking, 0, false, false, false},
    StopRow{Stop::kCancelDuringVirusCheck, 0, false, true, false},
    StopRow{Stop::kCancelAt, 0, false, true, false, rud::SubmitBoundary::kSavingEnded},   // during the save
    StopRow{Stop::kCancelAt, 0, false, true, false, rud::SubmitBoundary::kPackingNext},
    StopRow{Stop::kCancelAt, 0, false, true, false, rud::SubmitBoundary::kPackingEnded},
    StopRow{Stop::kCancelAt, 0, false, true, false, rud::SubmitBoundary::kTaskFileNext},
    StopRow{Stop::kCancelAt, 0, false, true, false, rud::SubmitBoundary::kSendingNext},
    StopRow{Stop::kCancelAt, IDS_SUBMIT_ACCEPTED, true, true, true, rud::SubmitBoundary::kSendingStarted}));

} // namespace
