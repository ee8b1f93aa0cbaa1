// Reading the analysis result into the store: cameras, render settings and the scene report.
// The analysis is untrusted text (see AnalysisFields.h for how odd members are read); nothing
// thrown while reading it leaves this file.
#include "analysis/AnalysisChecks.h"
#include "analysis/AnalysisFields.h"
#include "analysis/RUDRenderingDataMgr.h"
#include "analysis/SceneChecks.h"
#include "analysis/Utf8Codec.h"
#include "core/TextConversions.h"

#include <json/reader.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace rud {
namespace {

// How parsing the analysis went. A JSON object is an analysis; so is the text null, which names
// nothing and reads like an empty object (a script that found no scene data writes it).
struct ParseOutcome {
    bool analysis = false;
    bool threw = false;   // jsoncpp refuses too deep nesting by throwing; memory may run out
    std::string error;    // what() of that
};

ParseOutcome ParseAnalysis(const std::wstring& analysisText, Json::Value& root) {
    ParseOutcome outcome;
    try {
        const std::string utf8 = EncodeUtf8(analysisText);
        Json::Reader reader;
        outcome.analysis = reader.parse(utf8.data(), utf8.data() + utf8.size(), root, true) &&
                           (root.isObject() || root.isNull());
    } catch (const std::exception& error) {
        outcome.threw = true;
        outcome.error = error.what();
    }
    return outcome;
}

// A 64-bit hash of the text's code units; four independent lanes keep a text of tens of
// megabytes to a few milliseconds.
uint64_t TextHash(const std::wstring& text) {
    constexpr uint64_t kPrime = 0x100000001b3ULL;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size() * sizeof(wchar_t);
    uint64_t lanes[4] = {0xcbf29ce484222325ULL, 0x84222325cbf29ce4ULL, 0x9e3779b97f4a7c15ULL, 0xc2b2ae3d27d4eb4fULL};
    size_t at = 0;
    for (; at + sizeof(lanes) <= size; at += sizeof(lanes)) {
        for (int lane = 0; lane < 4; ++lane) {
            uint64_t word = 0;
            std::memcpy(&word, bytes + at + lane * sizeof(word), sizeof(word));
            lanes[lane] = (lanes[lane] ^ word) * kPrime;
        }
    }
    uint64_t hash = lanes[0];
    for (int lane = 1; lane < 4; ++lane) hash = (hash ^ lanes[lane]) * kPrime;
    for (; at < size; ++at) hash = (hash ^ bytes[at]) * kPrime;
    return hash;
}

// Keeps what the parsed text says about the scene's name, for ReadSceneName. Left unknown when
// anything goes wrong, which only costs ReadSceneName a parse of its own.
void RememberSceneName(SceneNameMemo& memo, const std::wstring& text, const ParseOutcome& outcome,
                       const Json::Value& root) {
    memo = SceneNameMemo();
    try {
        SceneNameMemo fresh;
        if (outcome.threw) {
            fresh.failure = "Parse failed in initing scene name! " + outcome.error;
        } else if (!outcome.analysis) {
            fresh.failure = "Parse failed in initing scene name!";
        } else {
            AnalysisFields fields;
            fresh.name = fields.Text(root, "name", "");
            fresh.notes = fields.TakeNoteLines();
        }
        fresh.textLength = text.size();
        fresh.textHash = TextHash(text);
        fresh.known = true;
        memo = std::move(fresh);
    } catch (const std::exception&) {
    }
}

bool MemoFits(const SceneNameMemo& memo, const std::wstring& text) {
    return memo.known && memo.textLength == text.size() && memo.textHash == TextHash(text);
}

// How a file entry without a usable "path" is passed over.
enum class PathlessEntry {
    kNoted,    // a path of no text type (null, array, object) is skipped and noted
    kSilent,   // only a string path counts; any other entry is skipped without a word
};

// `visit` gets each path decoded into one reused buffer, so clean entries cost no allocation
// of their own.
template <typename Visit>
void ForEachFilePath(const Json::Value& entries, const char* arrayName, PathlessEntry pathless,
                     AnalysisFields& fields, Visit visit) {
    std::wstring path;
    for (const Json::Value& entry : entries) {
        path.clear();
        const Json::Value& value = AnalysisFields::Member(entry, "path");
        const bool usable = (pathless == PathlessEntry::kNoted || value.isString()) &&
                            AnalysisFields::AppendWideText(value, path);
        if (!usable) {
            if (pathless == PathlessEntry::kNoted) fields.NoteSkippedEntry(arrayName, "path");
            continue;
        }
        visit(path);
    }
}

void ReadReferenceFiles(RUDRenderingDataMgr& store, const Json::Value& root, const ReportTexts& texts,
                        AnalysisFields& fields) {
    bool anyCyrillic = false;
    std::vector<std::wstring> illegalPaths;
    ForEachFilePath(fields.Array(root, "reference_file", ""), "reference_file", PathlessEntry::kNoted, fields,
                    [&](const std::wstring& path) {
        anyCyrillic = anyCyrillic || HasCyrillic(path);
        if (!IsAllowedReferenceName(path)) illegalPaths.push_back(path);
    });
    CheckReferenceNames(store, texts, anyCyrillic, illegalPaths);
}

void ReadFileGroup(RUDRenderingDataMgr& store, const Json::Value& entries, const char* arrayName,
                   PathlessEntry pathless, const std::wstring& header, const std::wstring& prefix,
                   AnalysisFields& fields) {
    if (entries.empty()) return;
    AppendFileGroupHeader(store, header);
    ForEachFilePath(entries, arrayName, pathless, fields,
                    [&](const std::wstring& path) { AppendFileLine(store, prefix, path); });
}

// A name given as a number or boolean is the camera's name as text; null, arrays and objects
// name nothing.
bool HasTextName(const Json::Value& entry) {
    std::string unused;
    return AnalysisFields::ScalarText(AnalysisFields::Member(entry, "name"), unused);
}

// The format name as the runtime's code page 936 conversion gives it; names of image formats
// are ASCII, which that conversion passes through unchanged, so they skip the locale switch.
std::wstring FormatText(const std::string& text) {
    for (char byte : text)
        if (static_cast<unsigned char>(byte) >= 0x80) return AnsiChsToWide(text);
    return std::wstring(text.begin(), text.end());
}

std::wstring UpperCase(std::wstring text) {
    if (!text.empty()) ::CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring TrimSpaces(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return std::wstring();
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

void ReadCoronaSettings(RUDRenderingDataMgr& store, const Json::Value& root, const ReportTexts& texts,
                        AnalysisFields& fields) {
    const Json::Value& corona = fields.Object(root, "corona_setting", "");
    if (!AnalysisFields::Has(corona, "pass_limit") || !AnalysisFields::Has(corona, "time_limit") ||
        !AnalysisFields::Has(corona, "noise_level_limit")) {
        store.coronaLimitState = 0;
        return;
    }
    const std::string pass = fields.Text(corona, "pass_limit", "corona_setting");
    const std::string time = fields.Text(corona, "time_limit", "corona_setting");
    const std::string noise = fields.Text(corona, "noise_level_limit", "corona_setting");
    CoronaLimits& limits = store.coronaLimits;
    limits.coronaPassLimit = fields.TextToInt(pass, "pass_limit", "corona_setting");
    limits.coronaTimeLimitSeconds = fields.TextToInt(time, "time_limit", "corona_setting") / 1000;
    limits.coronaTimeLimitHours = limits.coronaTimeLimitSeconds / 60.0 / 60.0;
    limits.coronaNoiseLevelLimit = fields.TextToReal(noise, "noise_level_limit", "corona_setting");
    CheckCoronaLimitTexts(store, texts, pass, time, noise);
}

// The V-Ray settings; returns the panorama flag every camera gets.
bool ReadVraySettings(RUDRenderingDataMgr& store, const Json::Value& root, const ReportTexts& texts,
                      AnalysisFields& fields) {
    const Json::Value& vray = fields.Object(root, "vray_setting", "");
    if (vray.isNull()) return false;
    const char* where = "vray_setting";
    auto integer = [&](const char* name) { return fields.TextToInt(fields.Text(vray, name, where), name, where); };
    store.imageSamplerType = integer("imagesampler_type");
    if (AnalysisFields::Has(vray, "imagesampler_type")) CheckImageSampler(store, texts, store.imageSamplerType);
    store.giIrradmapPreset = integer("gi_irradmap_preset");
    store.giIrradmapMinRate = integer("gi_irradmap_minRate");
    store.giIrradmapMaxRate = integer("gi_irradmap_maxRate");
    const bool overrideFov = fields.Bool(vray, "camera_override_fov", where);
    const double fov = AnalysisFields::Has(vray, "camera_fov")
                           ? fields.TextToReal(fields.Text(vray, "camera_fov", where), "camera_fov", where)
                           : 360.0;
    const bool spherical = fields.Text(vray, "is_spherical", where) == "true";
    return overrideFov && spherical && fov == 360.0;
}

void ReadCameras(RUDRenderingDataMgr& store, const Json::Value& cameraEntries, const CameraInfo& shared,
                 AnalysisFields& fields) {
    store.cameras.clear();
    for (const Json::Value& entry : cameraEntries) {
        if (!HasTextName(entry)) {
            fields.NoteSkippedEntry("cameras", "name");
            continue;
        }
        // Names are kept whole rather than cut at 259 characters: a cut key would no longer name
        // the scene's camera.
        std::wstring key = fields.WideText(entry, "name", "cameras");
        if (key.empty()) {   // no camera of the scene goes by no name; the table keys rows by it
            fields.NoteSkippedEntry("cameras", "name");
            continue;
        }
        CameraInfo camera = shared;
        camera.displayName = key;
        if (HasCameraNameCharacter(key)) {
            store.dataLog.write("The original camera name contain invalid characters!", "WARN");
            camera.displayName = CameraDisplayName(key);
        }
        const int32_t width = fields.TextToInt(fields.Text(entry, "camWidth", "cameras"), "camWidth", "cameras");
        const int32_t height = fields.TextToInt(fields.Text(entry, "camHeight", "cameras"), "camHeight", "cameras");
        if (width != 0) camera.width = width;
        if (height != 0) camera.height = height;
        store.cameras.insert_or_assign(std::move(key), std::move(camera));
    }
}

void ReadErrors(RUDRenderingDataMgr& store, const Json::Value& root, const ReportTexts& texts, AnalysisFields& fields) {
    if (!AnalysisFields::Has(root, "errors")) {
        store.dataLog.write("No errors!", "INFO");
        return;
    }
    const Json::Value& errors = fields.Object(root, "errors", "");
    if (errors.empty()) return;
    for (const Json::Value& entry : fields.Array(errors, "error_code", "errors")) {
        if (!entry.isObject()) {
            fields.NoteSkippedEntry("error_code", "code");
            continue;
        }
        CheckErrorCode(store, texts, fields.TextToInt(fields.Text(entry, "code", "error_code"), "code", "error_code"));
    }
}

// The names of "dupl_cameras" joined with ","; false when no entry names a camera.
bool ReadDuplicateCameraNames(const Json::Value& root, AnalysisFields& fields, std::wstring& names) {
    bool any = false;
    for (const Json::Value& entry : fields.Array(root, "dupl_cameras", "")) {
        if (!HasTextName(entry)) {
            fields.NoteSkippedEntry("dupl_cameras", "name");
            continue;
        }
        if (any) names += L",";
        any = true;
        names += TrimSpaces(fields.WideText(entry, "name", "dupl_cameras"));
    }
    return any;
}

int32_t ApplyAnalysis(RUDRenderingDataMgr& store, const Json::Value& root, AnalysisFields& fields) {
    store.errorLines.clear();
    store.duplicateCameraNames.clear();
    store.warningLines.clear();
    const Json::Value& missingFiles = fields.Array(root, "missing_file", "");
    const Json::Value& sameFiles = fields.Array(root, "same_file", "");
    store.errorLines.reserve(missingFiles.size() + sameFiles.size() + 2);

    const ReportTexts texts = ReportTexts::Load();

    store.rendererName.clear();
    if (AnalysisFields::Has(root, "renderer_full_name")) {
        store.rendererName = fields.Text(root, "renderer_full_name", "");
        CheckMissingRenderer(store, texts, store.rendererName);
    }

    ReadCoronaSettings(store, root, texts, fields);

    if (!AnalysisFields::Has(root, "is_region")) fields.NoteMissing("is_region", "");
    store.isRegionText = fields.Text(root, "is_region", "");
    CheckRegion(store, texts);

    ReadReferenceFiles(store, root, texts, fields);

    ReadFileGroup(store, missingFiles, "missing_file", PathlessEntry::kNoted, texts.missingHeader,
                  texts.missingPrefix, fields);
    // Entries of files of the same name without a string path are the script's way of saying
    // nothing about them: they add no line.
    ReadFileGroup(store, sameFiles, "same_file", PathlessEntry::kSilent, texts.sameHeader, texts.samePrefix,
                  fields);

    // Cameras without a text name cannot be keyed; an analysis with no other camera has none.
    const Json::Value& cameraEntries = fields.Array(root, "cameras", "");
    bool anyCamera = false;
    for (const Json::Value& entry : cameraEntries) {
        if (HasTextName(entry)) {
            anyCamera = true;
            break;
        }
    }
    if (!anyCamera) {
        store.dataLog.write("No cameras!", "ERROR");
        return kAnalysisNoCameras;
    }

    for (const char* required : {"image_width", "image_height", "start_frame"})
        if (!AnalysisFields::Has(root, required)) fields.NoteMissing(required, "");
    CameraInfo shared;
    shared.width = fields.TextToInt(fields.Text(root, "image_width", ""), "image_width", "");
    shared.height = fields.TextToInt(fields.Text(root, "image_height", ""), "image_height", "");
    shared.startFrame = fields.TextToInt(fields.Text(root, "start_frame", ""), "start_frame", "");
    shared.imageFormat = UpperCase(FormatText(fields.Text(root, "image_format", "")));
    CheckImageFormat(store, texts, shared.imageFormat);

    shared.isPanorama = ReadVraySettings(store, root, texts, fields);
    shared.renderable = false;
    ReadCameras(store, cameraEntries, shared, fields);

    if (AnalysisFields::Has(root, "gamma_out")) {
        const double gamma = fields.TextToReal(fields.Text(root, "gamma_out", ""), "gamma_out", "", store.gammaOut);
        // A gamma beyond float range would turn into infinity in the task file.
        if (std::isfinite(static_cast<float>(gamma))) store.gammaOut = static_cast<float>(gamma);
    }

    ReadErrors(store, root, texts, fields);

    if (ReadDuplicateCameraNames(root, fields, store.duplicateCameraNames)) return kAnalysisDuplicateCameras;
    return kAnalysisRead;
}

} // namespace

int32_t RUDRenderingDataMgr::ReadAnalysis() {
    try {
        Json::Value root;
        const ParseOutcome outcome = ParseAnalysis(analysisText, root);
        RememberSceneName(sceneNameMemo, analysisText, outcome, root);
        if (outcome.threw) {
            dataLog.write("The analysis result could not be read: " + outcome.error, "ERROR");
            return kAnalysisUnreadable;
        }
        if (!outcome.analysis) {
            // Nothing of the store changes; the main dialog tells the artist the analysis failed.
            dataLog.write("The analysis result is not a readable JSON object!", "ERROR");
            return kAnalysisUnreadable;
        }
        AnalysisFields fields;
        const int32_t result = ApplyAnalysis(*this, root, fields);
        const std::string version = fields.Text(root, "version", "");
        fields.WriteNotes(dataLog);
        if (result == kAnalysisRead)
            dataLog.write("Get analysis information successfully. Current 3ds Max version is :" + version, "INFO");
        return result;
    } catch (const std::exception& error) {
        // Memory may run out on absurd input.
        dataLog.write(std::string("The analysis result could not be read: ") + error.what(), "ERROR");
        return kAnalysisUnreadable;
    }
}

std::string RUDRenderingDataMgr::ReadSceneName(std::string& name) {
    name.clear();
    try {
        // Right after ReadAnalysis of the same text this needs no parse of its own.
        if (!MemoFits(sceneNameMemo, analysisText)) {
            Json::Value root;
            const ParseOutcome outcome = ParseAnalysis(analysisText, root);
            RememberSceneName(sceneNameMemo, analysisText, outcome, root);
            if (!sceneNameMemo.known) throw std::runtime_error(outcome.threw ? outcome.error : "out of memory");
        }
        const SceneNameMemo& memo = sceneNameMemo;
        if (!memo.failure.empty()) {
            dataLog.write(memo.failure, "WARN");
            return std::string();
        }
        for (const std::string& note : memo.notes) dataLog.write(note, "WARN");
        const std::string& path = memo.name;
        size_t separator = path.rfind('/');
        if (separator == std::string::npos) separator = path.rfind('\\');
        if (path.empty() || separator == std::string::npos) {
            dataLog.write("The scene name is empty!", "WARN");
            return std::string();
        }
        sceneFileName = path.substr(separator + 1);
        sceneFilePath = path;
        name = sceneFileName;
        return sceneFileName;
    } catch (const std::exception& error) {
        dataLog.write(std::string("Parse failed in initing scene name! ") + error.what(), "WARN");
        return std::string();
    }
}

} // namespace rud
