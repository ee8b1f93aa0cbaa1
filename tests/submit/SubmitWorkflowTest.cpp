// The submission worker as the main dialog runs it: on its own thread, against the main dialog's
// controls and the fake host's scene. The end-to-end stories play the usual accepted and refused
// submissions; here are the stops before the client and a submission the stories cannot set up.
#include "submit/SubmitWorkflow.h"
#include "tests/submit/SubmitTestSupport.h"
#include "tests/support/FakeHost.h"
#include "tests/support/MessageBoxRecorder.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/DataFolders.h"
#include "core/TextConversions.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "standins/client/ClientSetup.h"
#include "standins/client/RequestVerdict.h"
#include "core/DataFolders.h"
#include "submit/ArchiverOutcome.h"
#include "submit/FarmConfiguration.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <iterator>
#include <thread>

namespace {

using Texts = std::vector<std::wstring>;

class SubmitWorkflowTest : public ::testing::Test {
protected:
    // 场景\别墅.max, saved and open, with one checked camera.
    SubmitWorkflowTest() : folder(L"workflow"), sceneFolder(folder / L"\x573a\x666f") {
        ::CreateDirectoryW(sceneFolder.c_str(), nullptr);
        rudtest::WriteFileBytes(sceneFolder + L"\\\x522b\x5885.max", std::string(100000, 's'));
        fake.host.sceneFileName = L"\x522b\x5885.max";
        fake.host.sceneFilePath = sceneFolder + L"\\\x522b\x5885.max";
        store.analysisText = LR"({"app_version": "27.0", "renderer": "V_Ray", "errors": []})";
        store.cameras = {{L"Camera001", rud::CameraInfo{}}};   // what earlier tests left goes
        store.sceneFilePath.clear();
        store.submitState = rud::kThreadRunning;
        store.coronaLimitState = 0;
        dialog.AddCamera(L"Camera001", true);
        dialog.SetText(IDC_MAIN_SCENE_NAME, L"\x522b\x5885");
        dialog.Check(IDC_MAIN_SAVE_SCENE, true);
        dialog.Check(IDC_MAIN_CHANNEL_COLOR, true);
    }

    void RunWorker() {
        std::thread worker(rud::SubmitWorker, dialog.Handle(), rud::WorkerText(IDS_CAPTION_ERROR), rud::WorkerText(IDS_CAPTION_NOTICE), L"0");
        // The worker's calls on the dialog wait for this thread's messages; one more round after
        // the worker finished delivers the close it may have posted.
        bool finished = false;
        for (int round = 0; round < 36000 && !finished; ++round) {
            finished = store.submitState == rud::kThreadFinished;
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
            if (!finished) ::Sleep(5);
        }
        worker.join();
        ASSERT_TRUE(finished);
    }

    Texts BoxTexts() const {
        Texts texts;
        for (const auto& box : boxes.Boxes()) texts.push_back(box.text);
        return texts;
    }

    rudtest::ScratchFolder folder;
    std::wstring sceneFolder;
    rudtest::ScopedFakeHost fake;
    rudtest::MessageBoxRecorder boxes;
    rudtest::MainDialogWindow dialog;
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
    dialog.SetText(IDC_MAIN_SCENE_NAME, L"\x522b\x5885 \x4e8c");   // 别墅 二
    dialog.Check(IDC_MAIN_BACKUP_AND_CHECK, true);
    const std::wstring longCamera = L"Cam_" + std::wstring(296, L'\x957f');   // 300 characters, checked
    dialog.AddCamera(longCamera, true);
    store.cameras[longCamera] = rud::CameraInfo{};

    RunWorker();

    const std::wstring copy = sceneFolder + L"\\\x522b\x5885 \x4e8c.max";
    EXPECT_EQ(fake.host.savedTo, Texts{copy});
    EXPECT_EQ(BoxTexts(), Texts{rud::WorkerText(IDS_SUBMIT_ACCEPTED)});
    EXPECT_TRUE(dialog.Closed());
    EXPECT_EQ(fake.host.scripts.size(), 3u);   // the virus checks, while a backup existed
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sceneFolder), {}), 2);   // no backup left
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
}

// The Corona limits as the worker takes them from the dialog (the submission then stops at the
// backquote in the name, right after). A pass limit below one pass limits nothing, so with the
// other two at 0 the analysed limits stay. Texts that read as no finite number, or beyond what
// the task file's whole numbers hold, must come out as defined values, never as whatever an
// out-of-range conversion happens to give.
struct TypedCoronaLimits {
    const wchar_t* passes;
    const wchar_t* hours;
    int32_t passLimit;
    double limitHours;
    int32_t limitSeconds;
};

class SubmitCoronaLimitsTest : public SubmitWorkflowTest, public ::testing::WithParamInterface<TypedCoronaLimits> {};

TEST_P(SubmitCoronaLimitsTest, TakesTheLimitsTypedInTheDialog) {
    const TypedCoronaLimits& c = GetParam();
    store.coronaLimitState = 1;
    store.coronaLimits = {2.0, 10, 7200, 0.0};
    store.useCorona = false;
    dialog.SetText(IDC_MAIN_CORONA_PASSES, c.passes);
    dialog.SetText(IDC_MAIN_CORONA_TIME, c.hours);
    dialog.SetText(IDC_MAIN_CORONA_NOISE, L"0");
    dialog.SetText(IDC_MAIN_SCENE_NAME, L"to`wer");

    RunWorker();

    EXPECT_EQ(BoxTexts(), Texts{rud::WorkerText(IDS_SCENE_NAME_INVALID)});
    EXPECT_EQ(store.coronaLimits.coronaPassLimit, c.passLimit);
    EXPECT_EQ(store.coronaLimits.coronaTimeLimitHours, c.limitHours);
    EXPECT_EQ(store.coronaLimits.coronaTimeLimitSeconds, c.limitSeconds);
    EXPECT_TRUE(store.useCorona);
    store.coronaLimitState = 0;
}

constexpr int32_t kMaxWhole = std::numeric_limits<int32_t>::max();
INSTANTIATE_TEST_SUITE_P(Typed, SubmitCoronaLimitsTest, ::testing::Values(
    TypedCoronaLimits{L"0.5", L"0", 10, 2.0, 7200},        // nothing limited: the analysed limits stay
    TypedCoronaLimits{L"3", L"0.5", 3, 0.5, 1800},
    TypedCoronaLimits{L"1e12", L"0", kMaxWhole, 0, 0},     // more passes than a whole number holds
    TypedCoronaLimits{L"3", L"1e300", 3, 1e300, kMaxWhole}, // more seconds than a whole number holds
    TypedCoronaLimits{L"3", L"nan", 3, 0, 0},              // not a number: no time limit
    TypedCoronaLimits{L"inf", L"0", 10, 2.0, 7200}));      // infinity: no pass limit, so nothing limited

// The artist cancels while 7-Zip packs: nothing is sent and nothing is said, the partial archive
// and the task file never stay, the typed-name copy does, and the dialog is back as it was.
TEST_F(SubmitWorkflowTest, CancelWhilePackingSendsNothing) {
    if (!rudtest::SevenZipStandInAvailable()) GTEST_SKIP() << "needs the stand-in 7-Zip under Wine";
    rudtest::WinsockSession winsock;
    rudtest::ScriptedClient client("HTTP/1.1 200 OK\r\nContent-Length: 13\r\n\r\n{\"ret\":10001}");
    ASSERT_TRUE(rudclient::LayOutDataFolder({client.Port(), L"1.3.7", rudtest::BinFolder() + L"\\7z.exe"}));
    ASSERT_TRUE(rudclient::LayOutCacheTree());
    dialog.SetText(IDC_MAIN_SCENE_NAME, L"tower");
    const std::wstring output = rud::LocalAppDataFolder() +
        L"/MIRASTOR Render Farm For Effect/cache/plugin_scenes/tower.max_plugin_output";
    std::filesystem::remove_all(output);
    // Asked before packing starts: the worker honours it as soon as 7-Zip runs.
    store.busyCancelRequested = true;

    RunWorker();
    store.busyCancelRequested = false;

    EXPECT_EQ(BoxTexts(), Texts{});
    EXPECT_FALSE(dialog.Closed());
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog.Handle(), IDC_MAIN_CHANNEL_COLOR)));
    EXPECT_EQ(fake.host.savedTo, Texts{sceneFolder + L"\\tower.max"});
    EXPECT_TRUE(rudtest::FileExists(sceneFolder + L"\\tower.max"));
    EXPECT_TRUE(std::filesystem::is_empty(output + L"/compress"));
    EXPECT_FALSE(rudtest::FileExists(output + L"/json"));
    const std::string dataLog = rudtest::ReadFileBytes(rud::AnsiChsToWide(store.dataLog.BasePath() + ".log"));
    EXPECT_NE(dataLog.find("[INFO] Packing was cancelled by the user: 7-Zip was stopped, the partial archive deleted, "
                           "nothing was sent."),
              std::string::npos);
}

enum class EarlyStop { kBackquote, kInvalidCamera, kNoCameraCancelled, kNeverSaved, kNameTooLong, kNameEndsInDot };

class SubmitEarlyStopTest : public SubmitWorkflowTest, public ::testing::WithParamInterface<EarlyStop> {};

// Each stop shows its message and gives the controls back as they were; two close the dialog.
TEST_P(SubmitEarlyStopTest, StopsWithItsMessage) {
    int stringId = IDS_SCENE_NAME_INVALID;
    switch (GetParam()) {
    case EarlyStop::kBackquote: dialog.SetText(IDC_MAIN_SCENE_NAME, L"to`wer"); break;
    case EarlyStop::kNameEndsInDot: dialog.SetText(IDC_MAIN_SCENE_NAME, L"tower."); break;
    case EarlyStop::kInvalidCamera:
        dialog.AddCamera(L"bad\\name", true);
        store.cameras[L"bad\\name"] = rud::CameraInfo{};
        stringId = IDS_CAMERA_NAMES_INVALID;
        break;
    case EarlyStop::kNoCameraCancelled:
        ListView_SetCheckState(::GetDlgItem(dialog.Handle(), IDC_MAIN_CAMERAS), 0, FALSE);
        boxes.QueueAnswer(IDCANCEL);
        stringId = IDS_NO_CAMERA_CHECKED;
        break;
    case EarlyStop::kNeverSaved: fake.host.sceneFilePath.clear(); stringId = IDS_NO_SCENE_FILE; break;
    case EarlyStop::kNameTooLong:
        dialog.SetText(IDC_MAIN_SCENE_NAME, std::wstring(300, L'n')); stringId = IDS_SCENE_PATH_TOO_LONG; break;
    }
    ::EnableWindow(::GetDlgItem(dialog.Handle(), IDC_MAIN_MACHINES), FALSE);

    RunWorker();

    EXPECT_EQ(BoxTexts(), Texts{rud::WorkerText(stringId)});
    EXPECT_EQ(dialog.Closed(), stringId == IDS_SCENE_NAME_INVALID);
    if (!dialog.Closed()) {
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog.Handle(), IDC_MAIN_CHANNEL_COLOR)));
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog.Handle(), IDC_MAIN_MACHINES)));
    }
    EXPECT_EQ(fake.host.savedTo.empty(), GetParam() != EarlyStop::kNameEndsInDot);   // saved, then refused
}

INSTANTIATE_TEST_SUITE_P(Stops, SubmitEarlyStopTest,
                         ::testing::Values(EarlyStop::kBackquote, EarlyStop::kInvalidCamera,
                                           EarlyStop::kNoCameraCancelled, EarlyStop::kNeverSaved,
                                           EarlyStop::kNameTooLong, EarlyStop::kNameEndsInDot));

enum class PackingFault { kProgramMissing, kFailsHalfway, kWritesNothing };

class SubmitPackingFaultTest : public SubmitWorkflowTest, public ::testing::WithParamInterface<PackingFault> {
protected:
    ~SubmitPackingFaultTest() override { ::SetEnvironmentVariableW(L"RUD_SEVENZIP_FAULT", nullptr); }
};

size_t FilesIn(const std::wstring& folder) {
    std::error_code none;
    if (!std::filesystem::is_directory(folder, none)) return 0;
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// A 7-Zip that cannot start, stops halfway or writes nothing: the artist reads why, the client
// hears nothing, no task file is written, no archive is left, and the dialog stays open.
TEST_P(SubmitPackingFaultTest, SendsNothingAndSaysWhy) {
    if (!rudtest::SevenZipStandInAvailable()) GTEST_SKIP() << "needs the stand-in 7-Zip under Wine";
    rudtest::WinsockSession winsock;
    rudtest::ScriptedClient client("HTTP/1.1 200 OK\r\nContent-Length: 13\r\n\r\n{\"ret\":10001}");
    ASSERT_TRUE(rudclient::LayOutDataFolder({client.Port(), L"1.3.7", rudtest::BinFolder() + L"\\7z.exe"}));
    ASSERT_TRUE(rudclient::LayOutCacheTree());
    const std::wstring program = rudclient::DataFolder() + L"\\7-Zip\\7z.exe";
    int stringId = IDS_SEVENZIP_NOT_STARTED;
    std::wstring detail = L"7-Zip/7z.exe";
    std::string logged = "7-Zip could not be started: ";
    switch (GetParam()) {
    case PackingFault::kProgramMissing: ASSERT_TRUE(::DeleteFileW(program.c_str())); break;
    case PackingFault::kFailsHalfway:
        ::SetEnvironmentVariableW(L"RUD_SEVENZIP_FAULT", L"fail-partial");
        stringId = IDS_SEVENZIP_FAILED;
        detail = L" 2 ";
        logged = "7-Zip failed with exit code 2 packing the scene into ";
        break;
    case PackingFault::kWritesNothing:
        ::SetEnvironmentVariableW(L"RUD_SEVENZIP_FAULT", L"no-archive");
        stringId = IDS_SEVENZIP_NO_ARCHIVE;
        detail.clear();
        logged = "7-Zip ended with exit code 0 but made no archive: ";
        break;
    }

    RunWorker();

    const std::wstring expected = rud::WorkerText(stringId);
    const std::vector<rudtest::RecordedBox> recorded = boxes.Boxes();
    ASSERT_EQ(recorded.size(), 1u);
    const rudtest::RecordedBox& box = recorded[0];
    EXPECT_EQ(box.text.substr(0, 10), expected.substr(0, 10));
    EXPECT_NE(box.text.find(detail), std::wstring::npos) << rud::WideToUtf8(box.text);
    EXPECT_EQ(box.caption, rud::WorkerText(IDS_CAPTION_ERROR));
    EXPECT_EQ(box.owner, dialog.Handle());
    EXPECT_FALSE(dialog.Closed());
    EXPECT_FALSE(client.Received());
    const std::wstring cache = rud::LocalAppDataFolder() +
        L"/MIRASTOR Render Farm For Effect/cache/plugin_scenes/\x522b\x5885.max_plugin_output";
    EXPECT_EQ(FilesIn(cache + L"/compress"), 0u);
    EXPECT_EQ(FilesIn(cache + L"/json"), 0u);
    const std::string dataLog = rudtest::ReadFileBytes(rud::AnsiChsToWide(store.dataLog.BasePath() + ".log"));
    EXPECT_NE(dataLog.find("[ERROR] " + logged), std::string::npos) << logged;
}

INSTANTIATE_TEST_SUITE_P(Faults, SubmitPackingFaultTest,
                         ::testing::Values(PackingFault::kProgramMissing, PackingFault::kFailsHalfway,
                                           PackingFault::kWritesNothing));

} // namespace
