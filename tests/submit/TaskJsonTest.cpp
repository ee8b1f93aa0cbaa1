#include "submit/TaskJson.h"
#include "tests/submit/SubmitTestSupport.h"

#include "core/TextConversions.h"
#include "resources/StringIds.h"

#include <gtest/gtest.h>
#include <json/writer.h>

#include <regex>

namespace {

using rudtest::ParseJson;

const char kAnalysis[] = R"({
  "app_version": "27.0", "name": "old.max", "renderer": "V_Ray", "start_frame": 0,
  "cameras": [{"name": "from the script"}],
  "reference_file": [{"path": "C:/s/tower.max", "size": 3}, {"path": "C:/tex/wood.jpg", "size": 9}],
  "errors": [107]
})";

// Compared as StyledWriter text: what the client reads, whatever number type holds a value.
std::string Styled(const Json::Value& value) { return Json::StyledWriter().write(value); }
std::string Styled(const char* json) { return Styled(ParseJson(json)); }

class TaskJsonTest : public ::testing::Test {
protected:
    TaskJsonTest() : folder(L"task") {
        scene.analysisText = rud::Utf8ToWide(kAnalysis);
        scene.sceneFilePath = "C:/s/tower.max";
        info.scenePath = "C:/s/villa.max";
        info.compressPath = "C:/cache/villa_abcdef.7z";
    }
    // Writes the task file and reads it back; the request body stays in `body`.
    Json::Value Write() {
        info.jsonDir = folder / L"json";
        EXPECT_TRUE(rud::WriteTaskJson(scene, log, saveScene, info, L"TASK-1", body));
        fileBytes = rudtest::ReadBytes(info.jsonDir);
        return ParseJson(fileBytes);
    }
    void AddCamera(const std::wstring& name, bool renderable) {
        rud::CameraInfo& camera = scene.cameras[name];
        camera.width = 1920; camera.height = 1080; camera.startFrame = 5; camera.imageFormat = L"PNG";
        camera.displayName = name + L"_out"; camera.renderable = renderable; camera.isPanorama = name == L"Pano";
    }
    rudtest::ScratchFolder folder;
    bool saveScene = false;
    rud::SceneAnalysis scene;
    rud::LogChannel log;   // closed: the lines are the workflow's business
    rud::ClientInfo info;
    std::string body;
    std::string fileBytes;
};

// The scene is not its own reference and other members of an entry stay behind; errors that are
// set and the script's cameras are dropped; renderable cameras follow in name order; end_frame,
// read on the way, appears as null. On disk: sorted keys, CR LF line ends.
TEST_F(TaskJsonTest, RewritesTheAnalysisIntoTheTask) {
    AddCamera(L"Pano", true);
    AddCamera(L"Camera001", true);
    AddCamera(L"Hidden", false);
    Write();
    EXPECT_EQ(info.jsonDir, folder / L"json" + L"/TASK-1.json");
    EXPECT_EQ(fileBytes, std::regex_replace(Styled(R"({"app_version": "27.0", "name": "C:/s/villa.max",
      "renderer": "V_Ray", "start_frame": 0, "end_frame": null, "reference_file": [{"path": "C:/tex/wood.jpg"}],
      "cameras": [{"name": "Camera001", "camera_width": 1920, "camera_height": 1080, "frame_to_render": 5,
                   "img_output_format": "PNG", "img_output_name": "Camera001_out", "renderable": "1", "is_spherical": false},
                  {"name": "Pano", "camera_width": 1920, "camera_height": 1080, "frame_to_render": 5,
                   "img_output_format": "PNG", "img_output_name": "Pano_out", "renderable": "1", "is_spherical": true}],
      "enable_blocking": 0, "num_blocks": 0, "distributed_render": 0, "effect_render_mode": "base",
      "max_options": {"color_channel": false, "ao_channel": false, "gamma_out": 2.2000000476837158, "mtl_channel": false,
                      "gi_irradmap_preset": 0, "gi_irradmap_minRate": 0, "gi_irradmap_maxRate": 0,
                      "gi_channel": "0", "psd_channel": "0"}})"), std::regex("\n"), "\r\n"));
}

TEST_F(TaskJsonTest, RequestBodyNamesTheFilesInKeyOrder) {
    for (const bool saved : {true, false}) {
        saveScene = saved;
        Write();
        Json::Value expected = ParseJson(
            R"({"compressPath": "C:/cache/villa_abcdef.7z", "maxVersion": "3ds Max 27.0", "scenePath": "C:/s/villa.max"})");
        expected["filePath"] = rud::WideToUtf8(info.jsonDir);
        expected["PLUGIN_SAVE_SCENE_FILE"] = saved ? 1u : 0u;
        EXPECT_EQ(body, Styled(expected));
    }
}

TEST_F(TaskJsonTest, BlockAndDistributedRenderingByModeCode) {
    const struct { int code, count, blocking, blocks, distributed; } cases[] = {
        {1, 6, 0, 0, 0}, {10, 0, 1, 10, 0}, {64, 3, 1, 64, 0}, {1010, 6, 0, 0, 6}};
    for (const auto& c : cases) {
        scene.renderModeCode = c.code;
        scene.distributedCount = c.count;
        const Json::Value task = Write();
        EXPECT_TRUE(task["enable_blocking"] == c.blocking && task["num_blocks"] == c.blocks &&
                    task["distributed_render"] == c.distributed) << c.code << "\n" << fileBytes;
    }
}

TEST_F(TaskJsonTest, MissingOrMistypedMembers) {
    AddCamera(L"Hidden", false);
    EXPECT_FALSE(Write().isMember("cameras"));   // removed, nothing to put back

    scene.analysisText = L"{\"reference_file\": [{\"path\": \"C:/s/tower.max\"}]}";
    Json::Value task = Write();
    EXPECT_TRUE(task.isMember("cameras") && task["cameras"].isNull());
    EXPECT_TRUE(task.isMember("errors") && task["errors"].isNull());
    EXPECT_FALSE(task.isMember("reference_file"));
    EXPECT_EQ(ParseJson(body)["maxVersion"], "3ds Max ");   // no "app_version"

    // An analysis that is no object (the artist went on without cameras) is an empty one.
    for (const wchar_t* text : {L"null", L"[1, 2]", L"7"}) {
        scene.analysisText = text;
        task = Write();
        EXPECT_TRUE(task["name"] == "C:/s/villa.max" && task.isMember("max_options")) << fileBytes;
    }

    // Numbers are read as their text, as the analysis reader reads them; what names no path is "".
    scene.analysisText = LR"({"app_version": 2025, "reference_file": [{"path": 12}, 7, {"path": [1]}, {"path": "C:/t.jpg"}]})";
    task = Write();
    EXPECT_EQ(ParseJson(body)["maxVersion"], "3ds Max 2025");
    EXPECT_EQ(Styled(task["reference_file"]),
              Styled(R"([{"path": "12"}, {"path": ""}, {"path": ""}, {"path": "C:/t.jpg"}])"));
}

// Ambient occlusion and GI members appear with their channels; a smaller GI image lowers the
// irradiance-map rates by one step per halving.
TEST_F(TaskJsonTest, RenderElementOptions) {
    scene.aoChannel = true; scene.aoRadius = 250.5; scene.aoSubdivs = 8;
    scene.giChannel = true; scene.psdChannel = true; scene.gammaOut = 1.0f;
    scene.giIrradmapMinRate = -3; scene.giIrradmapMaxRate = 0; scene.giIrradmapPreset = 2;
    info.imageScaleIndex = 3; info.imageScaleText = "25%";
    EXPECT_EQ(Styled(Write()["max_options"]), Styled(R"({"color_channel": false, "ao_channel": true,
        "ao_radius": 250.5, "ao_subdivs": 8, "gamma_out": 1.0, "mtl_channel": false, "gi_irradmap_preset": 2,
        "gi_irradmap_minRate": -6, "gi_irradmap_maxRate": -3, "gi_image_scale": "25%", "gi_channel": "1",
        "psd_channel": "1"})"));
}

TEST_F(TaskJsonTest, CoronaLimitsAndEffectModeName) {
    scene.useCorona = true;
    scene.coronaLimits.coronaNoiseLevelLimit = 5;   // per cent
    scene.coronaLimits.coronaPassLimit = 300;
    scene.coronaLimits.coronaTimeLimitSeconds = 7200;
    scene.renderModeName = "dist";
    const Json::Value task = Write();
    EXPECT_EQ(Styled(task["corona_options"]), Styled(R"({"CoronaNoiseLevelLimit": 0.05, "CoronaPassLimit": 300,
        "CoronaTimeLimit": 7200, "useCorona": true})"));
    EXPECT_EQ(task["effect_render_mode"], "dist");
}

TEST_F(TaskJsonTest, WritesNonAsciiAsUtf8Bytes) {
    AddCamera(L"\x76f8\x673a", true);                           // 相机
    info.scenePath = "C:/\xe5\x9c\xba\xe6\x99\xaf/villa.max";   // 场景
    EXPECT_EQ(Write()["cameras"][0]["name"], "\xe7\x9b\xb8\xe6\x9c\xba");
    EXPECT_NE(body.find("\"C:/\xe5\x9c\xba\xe6\x99\xaf/villa.max\""), std::string::npos) << body;
    EXPECT_EQ(fileBytes.find("\\u"), std::string::npos) << fileBytes;
}

TEST_F(TaskJsonTest, FailuresWriteNothing) {
    // Nesting deeper than the JSON reader parses must fail like any other unreadable analysis.
    for (const std::wstring& analysis : {std::wstring(L"{ not json"),
                                         L"{\"cameras\":" + std::wstring(5000, L'[') + std::wstring(5000, L']') + L"}"}) {
        scene.analysisText = analysis;
        body = "untouched";
        EXPECT_FALSE(rud::WriteTaskJson(scene, log, saveScene, info, L"TASK-1", body));
        EXPECT_EQ(body, "untouched");
    }
    scene.analysisText = rud::Utf8ToWide(kAnalysis);
    info.jsonDir = folder / L"missing\\json";      // its parent does not exist: the open fails
    EXPECT_FALSE(rud::WriteTaskJson(scene, log, saveScene, info, L"TASK-1", body));
    EXPECT_EQ(info.jsonDir, folder / L"missing\\json");
}

} // namespace
