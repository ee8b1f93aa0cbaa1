#include "submit/TaskJson.h"

#include "analysis/AnalysisFields.h"
#include "core/DataFolders.h"
#include "core/TextConversions.h"
#include "submit/StyledJson.h"
#include "submit/WideTextFile.h"

#include <json/reader.h>
#include <json/value.h>
#include <windows.h>

#include <exception>

namespace rud {
namespace {

// A member read as text the way the analysis reader reads it: a number or boolean as its JSON
// text; absent, null, arrays and objects as "".
std::string StringMember(const Json::Value& object, const char* key) {
    std::string text;
    (void)AnalysisFields::ScalarText(AnalysisFields::Member(object, key), text);
    return text;
}

// Drops the member when it holds a value; an absent member is added as null, the way the
// farm's importer has always received it.
void DropUnlessNull(Json::Value& root, const char* key) {
    if (!root[key].isNull()) root.removeMember(key);
}

void RebuildReferenceFiles(Json::Value& root, const std::string& sceneFilePath) {
    const Json::Value references = root["reference_file"];
    Json::Value kept(Json::arrayValue);
    if (references.isArray()) {
        for (Json::ArrayIndex i = 0; i < references.size(); ++i) {
            std::string path = StringMember(references[i], "path");
            if (path == sceneFilePath) continue;  // the scene itself is not a reference
            Json::Value entry(Json::objectValue);
            entry["path"] = path;
            kept.append(entry);
        }
    }
    root.removeMember("reference_file");
    if (kept.size() >= 1) root["reference_file"] = kept;
}

void AddCameras(Json::Value& root, const SceneAnalysis& scene) {
    Json::Value cameras(Json::arrayValue);
    for (const auto& [name, camera] : scene.cameras) {
        if (!camera.renderable) continue;
        Json::Value item(Json::objectValue);
        item["name"] = WideToUtf8(name);
        item["camera_width"] = Json::Value(camera.width);
        item["camera_height"] = Json::Value(camera.height);
        item["frame_to_render"] = Json::Value(camera.startFrame);
        item["img_output_format"] = WideToUtf8(camera.imageFormat);
        item["img_output_name"] = WideToUtf8(camera.displayName);
        item["renderable"] = "1";
        item["is_spherical"] = camera.isPanorama;
        cameras.append(item);
    }
    if (cameras.size() >= 1) root["cameras"] = cameras;
}

void SetBlockRendering(Json::Value& root, const SceneAnalysis& scene) {
    int enableBlocking = 1, numBlocks = scene.renderModeCode, distributed = 0;
    if (scene.renderModeCode == 1) {
        enableBlocking = 0; numBlocks = 0;
    } else if (scene.renderModeCode == 1010) {
        enableBlocking = 0; numBlocks = 0; distributed = scene.distributedCount;
    }
    root["enable_blocking"] = Json::Value(enableBlocking);
    root["num_blocks"] = Json::Value(numBlocks);
    root["distributed_render"] = Json::Value(distributed);
}

Json::Value MaxOptions(const SceneAnalysis& scene, const ClientInfo& clientInfo) {
    Json::Value options(Json::objectValue);
    options["color_channel"] = scene.colorChannel;
    options["ao_channel"] = scene.aoChannel;
    if (scene.aoChannel) {
        options["ao_radius"] = Json::Value(scene.aoRadius);
        options["ao_subdivs"] = Json::Value(scene.aoSubdivs);
    }
    options["gamma_out"] = Json::Value(static_cast<double>(scene.gammaOut));
    options["mtl_channel"] = scene.mtlChannel;
    options["gi_irradmap_preset"] = Json::Value(scene.giIrradmapPreset);
    // A smaller GI image lowers the irradiance-map rates by one step per halving.
    int scaleSteps = scene.giChannel ? clientInfo.imageScaleIndex : 0;
    options["gi_irradmap_minRate"] = Json::Value(scene.giIrradmapMinRate - scaleSteps);
    options["gi_irradmap_maxRate"] = Json::Value(scene.giIrradmapMaxRate - scaleSteps);
    if (scene.giChannel) options["gi_image_scale"] = clientInfo.imageScaleText;
    options["gi_channel"] = scene.giChannel ? "1" : "0";
    options["psd_channel"] = scene.psdChannel ? "1" : "0";
    return options;
}

Json::Value CoronaOptions(const SceneAnalysis& scene) {
    Json::Value options(Json::objectValue);
    // The noise limit is kept as the percentage the artist typed.
    options["CoronaNoiseLevelLimit"] = Json::Value(scene.coronaLimits.coronaNoiseLevelLimit / 100.0);
    options["CoronaPassLimit"] = Json::Value(scene.coronaLimits.coronaPassLimit);
    options["CoronaTimeLimit"] = Json::Value(scene.coronaLimits.coronaTimeLimitSeconds);
    options["useCorona"] = scene.useCorona;
    return options;
}

// The analysis as the task's starting object. JSON that is not an object (a script that wrote
// "null") counts as an empty one, the way jsoncpp's operator[] turns null into an object: the
// artist was asked about the missing cameras and chose to go on. jsoncpp refuses nesting
// deeper than it parses by throwing; such text fails here instead of ending the worker.
[[nodiscard]] bool ParseAnalysisObject(const std::wstring& analysisText, Json::Value& root) {
    try {
        Json::Reader reader;
        if (!reader.parse(WideToUtf8(analysisText), root)) return false;
        if (!root.isObject()) root = Json::Value(Json::objectValue);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

bool WriteTaskJson(const SceneAnalysis& scene, LogChannel& log, bool sceneSaved, ClientInfo& clientInfo,
                   std::wstring taskId, std::string& requestBody) {
    auto fail = [&](const char* logText) {
        log.write(logText, "ERROR");
        return false;
    };

    Json::Value root;
    if (!ParseAnalysisObject(scene.analysisText, root))
        return fail("Parse failed in writing json file when submiting!");

    DropUnlessNull(root, "cameras");
    RebuildReferenceFiles(root, scene.sceneFilePath);
    DropUnlessNull(root, "errors");
    root.removeMember("name");
    root["name"] = clientInfo.scenePath;
    const std::string scenePath = clientInfo.scenePath;
    const std::string compressPath = clientInfo.compressPath;
    (void)root["start_frame"];
    (void)root["end_frame"];
    AddCameras(root, scene);
    SetBlockRendering(root, scene);
    root["max_options"] = MaxOptions(scene, clientInfo);
    if (scene.useCorona) root["corona_options"] = CoronaOptions(scene);
    root["effect_render_mode"] = scene.renderModeName.empty() ? std::string("base") : scene.renderModeName;

    if (!PathExists(clientInfo.jsonDir)) ::CreateDirectoryW(clientInfo.jsonDir.c_str(), nullptr);
    const std::wstring path = clientInfo.jsonDir + L"/" + taskId + L".json";
    // A task file cut short (a full disk) is no better than none: the client would read half a task.
    switch (WriteWideTextFile(path, StyledUtf8Text(root))) {
    case TextFileResult::kWritten: break;
    case TextFileResult::kOpenFailed: return fail("Open json file failed when write it!");
    case TextFileResult::kWriteFailed: return fail("Write json file failed, the task file is incomplete!");
    }

    Json::Value body(Json::objectValue);
    body["scenePath"] = scenePath;
    body["filePath"] = WideToUtf8(path);
    body["maxVersion"] = "3ds Max " + StringMember(root, "app_version");
    body["compressPath"] = compressPath;
    body["PLUGIN_SAVE_SCENE_FILE"] =
        Json::Value(Json::UInt(sceneSaved ? 1 : 0));
    clientInfo.jsonDir = path;
    requestBody = StyledUtf8Text(body);
    log.write("Write json file at: " + WideToAnsiChs(path) + " successfully.", "INFO");
    return true;
}

} // namespace rud
