#include "submit/TaskJson.h"
#include "tests/submit/SubmitTestSupport.h"
#include "tests/support/MessageBoxRecorder.h"

#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "resources/StringIds.h"

#include <gtest/gtest.h>
#include <json/reader.h>

namespace {

const char kAnalysis[] = R"({
  "app_version": "27.0", "name": "old.max", "renderer": "V_Ray", "start_frame": 0,
  "cameras": [{"name": "from the script"}],
  "reference_file": [{"path": "C:/s/tower.max", "size": 3}, {"path": "C:/tex/wood.jpg", "size": 9}],
  "errors": [107]
})";

class TaskJsonTest : public ::testing::Test {
protected:
    TaskJsonTest() : folder(L"task") {
        store.analysisText = rud::Utf8ToWide(kAnalysis);
        store.sceneFilePath = "C:/s/tower.max";
        info.jsonDir = folder / L"json";
        info.scenePath = "C:/s/villa.max";
        info.compressPath = "C:/cache/villa_abcdef.7z";
        info.imageScaleText = "100%";
    }
    // Writes and reads back the task file; the request body stays in `body`.
    Json::Value Write() {
        body.clear();
        EXPECT_TRUE(rud::WriteTaskJson(store, dialog.Handle(), info, L"TASK-1", body));
        fileBytes = rudtest::ReadFileBytes(info.jsonDir);
        Json::Value root;
        Json::Reader reader;
        EXPECT_TRUE(reader.parse(fileBytes, root)) << fileBytes;
        return root;
    }
    Json::Value Body() {
        Json::Value root;
        Json::Reader reader;
        EXPECT_TRUE(reader.parse(body, root)) << body;
        return root;
    }
    void AddCamera(const std::wstring& name, bool renderable) {
        rud::CameraInfo camera;
        camera.width = 1920; camera.height = 1080; camera.startFrame = 5;
        camera.imageFormat = L"PNG"; camera.displayName = name + L"_out"; camera.renderable = renderable;
        camera.isPanorama = name == L"Pano";
        store.cameras[name] = camera;
    }
    rudtest::ScratchFolder folder;
    rudtest::TestDialog dialog;
    rud::RUDRenderingDataMgr store;
    rud::ClientInfo info;
    std::string body;
    std::string fileBytes;
};

TEST_F(TaskJsonTest, RewritesTheAnalysisIntoTheTask) {
    AddCamera(L"Pano", true);
    AddCamera(L"Camera001", true);
    AddCamera(L"Hidden", false);
    const Json::Value task = Write();

    EXPECT_EQ(info.jsonDir, folder / L"json" + L"/TASK-1.json");
    EXPECT_EQ(task["name"], "C:/s/villa.max");
    EXPECT_EQ(task["renderer"], "V_Ray");            // passes through
    EXPECT_FALSE(task.isMember("errors"));           // non-null errors are dropped
    EXPECT_TRUE(task.isMember("end_frame"));         // read, so present as null
    EXPECT_TRUE(task["end_frame"].isNull());
    // The scene is not its own reference; other members of an entry are not carried over.
    ASSERT_EQ(task["reference_file"].size(), 1u);
    EXPECT_EQ(task["reference_file"][0].getMemberNames(), std::vector<std::string>{"path"});
    EXPECT_EQ(task["reference_file"][0]["path"], "C:/tex/wood.jpg");
    // Renderable cameras in name order, with every member.
    ASSERT_EQ(task["cameras"].size(), 2u);
    const Json::Value& camera = task["cameras"][0];
    EXPECT_EQ(camera["name"], "Camera001");
    EXPECT_EQ(camera["camera_width"], 1920);
    EXPECT_EQ(camera["camera_height"], 1080);
    EXPECT_EQ(camera["frame_to_render"], 5);
    EXPECT_EQ(camera["img_output_format"], "PNG");
    EXPECT_EQ(camera["img_output_name"], "Camera001_out");
    EXPECT_EQ(camera["renderable"], "1");
    EXPECT_EQ(camera["is_spherical"], false);
    EXPECT_EQ(task["cameras"][1]["is_spherical"], true);
    EXPECT_EQ(task["effect_render_mode"], "base");
    EXPECT_FALSE(task.isMember("corona_options"));

    // Text mode on disk, keys in byte order.
    EXPECT_EQ(fileBytes.find('\n'), fileBytes.find("\r\n") + 1);
    EXPECT_EQ(fileBytes.find("\n\n"), std::string::npos);
    EXPECT_LT(fileBytes.find("\"app_version\""), fileBytes.find("\"cameras\""));
    EXPECT_LT(fileBytes.find("\"cameras\""), fileBytes.find("\"name\" : \"C:/s/villa.max\""));
}

TEST_F(TaskJsonTest, RequestBodyNamesTheFilesInKeyOrder) {
    dialog.Check(1002, true);
    Write();
    EXPECT_EQ(body.rfind("{\n   \"PLUGIN_SAVE_SCENE_FILE\" : 1,\n   \"compressPath\" : ", 0), 0u) << body;
    const Json::Value request = Body();
    EXPECT_EQ(request["scenePath"], "C:/s/villa.max");
    EXPECT_EQ(request["compressPath"], "C:/cache/villa_abcdef.7z");
    EXPECT_EQ(request["filePath"], rud::WideToUtf8(info.jsonDir));
    EXPECT_EQ(request["maxVersion"], "3ds Max 27.0");
    EXPECT_TRUE(request["PLUGIN_SAVE_SCENE_FILE"].isUInt());

    dialog.Check(1002, false);
    info.jsonDir = folder / L"json";
    Write();
    EXPECT_EQ(Body()["PLUGIN_SAVE_SCENE_FILE"].asUInt(), 0u);
}

TEST_F(TaskJsonTest, BlockAndDistributedRenderingByModeCode) {
    const struct { int code, count, blocking, blocks, distributed; } cases[] = {
        {1, 6, 0, 0, 0}, {10, 0, 1, 10, 0}, {64, 3, 1, 64, 0}, {1010, 6, 0, 0, 6},
    };
    for (const auto& c : cases) {
        store.renderModeCode = c.code;
        store.distributedCount = c.count;
        info.jsonDir = folder / L"json";
        const Json::Value task = Write();
        EXPECT_EQ(task["enable_blocking"], c.blocking) << c.code;
        EXPECT_EQ(task["num_blocks"], c.blocks) << c.code;
        EXPECT_EQ(task["distributed_render"], c.distributed) << c.code;
    }
}

TEST_F(TaskJsonTest, CamerasAndErrorsWhenNothingIsLeft) {
    AddCamera(L"Hidden", false);
    Json::Value task = Write();
    EXPECT_FALSE(task.isMember("cameras"));   // removed, nothing to put back

    store.analysisText = L"{\"reference_file\": [{\"path\": \"C:/s/tower.max\"}]}";
    info.jsonDir = folder / L"json";
    task = Write();
    EXPECT_TRUE(task.isMember("cameras") && task["cameras"].isNull());
    EXPECT_TRUE(task.isMember("errors") && task["errors"].isNull());
    EXPECT_FALSE(task.isMember("reference_file"));
    EXPECT_EQ(Body()["maxVersion"], "3ds Max ");   // no "app_version"
}

TEST_F(TaskJsonTest, RenderElementOptions) {
    store.gammaOut = 2.2f;
    Json::Value options = Write()["max_options"];
    EXPECT_FALSE(options.isMember("ao_radius"));
    EXPECT_FALSE(options.isMember("ao_subdivs"));
    EXPECT_FALSE(options.isMember("gi_image_scale"));
    EXPECT_EQ(options["gi_channel"], "0");
    EXPECT_EQ(options["psd_channel"], "0");
    EXPECT_DOUBLE_EQ(options["gamma_out"].asDouble(), static_cast<double>(2.2f));

    store.aoChannel = true; store.aoRadius = 250.5; store.aoSubdivs = 8;
    store.giChannel = true; store.psdChannel = true;
    store.giIrradmapMinRate = -3; store.giIrradmapMaxRate = 0; store.giIrradmapPreset = 2;
    info.imageScaleIndex = 3; info.imageScaleText = "25%";
    info.jsonDir = folder / L"json";
    options = Write()["max_options"];
    EXPECT_EQ(options["ao_radius"], 250.5);
    EXPECT_EQ(options["ao_subdivs"], 8);
    EXPECT_EQ(options["gi_irradmap_minRate"], -6);
    EXPECT_EQ(options["gi_irradmap_maxRate"], -3);
    EXPECT_EQ(options["gi_irradmap_preset"], 2);
    EXPECT_EQ(options["gi_image_scale"], "25%");
    EXPECT_EQ(options["gi_channel"], "1");
    EXPECT_EQ(options["psd_channel"], "1");
}

TEST_F(TaskJsonTest, CoronaLimitsAndEffectModeName) {
    store.useCorona = true;
    store.coronaLimits.coronaNoiseLevelLimit = 5;
    store.coronaLimits.coronaPassLimit = 300;
    store.coronaLimits.coronaTimeLimitSeconds = 7200;
    store.renderModeName = "dist";
    const Json::Value corona = Write()["corona_options"];
    EXPECT_DOUBLE_EQ(corona["CoronaNoiseLevelLimit"].asDouble(), 0.05);
    EXPECT_EQ(corona["CoronaPassLimit"], 300);
    EXPECT_EQ(corona["CoronaTimeLimit"], 7200);
    EXPECT_EQ(corona["useCorona"], true);
    info.jsonDir = folder / L"json";
    store.renderModeName = "dist";
    EXPECT_EQ(Write()["effect_render_mode"], "dist");
    EXPECT_TRUE(store.renderModeName.empty());
    info.jsonDir = folder / L"json";
    EXPECT_EQ(Write()["effect_render_mode"], "base");
}

TEST_F(TaskJsonTest, WritesNonAsciiAsUtf8Bytes) {
    AddCamera(L"\x76f8\x673a", true);                      // 相机
    info.scenePath = "C:/\xe5\x9c\xba\xe6\x99\xaf/villa.max";   // 场景
    Write();
    EXPECT_NE(fileBytes.find("\"\xe7\x9b\xb8\xe6\x9c\xba\""), std::string::npos) << fileBytes;
    EXPECT_NE(body.find("\"C:/\xe5\x9c\xba\xe6\x99\xaf/villa.max\""), std::string::npos) << body;
    EXPECT_EQ(fileBytes.find("\\u"), std::string::npos);
}

TEST_F(TaskJsonTest, ValuesOfTheWrongTypeReadAsEmptyText) {
    store.analysisText = LR"({"app_version": 2025, "reference_file": [{"path": 12}, 7, {"path": "C:/t.jpg"}]})";
    const Json::Value task = Write();
    EXPECT_EQ(Body()["maxVersion"], "3ds Max ");
    ASSERT_EQ(task["reference_file"].size(), 3u);
    EXPECT_EQ(task["reference_file"][0]["path"], "");
    EXPECT_EQ(task["reference_file"][2]["path"], "C:/t.jpg");
}

TEST_F(TaskJsonTest, FailuresShowTheTaskFileMessage) {
    rudtest::MessageBoxRecorder boxes;
    const wchar_t* loaded = rud::LoadResourceTextB(IDS_TASK_FILE_FAILED);
    const std::wstring expected = loaded ? loaded : L"";
    for (const wchar_t* analysis : {L"{ not json", L"[1, 2]"}) {
        store.analysisText = analysis;
        store.renderModeName = "dist";
        body = "untouched";
        EXPECT_FALSE(rud::WriteTaskJson(store, dialog.Handle(), info, L"TASK-1", body));
        EXPECT_EQ(body, "untouched");
        EXPECT_EQ(store.renderModeName, "dist");   // nothing changed
    }
    store.analysisText = rud::Utf8ToWide(kAnalysis);
    store.renderModeName = "dist";
    info.jsonDir = folder / L"missing\\json";      // its parent does not exist: the open fails
    EXPECT_FALSE(rud::WriteTaskJson(store, dialog.Handle(), info, L"TASK-1", body));
    EXPECT_EQ(info.jsonDir, folder / L"missing\\json");
    EXPECT_TRUE(store.renderModeName.empty());
    ASSERT_EQ(boxes.Count(), 3u);
    for (const auto& box : boxes.Boxes()) {
        EXPECT_EQ(box.text, expected);
        EXPECT_EQ(box.owner, dialog.Handle());
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
    }
}

TEST_F(TaskJsonTest, OverwritesAnExistingFile) {
    ::CreateDirectoryW((folder / L"json").c_str(), nullptr);
    rudtest::WriteFileBytes(folder / L"json\\TASK-1.json", std::string(100000, ' ') + "old");
    Write();
    EXPECT_EQ(fileBytes.find("old"), std::string::npos);
}

} // namespace
