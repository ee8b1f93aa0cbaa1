// The submission worker as the main dialog runs it: on its own thread, against a window with the
// dialog's controls, the fake host's scene, the stand-in 7-Zip and the stand-in client.
#include "submit/SubmitWorkflow.h"
#include "tests/submit/SubmitTestSupport.h"
#include "tests/support/FakeHost.h"
#include "tests/support/MessageBoxRecorder.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "resources/StringIds.h"
#include "submit/FarmConfiguration.h"

#include <gtest/gtest.h>
#include <json/reader.h>
#include <commctrl.h>

#include <thread>

namespace {

std::wstring Text(int id) {
    const wchar_t* text = rud::LoadResourceTextB(id);
    return text ? text : L"";
}

Json::Value ReadJson(const std::wstring& path) {
    Json::Value value;
    Json::Reader reader;
    const std::string bytes = rudtest::ReadFileBytes(path);
    EXPECT_TRUE(reader.parse(bytes, value)) << rud::WideToUtf8(path) << ": " << bytes;
    return value;
}

class SubmitWorkflowTest : public ::testing::Test {
protected:
    SubmitWorkflowTest() : folder(L"workflow") {}

    void SetUp() override {
        if (!rudtest::StandInsAvailable()) GTEST_SKIP() << "needs the stand-in client and 7-Zip under Wine";
    }

    // A saved scene at <scratch>\<subfolder>\<fileName>, open in the fake host, with one camera.
    void OpenScene(const std::wstring& subfolder, const std::wstring& fileName) {
        const std::wstring sceneFolder = folder / subfolder;
        ::CreateDirectoryW(sceneFolder.c_str(), nullptr);
        scenePath = sceneFolder + L"\\" + fileName;
        std::string bytes;
        for (int i = 0; i < 20000; ++i) bytes += "scene line " + std::to_string(i * 7919 % 10007) + "\n";
        rudtest::WriteFileBytes(scenePath, bytes);
        fake.host.sceneFileName = fileName;
        fake.host.sceneFilePath = scenePath;

        auto& store = rud::RUDRenderingDataMgr::Instance();
        store.analysisText = LR"({"app_version": "27.0", "name": "x.max", "renderer": "V_Ray", "errors": []})";
        store.ClearCameras();
        rud::CameraInfo camera;
        camera.width = 640; camera.height = 480; camera.imageFormat = L"PNG"; camera.displayName = L"Camera001";
        store.cameras[L"Camera001"] = camera;
        store.sceneFilePath.clear();
        store.sceneFileName.clear();
        store.coronaLimitState = 0;
        store.renderModeCode = 1;
        store.submitState = rud::kThreadRunning;
        store.busyState = rud::kThreadNone;
        store.busyThread = nullptr;

        dialog.AddCamera(L"Camera001", true);
        dialog.SetText(1036, fileName.substr(0, fileName.size() - 4));
        dialog.Check(1002, true);
        dialog.Check(1043, true);
        dialog.SelectImageScale(0);
    }

    void RunWorker() {
        std::thread worker(rud::SubmitWorker, dialog.Handle(), Text(IDS_CAPTION_ERROR), Text(IDS_CAPTION_NOTICE), L"0");
        const bool finished = rudtest::PumpUntil(
            [] { return rud::RUDRenderingDataMgr::Instance().submitState == rud::kThreadFinished; });
        worker.join();
        ASSERT_TRUE(finished);
        rudtest::PumpUntil([] { return true; });   // let a posted close arrive
    }

    std::vector<std::wstring> BoxTexts() const {
        std::vector<std::wstring> texts;
        for (const auto& box : boxes.Boxes()) texts.push_back(box.text);
        return texts;
    }

    rudtest::ScratchFolder folder;
    rudtest::ScopedFakeHost fake;
    rudtest::MessageBoxRecorder boxes;
    rudtest::TestDialog dialog;
    rudtest::WinsockSession winsock;
    std::wstring scenePath;
};

TEST_F(SubmitWorkflowTest, AcceptedTaskReachesTheClientWithArchiveAndTaskFile) {
    OpenScene(L"scenes", L"tower.max");
    dialog.Check(1000, true);   // backup and virus checks
    const int port = rudtest::PickPort();
    rudtest::StandInClientProcess client(port, folder / L"record", L"--once --answer 10001");
    ASSERT_TRUE(client.WaitReady());

    RunWorker();

    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{Text(IDS_SUBMIT_ACCEPTED)});
    EXPECT_TRUE(dialog.Closed());
    const Json::Value verdict = ReadJson(folder / L"record\\verdict-1.json");
    EXPECT_EQ(verdict["problems"].size(), 0u) << verdict.toStyledString();
    EXPECT_EQ(verdict["answer"], 10001);
    EXPECT_TRUE(verdict["archive_holds_scene"].asBool());
    EXPECT_TRUE(verdict["task_file_crlf"].asBool());
    EXPECT_EQ(verdict["body"]["scenePath"], rud::WideToUtf8(scenePath));
    EXPECT_EQ(verdict["body"]["PLUGIN_SAVE_SCENE_FILE"].asUInt(), 1u);
    EXPECT_EQ(verdict["task"]["cameras"][0]["name"], "Camera001");
    EXPECT_EQ(verdict["task"]["max_options"]["color_channel"], true);
    // The three virus-check scripts ran, and their backup is gone again.
    EXPECT_EQ(fake.host.scripts.size(), 3u);
    for (const std::wstring& name : rudtest::FilesIn(folder / L"scenes")) EXPECT_EQ(name, L"tower.max");
    EXPECT_TRUE(fake.host.savedTo.empty());   // the typed name is the file's: used as it is
}

TEST_F(SubmitWorkflowTest, RefusedTaskLeavesTheDialogAsItWas) {
    OpenScene(L"scenes", L"tower.max");
    ::EnableWindow(::GetDlgItem(dialog.Handle(), 1075), FALSE);
    const int port = rudtest::PickPort();
    rudtest::StandInClientProcess client(port, folder / L"record", L"--once --answer 10009");
    ASSERT_TRUE(client.WaitReady());

    RunWorker();

    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{Text(IDS_CLIENT_DUPLICATE)});
    EXPECT_FALSE(dialog.Closed());
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog.Handle(), 1043)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog.Handle(), 1075)));
    EXPECT_EQ(ReadJson(folder / L"record\\verdict-1.json")["answer"], 10009);
    EXPECT_TRUE(fake.host.scripts.empty());   // no backup, no virus checks
}

// Chinese folder and scene names on a system whose code page cannot write them: the archive
// and the task still name the scene correctly, and a new typed name saves a copy first.
TEST_F(SubmitWorkflowTest, ChineseSceneNamesGoThroughEndToEnd) {
    OpenScene(L"\x573a\x666f", L"\x522b\x5885.max");            // 场景\别墅.max
    dialog.SetText(1036, L"\x522b\x5885 \x4e8c");               // 别墅 二: saved as a new file
    const int port = rudtest::PickPort();
    rudtest::StandInClientProcess client(port, folder / L"record", L"--once --answer 10001");
    ASSERT_TRUE(client.WaitReady());

    RunWorker();

    const std::wstring copy = folder / L"\x573a\x666f\\\x522b\x5885 \x4e8c.max";
    ASSERT_EQ(fake.host.savedTo, std::vector<std::wstring>{copy});
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{Text(IDS_SUBMIT_ACCEPTED)});
    const Json::Value verdict = ReadJson(folder / L"record\\verdict-1.json");
    EXPECT_EQ(verdict["problems"].size(), 0u) << verdict.toStyledString();
    EXPECT_EQ(verdict["body"]["scenePath"], rud::WideToUtf8(copy));
    EXPECT_NE(verdict["body"]["compressPath"].asString().find("/\xe5\x88\xab\xe5\xa2\x85 \xe4\xba\x8c_"),
              std::string::npos);
    EXPECT_EQ(verdict["task"]["name"], rud::WideToUtf8(copy));
}

// A direct-save account: the archive goes to the client's save folder, protected by the password
// that the client derives on its side (it unpacks the archive to check it).
TEST_F(SubmitWorkflowTest, DirectSaveAccountArchiveOpensWithTheSharedPassword) {
    OpenScene(L"scenes", L"tower.max");
    const std::wstring saveFolder = folder / L"saved";
    ::CreateDirectoryW(saveFolder.c_str(), nullptr);
    const int port = rudtest::PickPort();
    rudtest::StandInClientProcess client(port, folder / L"record", L"--once --user " +
        std::wstring(rud::kDirectSaveAccounts[0]) + L" --save-path \"" + saveFolder + L"\"");
    ASSERT_TRUE(client.WaitReady());

    RunWorker();

    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{Text(IDS_SUBMIT_ACCEPTED)});
    const Json::Value verdict = ReadJson(folder / L"record\\verdict-1.json");
    EXPECT_EQ(verdict["problems"].size(), 0u) << verdict.toStyledString();
    EXPECT_EQ(verdict["body"]["compressPath"].asString().rfind(rud::WideToUtf8(saveFolder) + "/tower/tower_", 0), 0u);
    EXPECT_EQ(rudtest::FilesIn(saveFolder + L"\\tower").size(), 1u);
}

enum class EarlyStop { kBackquote, kInvalidCamera, kNoCameraCancelled, kNeverSaved, kNameTooLong, kNameEndsInDot };

class SubmitEarlyStopTest : public SubmitWorkflowTest, public ::testing::WithParamInterface<EarlyStop> {};

// Each stop shows its message, ends the worker and gives the controls back; two close the dialog.
TEST_P(SubmitEarlyStopTest, StopsWithItsMessage) {
    OpenScene(L"scenes", L"tower.max");
    int stringId = 0;
    bool closes = false;
    auto& store = rud::RUDRenderingDataMgr::Instance();
    switch (GetParam()) {
    case EarlyStop::kBackquote:
        dialog.SetText(1036, L"to`wer"); stringId = IDS_SCENE_NAME_INVALID; closes = true; break;
    case EarlyStop::kInvalidCamera:
        dialog.AddCamera(L"bad\\name", true);
        store.cameras[L"bad\\name"] = rud::CameraInfo{};
        stringId = IDS_CAMERA_NAMES_INVALID; break;
    case EarlyStop::kNoCameraCancelled:
        ListView_SetCheckState(::GetDlgItem(dialog.Handle(), 1006), 0, FALSE);
        boxes.QueueAnswer(IDCANCEL);
        stringId = IDS_NO_CAMERA_CHECKED; break;
    case EarlyStop::kNeverSaved:
        fake.host.sceneFilePath.clear(); fake.host.sceneFileName.clear(); stringId = IDS_NO_SCENE_FILE; break;
    case EarlyStop::kNameTooLong:
        dialog.SetText(1036, std::wstring(300, L'n')); stringId = IDS_SCENE_PATH_TOO_LONG; break;
    case EarlyStop::kNameEndsInDot:
        dialog.SetText(1036, L"tower."); stringId = IDS_SCENE_NAME_INVALID; closes = true; break;
    }

    RunWorker();

    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{Text(stringId)});
    EXPECT_EQ(dialog.Closed(), closes);
    if (!closes) {
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog.Handle(), 1043)));
    }
    if (GetParam() == EarlyStop::kNameTooLong) {
        EXPECT_TRUE(fake.host.savedTo.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Stops, SubmitEarlyStopTest,
                         ::testing::Values(EarlyStop::kBackquote, EarlyStop::kInvalidCamera,
                                           EarlyStop::kNoCameraCancelled, EarlyStop::kNeverSaved,
                                           EarlyStop::kNameTooLong, EarlyStop::kNameEndsInDot));

} // namespace
