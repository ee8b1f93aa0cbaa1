#include "analysis/RUDRenderingDataMgr.h"
#include "core/TextConversions.h"
#include "resources/StringIds.h"
#include "tests/analysis/AnalysisTestSupport.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using rud::CameraInfo;
using rudtest::LogTail;
using rudtest::ResText;

const char* const kSuccessLine = "Get analysis information successfully. Current 3ds Max version is :";

// A minimal analysis with one camera; tests add or replace members.
std::string Analysis(const std::string& extraMembers, const std::string& cameras = R"([{"name":"cam1"}])") {
    std::string text = R"({"name":"C:/Scenes/a.max","version":"27000","is_region":"false",)"
                       R"("image_width":"1920","image_height":"1080","start_frame":"5","image_format":"png",)";
    if (!extraMembers.empty()) text += extraMembers + ",";
    text += "\"cameras\":" + cameras + "}";
    return text;
}

class AnalysisReaderTest : public ::testing::Test {
protected:
    void SetUp() override { store = rudtest::MakeStore(); }

    int Read(const std::string& utf8) {
        store->SetAnalysisText(rud::Utf8ToWide(utf8));
        return store->ReadAnalysis();
    }

    std::unique_ptr<rud::RUDRenderingDataMgr> store;
};

TEST_F(AnalysisReaderTest, NoUsableCamerasKeepsThePreviousCameras) {
    for (const char* cameras : {"[]", "null", "[1, null, {\"name\": 4}]"}) {
        SCOPED_TRACE(cameras);
        store->cameras[L"old"].width = 7;
        LogTail log(store->dataLog);
        EXPECT_EQ(rud::kAnalysisNoCameras, Read(Analysis("", cameras)));
        ASSERT_EQ(1u, store->cameras.size());
        EXPECT_EQ(7, store->cameras[L"old"].width);
        EXPECT_TRUE(log.Has("ERROR", "No cameras!"));
        EXPECT_FALSE(log.Has("INFO", kSuccessLine));
    }
    std::string absent = R"({"name":"C:/a.max","is_region":"false"})";
    EXPECT_EQ(rud::kAnalysisNoCameras, Read(absent));
}

TEST_F(AnalysisReaderTest, CamerasTakeTheSharedSettingsAndTheirOwnSize) {
    store->cameras[L"stale"] = CameraInfo{};
    LogTail log(store->dataLog);
    ASSERT_EQ(rud::kAnalysisRead,
              Read(Analysis("", R"([{"name":"a","camWidth":"0","camHeight":"600"},)"
                                R"({"name":"b","camWidth":"800"},)"
                                R"({"name":"a","camWidth":"640","camHeight":"0"}])")));
    ASSERT_EQ(2u, store->cameras.size());
    EXPECT_EQ(0u, store->cameras.count(L"stale"));
    // The later object of a repeated name wins, whole.
    const CameraInfo& a = store->cameras[L"a"];
    EXPECT_EQ(640, a.width);
    EXPECT_EQ(1080, a.height);
    const CameraInfo& b = store->cameras[L"b"];
    EXPECT_EQ(800, b.width);
    EXPECT_EQ(1080, b.height);
    EXPECT_EQ(5, b.startFrame);
    EXPECT_EQ(L"PNG", b.imageFormat);
    EXPECT_FALSE(b.renderable);
    EXPECT_EQ(L"b", b.displayName);
    EXPECT_TRUE(log.Has("INFO", std::string(kSuccessLine) + "27000"));
    EXPECT_TRUE(log.Has("INFO", "No errors!"));
}

TEST_F(AnalysisReaderTest, InvalidCameraCharactersLeaveTheDisplayNameButKeepThePercentSign) {
    LogTail log(store->dataLog);
    ASSERT_EQ(rud::kAnalysisRead, Read(Analysis("", R"([{"name":"a|b%"},{"name":"x\\/:*?\"<>y"},{"name":"ok"}])")));
    EXPECT_EQ(L"ab%", store->cameras[L"a|b%"].displayName);
    EXPECT_EQ(L"xy", store->cameras[L"x\\/:*?\"<>y"].displayName);
    EXPECT_EQ(L"ok", store->cameras[L"ok"].displayName);
    EXPECT_EQ(2u, log.Count("[WARN] The original camera name contain invalid characters!"));
}

TEST_F(AnalysisReaderTest, CoronaLimitsAreReadAndJudgedAsText) {
    struct Case {
        const char* setting;
        int32_t state;
        bool blockWarning;
        bool unlimitedError;
    } cases[] = {
        {R"({"pass_limit":"0","time_limit":"90500","noise_level_limit":"0"})", 2, true, false},
        {R"({"pass_limit":"0","time_limit":"0","noise_level_limit":"0"})", 1, false, true},
        {R"({"pass_limit":"0","time_limit":"0","noise_level_limit":"0.0"})", 3, false, false},
        {R"({"pass_limit":"25","time_limit":"0","noise_level_limit":"0"})", 3, false, false},
        {R"({"pass_limit":"0","time_limit":"0"})", 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        store->coronaLimitState = 9;
        LogTail log(store->dataLog);
        ASSERT_EQ(rud::kAnalysisRead, Read(Analysis(std::string("\"corona_setting\":") + c.setting)));
        EXPECT_EQ(c.state, store->coronaLimitState);
        std::vector<std::wstring> expected;
        if (c.blockWarning) expected = {ResText(IDS_WARNINGS_HEADER), ResText(IDS_CORONA_BLOCK_WARNING)};
        EXPECT_EQ(expected, store->warningLines);
        EXPECT_EQ(c.blockWarning, log.Has("WARN", "Block rendering is not recommended in Corona."));
        EXPECT_EQ(c.unlimitedError, log.Has("ERROR", "The progressive pass, time and noise level are not limited"));
    }
    Read(Analysis(R"("corona_setting":{"pass_limit":"12","time_limit":"90500","noise_level_limit":"2.5"})"));
    EXPECT_EQ(12, store->coronaLimits.coronaPassLimit);
    EXPECT_EQ(90, store->coronaLimits.coronaTimeLimitSeconds);
    EXPECT_DOUBLE_EQ(0.025, store->coronaLimits.coronaTimeLimitHours);
    EXPECT_DOUBLE_EQ(2.5, store->coronaLimits.coronaNoiseLevelLimit);
}

TEST_F(AnalysisReaderTest, PanoramaNeedsOverrideSphericalAndFullCircle) {
    struct Case {
        const char* vray;
        bool panorama;
    } cases[] = {
        {R"({"camera_override_fov":true,"is_spherical":"true"})", true},
        {R"({"camera_override_fov":true,"is_spherical":"true","camera_fov":"360.0"})", true},
        {R"({"camera_override_fov":1,"is_spherical":"true"})", true},
        {R"({"camera_override_fov":true,"is_spherical":"true","camera_fov":"180"})", false},
        {R"({"camera_override_fov":false,"is_spherical":"true"})", false},
        {R"({"camera_override_fov":true,"is_spherical":"True"})", false},
        {"null", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vray);
        ASSERT_EQ(rud::kAnalysisRead,
                  Read(Analysis(std::string("\"vray_setting\":") + c.vray, R"([{"name":"a"},{"name":"b"}])")));
        EXPECT_EQ(c.panorama, store->cameras[L"a"].isPanorama);
        EXPECT_EQ(c.panorama, store->cameras[L"b"].isPanorama);
    }
}

TEST_F(AnalysisReaderTest, VraySettingsAbsentKeepThePreviousValues) {
    Read(Analysis(R"("vray_setting":{"imagesampler_type":"1","gi_irradmap_preset":"2","gi_irradmap_minRate":"-3","gi_irradmap_maxRate":"-1"})"));
    EXPECT_EQ(1, store->imageSamplerType);
    EXPECT_EQ(2, store->giIrradmapPreset);
    EXPECT_EQ(-3, store->giIrradmapMinRate);
    EXPECT_EQ(-1, store->giIrradmapMaxRate);
    Read(Analysis(""));
    EXPECT_EQ(1, store->imageSamplerType);
    EXPECT_EQ(-1, store->giIrradmapMaxRate);
    Read(Analysis(R"("vray_setting":{})"));
    EXPECT_EQ(0, store->imageSamplerType);
    EXPECT_EQ(0, store->giIrradmapPreset);
}

TEST_F(AnalysisReaderTest, DuplicateCameraNamesAreTrimmedJoinedAndStopTheRead) {
    LogTail log(store->dataLog);
    EXPECT_EQ(rud::kAnalysisDuplicateCameras,
              Read(Analysis(R"("dupl_cameras":[{"name":" cam1 "},{"name":"cam2"}])")));
    EXPECT_EQ(L"cam1,cam2", store->duplicateCameraNames);
    EXPECT_FALSE(log.Has("INFO", kSuccessLine));
    // Entries that name nothing do not make a duplicate.
    EXPECT_EQ(rud::kAnalysisRead, Read(Analysis(R"("dupl_cameras":[{"name":null},7])")));
    EXPECT_EQ(L"", store->duplicateCameraNames);
}

TEST_F(AnalysisReaderTest, WarningsGetOneHeaderInStepOrder) {
    ASSERT_EQ(rud::kAnalysisRead, Read(Analysis("")));
    EXPECT_TRUE(store->warningLines.empty());
    EXPECT_TRUE(store->errorLines.empty());

    ASSERT_EQ(rud::kAnalysisRead,
              Read(R"({"renderer_full_name":"Missing_Renderer","is_region":"true","image_format":"tiff",)"
                   R"("vray_setting":{"imagesampler_type":"3"},"errors":{"error_code":[{"code":"107"},{"code":"5"},{"code":"107"}]},)"
                   R"("image_width":"1","image_height":"1","start_frame":"0","cameras":[{"name":"c"}]})"));
    std::vector<std::wstring> expected = {ResText(IDS_WARNINGS_HEADER), ResText(IDS_RENDERER_MISSING),
                                          ResText(IDS_REGION_WARNING),  ResText(IDS_TIFF_OUTPUT),
                                          ResText(IDS_IMAGE_SAMPLER_3), ResText(IDS_ERROR_CODE_107),
                                          ResText(IDS_ERROR_CODE_107)};
    EXPECT_EQ(expected, store->warningLines);
    EXPECT_EQ("true", store->isRegionText);

    // Only the exact texts count.
    ASSERT_EQ(rud::kAnalysisRead,
              Read(Analysis(R"("renderer_full_name":"Missing_Renderer ","image_format":"tiff2")")));
    EXPECT_TRUE(store->warningLines.empty());
}

TEST_F(AnalysisReaderTest, ReferenceNamesFileGroupsAndTheirLines) {
    LogTail log(store->dataLog);
    ASSERT_EQ(rud::kAnalysisRead,
              Read(Analysis(R"("reference_file":[{"path":"C:/ok/a.png"},{"path":"C:/bad|b.png"},{"path":"C:/Склад?.png"}],)"
                            R"("missing_file":[{"path":"C:/m1.png"},{"path":"C:/m2.png"}],)"
                            R"("same_file":[{"path":null},{"path":"C:/s1.png"},{"path":3}])")));
    std::vector<std::wstring> expected = {
        ResText(IDS_REFERENCE_ILLEGAL), L"C:/bad|b.png", L"C:/\u0421\u043a\u043b\u0430\u0434?.png",
        ResText(IDS_MISSING_FILES_HEADER), ResText(IDS_FILE_MISSING_PREFIX) + L"C:/m1.png",
        ResText(IDS_FILE_MISSING_PREFIX) + L"C:/m2.png", ResText(IDS_SAME_FILES_HEADER),
        ResText(IDS_FILE_SAME_NAME_PREFIX) + L"C:/s1.png"};
    EXPECT_EQ(expected, store->errorLines);
    EXPECT_TRUE(store->referenceNamesIllegal);
    EXPECT_EQ(1u, log.Count("[WARN] The name of reference file have illegal characters."));
    EXPECT_EQ(1u, log.Count("[WARN] The name of reference file have Russian characters."));
    std::vector<std::wstring> warnings = {ResText(IDS_WARNINGS_HEADER), ResText(IDS_REFERENCE_CYRILLIC)};
    EXPECT_EQ(warnings, store->warningLines);

    // A group whose entries name no file still gets its header; empty groups get nothing.
    Read(Analysis(R"("missing_file":[],"same_file":[{"path":null}])"));
    EXPECT_EQ(std::vector<std::wstring>{ResText(IDS_SAME_FILES_HEADER)}, store->errorLines);
}

TEST_F(AnalysisReaderTest, UnreadableTextChangesNothingAndSaysSo) {
    ASSERT_EQ(rud::kAnalysisRead, Read(Analysis(R"("is_region":"true")")));
    const auto cameras = store->cameras;
    const auto warnings = store->warningLines;
    for (const char* text : {"", "   ", "{\"cameras\":[{\"name\":\"a\"}", "[1,2]", "\"text\"", "not json"}) {
        SCOPED_TRACE(text);
        LogTail log(store->dataLog);
        EXPECT_EQ(rud::kAnalysisUnreadable, Read(text));
        EXPECT_TRUE(log.Has("ERROR", "The analysis result"));
        EXPECT_FALSE(log.Has("INFO", kSuccessLine));
        EXPECT_EQ(cameras.size(), store->cameras.size());
        EXPECT_EQ(warnings, store->warningLines);
    }
}

TEST_F(AnalysisReaderTest, SceneNameIsThePartAfterTheLastSeparator) {
    struct Case {
        const char* name;
        const char* fileName;
    } cases[] = {
        {R"(C:\\Projects\\Villa\\Villa.max)", "Villa.max"},
        {"D:/Work/Loft/Loft.max", "Loft.max"},
        {R"(E:\\mixed/dir\\W.max)", "dir\\W.max"},  // a "/" is looked for first
        {"\u4e2d\u6587/\u573a\u666f.max", "\u573a\u666f.max"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store->SetAnalysisText(rud::Utf8ToWide(std::string(R"({"name":")") + c.name + "\"}"));
        std::string out = "stale";
        EXPECT_EQ(c.fileName, store->ReadSceneName(out));
        EXPECT_EQ(c.fileName, out);
        EXPECT_EQ(c.fileName, store->sceneFileName);
    }
    store->SetAnalysisText(LR"({"name":"C:\\Projects\\Villa\\Villa.max"})");
    std::string out;
    (void)store->ReadSceneName(out);
    EXPECT_EQ(R"(C:\Projects\Villa\Villa.max)", store->sceneFilePath);

    for (const wchar_t* text : {LR"({"name":"Villa.max"})", LR"({"name":null})", LR"({})", LR"({"name":12})"}) {
        LogTail log(store->dataLog);
        store->SetAnalysisText(text);
        EXPECT_EQ("", store->ReadSceneName(out));
        EXPECT_EQ("", out);
        EXPECT_TRUE(log.Has("WARN", "The scene name is empty!"));
        EXPECT_EQ(R"(C:\Projects\Villa\Villa.max)", store->sceneFilePath);
    }
    LogTail log(store->dataLog);
    store->SetAnalysisText(L"{broken");
    EXPECT_EQ("", store->ReadSceneName(out));
    EXPECT_TRUE(log.Has("WARN", "Parse failed in initing scene name!"));
}

// The samples the stand-in host plays as the analysis script's output.
class SampleAnalysisTest : public AnalysisReaderTest {
protected:
    int ReadSample(const wchar_t* name) {
        std::wstring path = rudtest::BinFolder() + L"\\samples\\analyses\\" + name;
        std::wstring text = rud::ReadWholeFileUtf8(rud::WideToAnsiChs(path));
        EXPECT_FALSE(text.empty()) << "sample not found next to the test program";
        store->SetAnalysisText(text);
        return store->ReadAnalysis();
    }
};

TEST_F(SampleAnalysisTest, VrayVilla) {
    ASSERT_EQ(rud::kAnalysisRead, ReadSample(L"vray_villa.json"));
    ASSERT_EQ(3u, store->cameras.size());
    for (const auto& [key, camera] : store->cameras) {
        EXPECT_TRUE(camera.isPanorama) << rud::WideToUtf8(key);
        EXPECT_EQ(L"PNG", camera.imageFormat);
        EXPECT_EQ(0, camera.startFrame);
    }
    EXPECT_EQ(1920, store->cameras[L"Cam_Living_Room"].width);
    EXPECT_EQ(2560, store->cameras[L"Cam_Pool_Aerial"].width);
    EXPECT_TRUE(store->warningLines.empty());
    EXPECT_TRUE(store->errorLines.empty());
    EXPECT_EQ(0, store->coronaLimitState);
    std::string name;
    EXPECT_EQ("Villa.max", store->ReadSceneName(name));
}

TEST_F(SampleAnalysisTest, CoronaLoft) {
    ASSERT_EQ(rud::kAnalysisRead, ReadSample(L"corona_loft.json"));
    EXPECT_EQ(2u, store->cameras.size());
    EXPECT_EQ(2, store->coronaLimitState);
    EXPECT_EQ(5400, store->coronaLimits.coronaTimeLimitSeconds);
    EXPECT_DOUBLE_EQ(1.5, store->coronaLimits.coronaTimeLimitHours);
    EXPECT_EQ((std::vector<std::wstring>{ResText(IDS_WARNINGS_HEADER), ResText(IDS_CORONA_BLOCK_WARNING)}),
              store->warningLines);
    EXPECT_TRUE(store->errorLines.empty());
    std::string name;
    EXPECT_EQ("Loft.max", store->ReadSceneName(name));
}

TEST_F(SampleAnalysisTest, ProblemWarehouse) {
    ASSERT_EQ(rud::kAnalysisRead, ReadSample(L"problem_warehouse.json"));
    EXPECT_EQ(L"Cam_DockEast%", store->cameras[L"Cam_Dock|East%"].displayName);
    EXPECT_EQ(L"TIF", store->cameras[L"Cam_Overview"].imageFormat);
    EXPECT_EQ(3, store->imageSamplerType);
    EXPECT_TRUE(store->referenceNamesIllegal);
    EXPECT_EQ((std::vector<std::wstring>{ResText(IDS_WARNINGS_HEADER), ResText(IDS_REGION_WARNING),
                                         ResText(IDS_REFERENCE_CYRILLIC), ResText(IDS_TIFF_OUTPUT),
                                         ResText(IDS_IMAGE_SAMPLER_3), ResText(IDS_ERROR_CODE_107)}),
              store->warningLines);
    ASSERT_EQ(9u, store->errorLines.size());
    EXPECT_EQ(ResText(IDS_REFERENCE_ILLEGAL), store->errorLines[0]);
    EXPECT_EQ(ResText(IDS_MISSING_FILES_HEADER), store->errorLines[3]);
    EXPECT_EQ(ResText(IDS_SAME_FILES_HEADER), store->errorLines[6]);
    std::string name;
    EXPECT_EQ("Warehouse.max", store->ReadSceneName(name));
}

} // namespace
