#include "analysis/SceneChecks.h"
#include "resources/StringIds.h"
#include "tests/analysis/AnalysisTestSupport.h"

#include <algorithm>
#include <cwchar>

namespace {

using rudtest::LogTail;
using Lines = std::vector<std::wstring>;
using AnalysisReaderTest = rudtest::StoreTest;

const char* const kSuccessLine = "Get analysis information successfully. Current 3ds Max version is :";

Lines Texts(std::initializer_list<int> ids) {
    Lines lines;
    for (int id : ids) lines.push_back(rud::ResourceText(id));
    return lines;
}

// A minimal analysis with one camera; tests add or replace members.
std::string Analysis(const std::string& extraMembers, const std::string& cameras = R"([{"name":"cam1"}])") {
    return R"({"name":"C:/Scenes/a.max","version":"27000","is_region":"false","image_width":"1920",)"
           R"("image_height":"1080","start_frame":"5","image_format":"png",)" +
           (extraMembers.empty() ? std::string() : extraMembers + ",") + "\"cameras\":" + cameras + "}";
}

TEST_F(AnalysisReaderTest, NoUsableCamerasKeepsThePreviousCameras) {
    for (const std::string& text : {Analysis("", "[]"), Analysis("", "null"), Analysis("", R"([1,null,{"name":[4]}])"),
                                    std::string(R"({"name":"C:/a.max","is_region":"false"})")}) {
        SCOPED_TRACE(text);
        store->cameras[L"old"].width = 7;
        LogTail log(store->dataLog);
        EXPECT_EQ(rud::kAnalysisNoCameras, Read(text));
        EXPECT_EQ(7, store->cameras[L"old"].width);
        EXPECT_TRUE(log.Has("ERROR", "No cameras!"));
    }
}

// The text null is an analysis that names nothing: the report is emptied and the dialog is told
// there are no cameras, as for an empty object.
TEST_F(AnalysisReaderTest, NullTextTakesTheNoCamerasPath) {
    for (const char* text : {"null", " null\n", "{}"}) {
        SCOPED_TRACE(text);
        store->cameras[L"old"].width = 7;
        store->errorLines = {L"e"};
        store->warningLines = {L"w"};
        store->duplicateCameraNames = L"d";
        store->coronaLimitState = 2;
        store->isRegionText = "true";
        LogTail log(store->dataLog);
        EXPECT_EQ(rud::kAnalysisNoCameras, Read(text));
        EXPECT_TRUE(store->errorLines.empty() && store->warningLines.empty() && store->duplicateCameraNames.empty());
        EXPECT_EQ(0, store->coronaLimitState);
        EXPECT_EQ("", store->isRegionText);
        EXPECT_EQ(7, store->cameras[L"old"].width);
        EXPECT_TRUE(log.Has("ERROR", "No cameras!"));
        EXPECT_FALSE(log.Has("ERROR", "The analysis result"));
    }
}

TEST_F(AnalysisReaderTest, CamerasTakeTheSharedSettingsAndTheirOwnSize) {
    store->cameras[L"stale"] = rud::CameraInfo{};
    LogTail log(store->dataLog);
    ASSERT_EQ(rud::kAnalysisRead, Read(Analysis("", R"([{"name":"a","camWidth":"0","camHeight":"600"},)"
                                                    R"({"name":"b","camWidth":"800"},)"
                                                    R"({"name":"a","camWidth":"640","camHeight":"0"}])")));
    // The later object of a repeated name wins, whole; a size of 0 falls back to the scene's.
    ASSERT_EQ(2u, store->cameras.size());
    const rud::CameraInfo &a = store->cameras[L"a"], &b = store->cameras[L"b"];
    EXPECT_EQ((std::vector<int>{640, 1080, 800, 1080, 5}),
              (std::vector<int>{a.width, a.height, b.width, b.height, b.startFrame}));
    EXPECT_TRUE(log.Has("INFO", std::string(kSuccessLine) + "27000"));
    EXPECT_TRUE(log.Has("INFO", "No errors!"));
    ASSERT_EQ(rud::kAnalysisRead, Read(Analysis("", R"([{"name":"a|b%"},{"name":"x\\/:*?\"<>y"}])")));
    EXPECT_EQ(L"ab%", store->cameras[L"a|b%"].displayName);
    EXPECT_EQ(L"xy", store->cameras[L"x\\/:*?\"<>y"].displayName);
    EXPECT_EQ(2u, log.Count("[WARN] The original camera name contain invalid characters!"));
}

TEST_F(AnalysisReaderTest, CoronaLimitsAreReadAndJudgedAsText) {
    struct Case { const char* setting; int32_t state; bool blockWarning, unlimitedError; } cases[] = {
        {R"({"pass_limit":"0","time_limit":"0","noise_level_limit":"0"})", 1, false, true},
        {R"({"pass_limit":"0","time_limit":"0","noise_level_limit":"0.0"})", 3, false, false},
        {R"({"pass_limit":"25","time_limit":"0","noise_level_limit":"0"})", 3, false, false},
        {R"({"pass_limit":"0","time_limit":"0"})", 0, false, false},
        {R"({"pass_limit":"0","time_limit":"90500","noise_level_limit":"0"})", 2, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        store->coronaLimitState = 9;
        LogTail log(store->dataLog);
        ASSERT_EQ(rud::kAnalysisRead, Read(Analysis(std::string("\"corona_setting\":") + c.setting)));
        EXPECT_EQ(c.state, store->coronaLimitState);
        EXPECT_EQ(c.blockWarning, store->warningLines == Texts({IDS_WARNINGS_HEADER, IDS_CORONA_BLOCK_WARNING}));
        EXPECT_EQ(c.blockWarning, log.Has("WARN", "Block rendering is not recommended in Corona."));
        EXPECT_EQ(c.unlimitedError, log.Has("ERROR", "The progressive pass, time and noise level are not limited"));
        // The submission check stops exactly the unlimited scene.
        EXPECT_EQ(!c.unlimitedError, rud::CheckCoronaLimits(store->Analysis()));
    }
    // Milliseconds become whole seconds.
    EXPECT_EQ(90, store->coronaLimits.coronaTimeLimitSeconds);
    EXPECT_DOUBLE_EQ(0.025, store->coronaLimits.coronaTimeLimitHours);
}

TEST_F(AnalysisReaderTest, PanoramaNeedsOverrideSphericalAndFullCircle) {
    const std::pair<const char*, bool> panoramas[] = {
        {R"({"camera_override_fov":true,"is_spherical":"true"})", true},
        {R"({"camera_override_fov":true,"is_spherical":"true","camera_fov":"360.0"})", true},
        {R"({"camera_override_fov":1,"is_spherical":"true"})", true},
        {R"({"camera_override_fov":true,"is_spherical":"true","camera_fov":"180"})", false},
        {R"({"camera_override_fov":false,"is_spherical":"true"})", false},
        {R"({"camera_override_fov":true,"is_spherical":"True"})", false},
    };
    for (const auto& [vray, panorama] : panoramas) {
        SCOPED_TRACE(vray);
        ASSERT_EQ(rud::kAnalysisRead,
                  Read(Analysis(std::string("\"vray_setting\":") + vray, R"([{"name":"a"},{"name":"b"}])")));
        EXPECT_EQ(panorama, store->cameras[L"a"].isPanorama);
        EXPECT_EQ(panorama, store->cameras[L"b"].isPanorama);
    }
}

TEST_F(AnalysisReaderTest, DuplicateCameraNamesAreTrimmedJoinedAndStopTheRead) {
    LogTail log(store->dataLog);
    EXPECT_EQ(rud::kAnalysisDuplicateCameras, Read(Analysis(R"("dupl_cameras":[{"name":" cam1 "},{"name":"cam2"}])")));
    EXPECT_EQ(L"cam1,cam2", store->duplicateCameraNames);
    EXPECT_FALSE(log.Has("INFO", kSuccessLine));
    // Entries that name nothing do not make a duplicate.
    EXPECT_EQ(rud::kAnalysisRead, Read(Analysis(R"("dupl_cameras":[{"name":null},7])")));
    EXPECT_EQ(L"", store->duplicateCameraNames);
}

TEST_F(AnalysisReaderTest, WarningsGetOneHeaderInStepOrder) {
    ASSERT_EQ(rud::kAnalysisRead,
              Read(R"({"renderer_full_name":"Missing_Renderer","is_region":"true","image_format":"tiff",)"
                   R"("vray_setting":{"imagesampler_type":"3"},"cameras":[{"name":"c"}],)"
                   R"("errors":{"error_code":[{"code":"107"},{"code":"5"},{"code":"107"}]}})"));
    EXPECT_EQ(Texts({IDS_WARNINGS_HEADER, IDS_RENDERER_MISSING, IDS_REGION_WARNING, IDS_TIFF_OUTPUT,
                     IDS_IMAGE_SAMPLER_3, IDS_ERROR_CODE_107, IDS_ERROR_CODE_107}),
              store->warningLines);
    // Only the exact texts count.
    ASSERT_EQ(rud::kAnalysisRead, Read(Analysis(R"("renderer_full_name":"Missing_Renderer ","image_format":"tiff2")")));
    EXPECT_TRUE(store->warningLines.empty());
}

TEST_F(AnalysisReaderTest, ReferenceNamesFileGroupsAndTheirLines) {
    LogTail log(store->dataLog);
    ASSERT_EQ(rud::kAnalysisRead,
              Read(Analysis(R"("reference_file":[{"path":"C:/ok/a.png"},{"path":"C:/bad|b.png"},)"
                            R"({"path":"C:/Склад?.png"}],"missing_file":[{"path":"C:/m1.png"},{"path":"C:/m2.png"}],)"
                            R"("same_file":[{"path":null},{"path":"C:/s1.png"},{"path":3}])")));
    const std::wstring missing = rud::ResourceText(IDS_FILE_MISSING_PREFIX);
    EXPECT_EQ((Lines{rud::ResourceText(IDS_REFERENCE_ILLEGAL), L"C:/bad|b.png", L"C:/\u0421\u043a\u043b\u0430\u0434?.png",
                     rud::ResourceText(IDS_MISSING_FILES_HEADER), missing + L"C:/m1.png", missing + L"C:/m2.png",
                     rud::ResourceText(IDS_SAME_FILES_HEADER), rud::ResourceText(IDS_FILE_SAME_NAME_PREFIX) + L"C:/s1.png"}),
              store->errorLines);
    EXPECT_TRUE(store->referenceNamesIllegal);
    EXPECT_EQ(1u, log.Count("[WARN] The name of reference file have illegal characters."));
    EXPECT_EQ(1u, log.Count("[WARN] The name of reference file have Russian characters."));
    EXPECT_EQ(Texts({IDS_WARNINGS_HEADER, IDS_REFERENCE_CYRILLIC}), store->warningLines);
    EXPECT_EQ(0u, log.Count("same_file"));   // entries without a string path pass without a word
    // A group whose entries name no file still gets its header; empty groups get nothing.
    (void)Read(Analysis(R"("missing_file":[],"same_file":[{"path":null},{"path":7},5])"));
    EXPECT_EQ(Texts({IDS_SAME_FILES_HEADER}), store->errorLines);
    EXPECT_EQ(0u, log.Count("same_file"));
}

TEST_F(AnalysisReaderTest, SceneNameIsThePartAfterTheLastSeparator) {
    struct Case { const wchar_t* text; const char* fileName; const char* warning; } cases[] = {
        {LR"({"name":"D:/Work/Loft/Loft.max"})", "Loft.max", nullptr},
        {LR"({"name":"E:\\mixed/dir\\W.max"})", "dir\\W.max", nullptr},  // a "/" is looked for first
        {L"{\"name\":\"\u4e2d\u6587/\u573a\u666f.max\"}", "\u573a\u666f.max", nullptr},
        {LR"({"name":"C:\\Projects\\Villa\\Villa.max"})", "Villa.max", nullptr},
        // Failures leave the path of the last good read.
        {LR"({"name":"Villa.max"})", "", "The scene name is empty!"},
        {L"{}", "", "The scene name is empty!"},
        {LR"({"name":[1]})", "", "The member"},
        {L"{broken", "", "Parse failed in initing scene name!"},
    };
    // The same answers and lines whether ReadSceneName parses the text itself, answers from
    // ReadAnalysis's parse, or finds the text replaced since (here directly, keeping its length).
    enum Way { kAlone, kAfterRead, kReplacedAfterRead };
    for (const Case& c : cases) {
        for (Way way : {kAlone, kAfterRead, kReplacedAfterRead}) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)) + " way " + std::to_string(way));
            std::wstring earlier = L"{\"name\":\"C:/Old/Stale.max\"}";
            earlier.resize(std::max(earlier.size(), std::wcslen(c.text)), L' ');
            store->SetAnalysisText(way == kReplacedAfterRead ? earlier : std::wstring(c.text));
            if (way != kAlone) (void)store->ReadAnalysis();
            if (way == kReplacedAfterRead) store->analysisText = c.text + std::wstring(earlier.size() - std::wcslen(c.text), L' ');
            LogTail log(store->dataLog);
            std::string out = "stale";
            EXPECT_EQ(c.fileName, store->ReadSceneName(out));
            EXPECT_EQ(c.fileName, out);
            if (c.warning) EXPECT_EQ(1u, log.Count(std::string("[WARN] ") + c.warning)) << log.Text();
            else EXPECT_EQ(store->sceneFileName, c.fileName);
        }
    }
    EXPECT_EQ(R"(C:\Projects\Villa\Villa.max)", store->sceneFilePath);
}

// The samples the stand-in host plays as the analysis script's output.
class SampleAnalysisTest : public rudtest::StoreTest {
protected:
    void ReadSample(const wchar_t* file, const char* scene, std::initializer_list<int> warnings, size_t errors) {
        const std::wstring path = rudtest::BinFolder() + L"\\samples\\analyses\\" + file;
        const std::wstring text = rud::ReadWholeFileUtf8(rud::WideToAnsiChs(path));
        ASSERT_EQ(rud::kAnalysisRead, ReadWide(text)) << "sample missing or unreadable next to the test program";
        std::string name;
        EXPECT_EQ(scene, store->ReadSceneName(name));
        EXPECT_EQ(Texts(warnings), store->warningLines);
        EXPECT_EQ(errors, store->errorLines.size());
    }
};

TEST_F(SampleAnalysisTest, VrayVillaCoronaLoftAndProblemWarehouse) {
    ReadSample(L"vray_villa.json", "Villa.max", {}, 0);
    ASSERT_EQ(3u, store->cameras.size());
    for (const auto& [key, c] : store->cameras)
        EXPECT_TRUE(c.isPanorama && c.imageFormat == L"PNG" && c.startFrame == 0) << rud::WideToUtf8(key);
    EXPECT_EQ(2560, store->cameras[L"Cam_Pool_Aerial"].width);

    ReadSample(L"corona_loft.json", "Loft.max", {IDS_WARNINGS_HEADER, IDS_CORONA_BLOCK_WARNING}, 0);
    EXPECT_EQ(2u, store->cameras.size());
    EXPECT_EQ(2, store->coronaLimitState);
    EXPECT_DOUBLE_EQ(1.5, store->coronaLimits.coronaTimeLimitHours);

    ReadSample(L"problem_warehouse.json", "Warehouse.max",
               {IDS_WARNINGS_HEADER, IDS_REGION_WARNING, IDS_REFERENCE_CYRILLIC, IDS_TIFF_OUTPUT, IDS_IMAGE_SAMPLER_3,
                IDS_ERROR_CODE_107}, 9);
    EXPECT_EQ(L"Cam_DockEast%", store->cameras[L"Cam_Dock|East%"].displayName);
    EXPECT_EQ(L"TIF", store->cameras[L"Cam_Overview"].imageFormat);
    EXPECT_TRUE(store->referenceNamesIllegal);
    EXPECT_EQ(Texts({IDS_REFERENCE_ILLEGAL, IDS_MISSING_FILES_HEADER, IDS_SAME_FILES_HEADER}),
              (Lines{store->errorLines.at(0), store->errorLines.at(3), store->errorLines.at(6)}));
}

} // namespace
