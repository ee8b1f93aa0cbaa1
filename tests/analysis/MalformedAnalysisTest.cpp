// Analyses no well-behaved script writes: every member in every wrong JSON type, broken text,
// absurd numbers. The reader must come back with a result, say what it skipped, and leave a
// store the dialogs can show.
#include "analysis/AnalysisFields.h"
#include "resources/StringIds.h"
#include "tests/analysis/AnalysisTestSupport.h"

#include <json/json.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <sstream>

namespace {

using rudtest::LogTail;

const char* const kBase = R"({"name": "C:\\Scenes\\Base.max", "version": "27000", "renderer_full_name": "V-Ray 6",
  "is_region": "false", "image_width": "1920", "image_height": "1080", "start_frame": "1", "image_format": "png",
  "gamma_out": "2.2", "corona_setting": {"pass_limit": "10", "time_limit": "60000", "noise_level_limit": "3"},
  "vray_setting": {"imagesampler_type": "1", "gi_irradmap_preset": "1", "gi_irradmap_minRate": "-3",
    "gi_irradmap_maxRate": "0", "camera_override_fov": true, "camera_fov": "360", "is_spherical": "true"},
  "missing_file": [{"path": "C:/m.png"}], "same_file": [{"path": "C:/s.png"}], "reference_file": [{"path": "C:/r.png"}],
  "errors": {"error_code": [{"code": "107"}]}, "dupl_cameras": [{"name": "cam1"}],
  "cameras": [{"name": "cam1", "camWidth": "640", "camHeight": "480"}, {"name": "cam2"}]})";

// Each JSON kind as a letter and a sample value.
const std::pair<char, const char*> kKinds[] = {{'n', "null"}, {'b', "true"},  {'i', "42"},        {'r', "1e300"},
                                               {'s', "\"x\""}, {'a', "[1,\"a\"]"}, {'o', "{\"k\":\"v\"}"}};

// Every member the reader looks at, grouped by the kinds it reads without a note (null never gets one).
// Text members take numbers and booleans as their JSON text.
const std::pair<const char*, const char*> kMembers[] = {
    {"sbir", "name version renderer_full_name is_region image_width image_height start_frame image_format gamma_out "
             "corona_setting/pass_limit corona_setting/time_limit corona_setting/noise_level_limit "
             "vray_setting/imagesampler_type vray_setting/gi_irradmap_preset vray_setting/gi_irradmap_minRate "
             "vray_setting/gi_irradmap_maxRate vray_setting/camera_fov vray_setting/is_spherical "
             "errors/error_code/0/code cameras/0/name cameras/0/camWidth cameras/0/camHeight missing_file/0/path "
             "reference_file/0/path dupl_cameras/0/name"},
    {"a", "missing_file same_file reference_file cameras dupl_cameras errors/error_code"},
    {"o", "corona_setting vray_setting errors errors/error_code/0"},
    {"bir", "vray_setting/camera_override_fov"},
    {"", "cameras/0 missing_file/0 reference_file/0 dupl_cameras/0"},
    // A file of the same name without a string path is passed over without a word.
    {"birsao", "same_file/0 same_file/0/path"},
};

Json::Value Parse(const std::string& text) {
    Json::Value value;
    EXPECT_TRUE(Json::Reader().parse(text, value)) << text;
    return value;
}

// The value at a path like "errors/error_code/0/code".
Json::Value& At(Json::Value& root, const std::string& path) {
    Json::Value* at = &root;
    std::istringstream steps(path);
    for (std::string step; std::getline(steps, step, '/');)
        at = std::isdigit(static_cast<unsigned char>(step[0])) ? &(*at)[static_cast<Json::ArrayIndex>(std::stoul(step))]
                                                                : &(*at)[step];
    return *at;
}

using MalformedAnalysisTest = rudtest::StoreTest;

TEST_F(MalformedAnalysisTest, EveryMemberInEveryJsonType) {
    LogTail clean(store->dataLog);
    EXPECT_EQ(rud::kAnalysisDuplicateCameras, Read(kBase));
    EXPECT_EQ(0u, clean.Count("[WARN] The member"));
    const Json::Value base = Parse(kBase);
    for (const auto& [accepted, paths] : kMembers) {
        std::istringstream list(paths);
        for (std::string path; list >> path;) {
            for (const auto& [kind, sample] : kKinds) {
                SCOPED_TRACE(path + " as " + sample);
                Json::Value document = base;
                At(document, path) = Parse(sample);
                LogTail log(store->dataLog);
                const int32_t result = Read(Json::writeString(Json::StreamWriterBuilder(), document));
                EXPECT_TRUE(result == rud::kAnalysisRead || result == rud::kAnalysisNoCameras ||
                            result == rud::kAnalysisDuplicateCameras) << result;
                EXPECT_TRUE(kind == 'n' || std::strchr(accepted, kind) || log.Count("[WARN]") > 0);
                EXPECT_TRUE(result == rud::kAnalysisNoCameras || !store->cameras.empty());
            }
        }
    }
}

// Numbers and booleans where text belongs read as the text jsoncpp's asString gives them (reals
// in their shortest exact form), so they count as the script meant them; null stays absent.
TEST_F(MalformedAnalysisTest, NumbersAndBooleansReadAsTheirJsonText) {
    const std::pair<Json::Value, const char*> texts[] = {
        {Json::Value(0), "0"}, {Json::Value(-17), "-17"}, {Json::Value(Json::UInt64(18446744073709551615ull)), "18446744073709551615"},
        {Json::Value(2.2), "2.2"}, {Json::Value(0.1), "0.1"}, {Json::Value(3.0), "3.0"}, {Json::Value(0.0), "0.0"},
        {Json::Value(1e300), "1e+300"}, {Json::Value(1.0 / 3), "0.3333333333333333"}, {Json::Value(true), "true"},
        {Json::Value(false), "false"}, {Json::Value("x"), "x"},
    };
    for (const auto& [value, text] : texts) {
        std::string read = "stale";
        EXPECT_TRUE(rud::AnalysisFields::ScalarText(value, read));
        EXPECT_EQ(text, read);
    }
    std::string unused;
    for (const Json::Value& none : {Json::Value(), Json::Value(Json::arrayValue), Json::Value(Json::objectValue)})
        EXPECT_FALSE(rud::AnalysisFields::ScalarText(none, unused));

    struct Case { const char* members; int32_t coronaState; bool unlimitedError, regionWarning; } cases[] = {
        {R"("corona_setting":{"pass_limit":0,"time_limit":0,"noise_level_limit":0})", 1, true, false},
        {R"("corona_setting":{"pass_limit":0,"time_limit":"0","noise_level_limit":0.0})", 3, false, false},
        {R"("corona_setting":{"pass_limit":null,"time_limit":0,"noise_level_limit":0})", 0, false, false},
        {R"("is_region":true)", 0, false, true},
        {R"("is_region":"false")", 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.members);
        LogTail log(store->dataLog);
        ASSERT_EQ(rud::kAnalysisRead,
                  Read(std::string("{") + c.members + R"(,"gamma_out":2.2,"image_width":1920,"start_frame":-1,)"
                       R"("errors":{"error_code":[{"code":107}]},"cameras":[{"name":42,"camHeight":600}]})"));
        EXPECT_EQ(c.coronaState, store->coronaLimitState);
        EXPECT_EQ(c.unlimitedError, log.Has("ERROR", "The progressive pass, time and noise level are not limited"));
        EXPECT_EQ(c.regionWarning, store->isRegionText == "true");
        EXPECT_EQ(0u, log.Count("[WARN] The member"));
        const rud::CameraInfo& camera = store->cameras[L"42"];
        EXPECT_EQ((std::vector<int>{1920, 600, -1}), (std::vector<int>{camera.width, camera.height, camera.startFrame}));
        EXPECT_FLOAT_EQ(2.2f, store->gammaOut);
        EXPECT_EQ(rud::ResourceText(IDS_ERROR_CODE_107), store->warningLines.back());
    }
}

TEST_F(MalformedAnalysisTest, BrokenTextChangesNothingAndSaysSo) {
    ASSERT_EQ(rud::kAnalysisRead, Read(R"({"is_region":"true","cameras":[{"name":"a"}]})"));
    const auto warnings = store->warningLines;
    const std::string base = kBase, deepArrays(100000, '[');
    std::string deepObjects;
    for (int i = 0; i < 50000; ++i) deepObjects += "{\"a\":";
    // Deeper nesting than the fuzzer makes, and the plain cases, for the log line it does not judge.
    for (const std::string& text : {std::string(), std::string("[1,2]"), base.substr(0, base.size() / 2),
                                    deepArrays + std::string(100000, ']'), deepObjects, R"({"cameras":)" + deepArrays}) {
        SCOPED_TRACE(text.substr(0, 40) + " (" + std::to_string(text.size()) + " bytes)");
        LogTail log(store->dataLog);
        EXPECT_EQ(rud::kAnalysisUnreadable, Read(text));
        EXPECT_TRUE(log.Has("ERROR", "The analysis result"));
        EXPECT_EQ(1u, store->cameras.count(L"a"));
        EXPECT_EQ(warnings, store->warningLines);
    }
}

TEST_F(MalformedAnalysisTest, HugeNumbersClampInsteadOfOverflowing) {
    const float gamma = store->gammaOut;
    ASSERT_EQ(rud::kAnalysisRead, Read(R"({"image_height":"-99999999999","start_frame":"2147483648",)"
                                       R"("gamma_out":"1e999","cameras":[{"name":"c","camWidth":"123456789012"}]})"));
    const rud::CameraInfo& c = store->cameras[L"c"];
    EXPECT_EQ((std::vector<int>{INT_MAX, INT_MIN, INT_MAX}), (std::vector<int>{c.width, c.height, c.startFrame}));
    EXPECT_EQ(gamma, store->gammaOut);  // not finite, so ignored
}

} // namespace
