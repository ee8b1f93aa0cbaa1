// Analyses no well-behaved script writes: every member in every wrong JSON type, broken text,
// absurd numbers. The reader must come back with a result, say what it skipped, and leave a
// store the dialogs can show.
#include "analysis/RUDRenderingDataMgr.h"
#include "core/TextConversions.h"
#include "tests/analysis/AnalysisTestSupport.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <climits>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace {

using rudtest::LogTail;
using Step = std::variant<const char*, int>;

const char* const kBase = R"({
  "name": "C:\\Scenes\\Base.max", "version": "27000", "app_version": "2025",
  "renderer_full_name": "V-Ray 6", "is_region": "false", "image_width": "1920", "image_height": "1080",
  "start_frame": "1", "end_frame": "10", "image_format": "png", "gamma_out": "2.2",
  "corona_setting": {"pass_limit": "10", "time_limit": "60000", "noise_level_limit": "3"},
  "vray_setting": {"imagesampler_type": "1", "gi_irradmap_preset": "1", "gi_irradmap_minRate": "-3",
                   "gi_irradmap_maxRate": "0", "camera_override_fov": true, "camera_fov": "360",
                   "is_spherical": "true"},
  "missing_file": [{"path": "C:/m.png"}], "same_file": [{"path": "C:/s.png"}],
  "reference_file": [{"path": "C:/r.png"}],
  "errors": {"error_code": [{"code": "107"}]},
  "dupl_cameras": [{"name": "cam1"}],
  "cameras": [{"name": "cam1", "camWidth": "640", "camHeight": "480"}, {"name": "cam2"}]
})";

enum Kind { kNull, kBool, kInt, kReal, kString, kArray, kObject };
const char* const kKindNames[] = {"null", "bool", "int", "double", "string", "array", "object"};

Json::Value Make(Kind kind) {
    switch (kind) {
    case kNull: return Json::Value();
    case kBool: return Json::Value(true);
    case kInt: return Json::Value(42);
    case kReal: return Json::Value(1e300);
    case kString: return Json::Value("x");
    case kArray: {
        Json::Value array(Json::arrayValue);
        array.append(1);
        array.append("a");
        return array;
    }
    case kObject: {
        Json::Value object(Json::objectValue);
        object["k"] = "v";
        return object;
    }
    }
    return Json::Value();
}

struct Member {
    std::vector<Step> path;
    std::set<Kind> accepted;  // kinds read without a note; null never gets one
};

const std::set<Kind> kText = {kString};
const std::set<Kind> kArrayOnly = {kArray};
const std::set<Kind> kObjectOnly = {kObject};

const std::vector<Member>& Members() {
    static const std::vector<Member> members = {
        {{"name"}, kText}, {{"version"}, kText}, {{"renderer_full_name"}, kText}, {{"is_region"}, kText},
        {{"image_width"}, kText}, {{"image_height"}, kText}, {{"start_frame"}, kText},
        {{"image_format"}, kText}, {{"gamma_out"}, kText},
        {{"missing_file"}, kArrayOnly}, {{"same_file"}, kArrayOnly}, {{"reference_file"}, kArrayOnly},
        {{"cameras"}, kArrayOnly}, {{"dupl_cameras"}, kArrayOnly},
        {{"corona_setting"}, kObjectOnly}, {{"vray_setting"}, kObjectOnly}, {{"errors"}, kObjectOnly},
        {{"corona_setting", "pass_limit"}, kText}, {{"corona_setting", "time_limit"}, kText},
        {{"corona_setting", "noise_level_limit"}, kText},
        {{"vray_setting", "imagesampler_type"}, kText}, {{"vray_setting", "gi_irradmap_preset"}, kText},
        {{"vray_setting", "gi_irradmap_minRate"}, kText}, {{"vray_setting", "gi_irradmap_maxRate"}, kText},
        {{"vray_setting", "camera_override_fov"}, {kBool, kInt, kReal}},
        {{"vray_setting", "camera_fov"}, kText}, {{"vray_setting", "is_spherical"}, kText},
        {{"errors", "error_code"}, kArrayOnly}, {{"errors", "error_code", 0}, kObjectOnly},
        {{"errors", "error_code", 0, "code"}, kText},
        {{"cameras", 0}, {}}, {{"cameras", 0, "name"}, kText}, {{"cameras", 0, "camWidth"}, kText},
        {{"cameras", 0, "camHeight"}, kText},
        {{"missing_file", 0}, {}}, {{"missing_file", 0, "path"}, kText},
        {{"same_file", 0}, {}}, {{"same_file", 0, "path"}, kText},
        {{"reference_file", 0}, {}}, {{"reference_file", 0, "path"}, kText},
        {{"dupl_cameras", 0}, {}}, {{"dupl_cameras", 0, "name"}, kText},
    };
    return members;
}

Json::Value& At(Json::Value& root, const std::vector<Step>& path) {
    Json::Value* at = &root;
    for (const Step& step : path) {
        if (std::holds_alternative<int>(step))
            at = &(*at)[static_cast<Json::ArrayIndex>(std::get<int>(step))];
        else
            at = &(*at)[std::get<const char*>(step)];
    }
    return *at;
}

std::string PathText(const std::vector<Step>& path) {
    std::string text;
    for (const Step& step : path)
        text += std::holds_alternative<int>(step) ? "[" + std::to_string(std::get<int>(step)) + "]"
                                                  : std::string("/") + std::get<const char*>(step);
    return text;
}

class MalformedAnalysisTest : public ::testing::Test {
protected:
    void SetUp() override { store = rudtest::MakeStore(); }

    int32_t ReadWide(const std::wstring& text) {
        store->SetAnalysisText(text);
        int32_t result = -1;
        EXPECT_NO_THROW(result = store->ReadAnalysis());
        std::string name;
        EXPECT_NO_THROW((void)store->ReadSceneName(name));
        return result;
    }
    int32_t Read(const std::string& utf8) { return ReadWide(rud::Utf8ToWide(utf8)); }

    std::unique_ptr<rud::RUDRenderingDataMgr> store;
};

TEST_F(MalformedAnalysisTest, TheBaseAnalysisIsClean) {
    LogTail log(store->dataLog);
    EXPECT_EQ(rud::kAnalysisDuplicateCameras, Read(kBase));
    EXPECT_EQ(0u, log.Count("[WARN] The member"));
    EXPECT_EQ(0u, log.Count("was skipped"));
}

TEST_F(MalformedAnalysisTest, EveryMemberInEveryJsonType) {
    Json::Value base;
    ASSERT_TRUE(Json::Reader().parse(kBase, base));
    Json::StreamWriterBuilder writer;
    for (const Member& member : Members()) {
        for (Kind kind : {kNull, kBool, kInt, kReal, kString, kArray, kObject}) {
            SCOPED_TRACE(PathText(member.path) + " as " + kKindNames[kind]);
            Json::Value document = base;
            At(document, member.path) = Make(kind);
            LogTail log(store->dataLog);
            const int32_t result = Read(Json::writeString(writer, document));
            EXPECT_TRUE(result == rud::kAnalysisRead || result == rud::kAnalysisNoCameras ||
                        result == rud::kAnalysisDuplicateCameras)
                << result;
            if (kind != kNull && !member.accepted.count(kind)) {
                EXPECT_NE(0u, log.Count("[WARN]"));
            }
            if (result != rud::kAnalysisNoCameras) {
                EXPECT_FALSE(store->cameras.empty());
                EXPECT_EQ(0u, store->cameras.count(L"")) << "a camera without a name was keyed";
            }
        }
    }
}

TEST_F(MalformedAnalysisTest, BrokenTextIsReportedAsUnreadable) {
    const std::string base = kBase;
    std::string deepArrays(100000, '[');
    std::string deepObjects;
    for (int i = 0; i < 50000; ++i) deepObjects += "{\"a\":";
    const std::vector<std::string> texts = {
        "", "\n", base.substr(0, base.size() / 2), base.substr(0, base.size() - 1),
        deepArrays, deepArrays + std::string(100000, ']'), deepObjects,
        R"({"cameras":)" + deepArrays,
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.substr(0, 40) + " (" + std::to_string(text.size()) + " bytes)");
        LogTail log(store->dataLog);
        EXPECT_EQ(rud::kAnalysisUnreadable, Read(text));
        EXPECT_NE(0u, log.Count("[ERROR]"));
    }
}

TEST_F(MalformedAnalysisTest, InvalidUtf16AndUtf8ReadWithoutHarm) {
    // Lone surrogates cannot become UTF-8; the bytes that replace them are read like any name.
    std::wstring text = LR"({"is_region":"false","image_width":"1","image_height":"1","start_frame":"1",)"
                        LR"("cameras":[{"name":"a)";
    text += wchar_t(0xD800);
    text += LR"(b"},{"name":")";
    text += wchar_t(0xDC00);
    text += LR"("}],"reference_file":[{"path":"C:/)";
    text += wchar_t(0xDBFF);
    text += LR"(.png"}]})";
    const int32_t result = ReadWide(text);
    EXPECT_EQ(rud::kAnalysisRead, result);
    EXPECT_EQ(2u, store->cameras.size());

    // Invalid UTF-8 inside a JSON string, as a script could write it.
    std::string bytes = std::string(R"({"is_region":"false","cameras":[{"name":"c)") + "\xC3\x28\xFF" + R"("}]})";
    EXPECT_EQ(rud::kAnalysisRead, Read(bytes));
    EXPECT_EQ(1u, store->cameras.size());
}

TEST_F(MalformedAnalysisTest, HugeNumbersClampInsteadOfOverflowing) {
    const float gamma = store->gammaOut;
    LogTail log(store->dataLog);
    ASSERT_EQ(rud::kAnalysisRead,
              Read(R"({"is_region":"false","image_width":"99999999999999999999","image_height":"-99999999999",)"
                   R"("start_frame":"2147483648","gamma_out":"1e999",)"
                   R"("corona_setting":{"pass_limit":"1e400","time_limit":"-99999999999999","noise_level_limit":"nan"},)"
                   R"("cameras":[{"name":"c","camWidth":"123456789012"}]})"));
    const rud::CameraInfo& camera = store->cameras[L"c"];
    EXPECT_EQ(INT_MAX, camera.width);
    EXPECT_EQ(INT_MIN, camera.height);
    EXPECT_EQ(INT_MAX, camera.startFrame);
    EXPECT_EQ(gamma, store->gammaOut);
    EXPECT_EQ(1, store->coronaLimits.coronaPassLimit);  // atoi reads the leading digits of "1e400"
    EXPECT_EQ(INT_MIN / 1000, store->coronaLimits.coronaTimeLimitSeconds);
    EXPECT_EQ(0.0, store->coronaLimits.coronaNoiseLevelLimit);
    EXPECT_NE(0u, log.Count("out of range; clamped"));
    EXPECT_NE(0u, log.Count("is not finite; ignored"));
}

} // namespace
