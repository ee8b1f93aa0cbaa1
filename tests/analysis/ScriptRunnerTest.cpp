#include "analysis/AnalysisScriptRunner.h"
#include "analysis/VirusChecks.h"
#include "core/ClientInfo.h"
#include "resources/StringIds.h"
#include "tests/analysis/AnalysisTestSupport.h"
#include "tests/support/FakeHost.h"

#include <regex>

namespace {

const std::wstring kScriptPath = L"C:/ProgramData/RUD Rendering/script/MaxRenderGlobalsParser.mse";

class ScriptRunnerTest : public rudtest::StoreTest {
protected:
    bool Run(std::wstring& resultText, HWND owner = nullptr) {
        auto value = fake.host.CreateScriptValue();
        return rud::RunAnalysisScript(*store, owner, *value, kScriptPath, resultText);
    }

    void TearDown() override { store.reset(); }  // before the fake host goes

    rudtest::ScopedFakeHost fake;
};

TEST_F(ScriptRunnerTest, WritesTheScriptReadsTheResultDropsOneByteOrderMarkAndCleansUp) {
    fake.host.AnswerAnalysis("\xEF\xBB\xBF\xEF\xBB\xBF{\"name\":\"\xE4\xB8\xAD.max\"}");
    std::wstring resultText;
    ASSERT_TRUE(Run(resultText));
    EXPECT_EQ(L"fileIn \"C:/Program Files/My Scripts/a b.mse\"\ngMax.analysis \"C:/x y/r.ret\" \"\"",
              rud::AnalysisScriptText(L"C:/Program Files/My Scripts/a b.mse", L"C:/x y/r.ret"));
    const std::wstring resultPath = store->analysisResultPath;
    EXPECT_EQ(std::vector<std::wstring>{rud::AnalysisScriptText(kScriptPath, resultPath)}, fake.host.scripts);
    EXPECT_EQ(0u, resultPath.rfind(rud::DataFolder() + L"/json/", 0)) << testing::PrintToString(resultPath);
    EXPECT_TRUE(std::regex_search(resultPath, std::wregex(L"/[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.ret$")));
    // Only the first mark goes; a second one is content.
    EXPECT_EQ(L"\uFEFF{\"name\":\"\u4e2d.max\"}", resultText);
    EXPECT_FALSE(rud::PathExists(resultPath));
    EXPECT_FALSE(rud::PathExists(resultPath + L".log"));
}

TEST_F(ScriptRunnerTest, OnlyAnswerOneSucceeds) {
    // A failed run (0) shows the error box and leaves the files for a look.
    fake.host.AnswerAnalysis("{}", 0);
    rudtest::MessageBoxRecorder boxes;
    const HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4321));
    std::wstring resultText = L"previous";
    EXPECT_FALSE(Run(resultText, owner));
    EXPECT_EQ(L"previous", resultText);
    rudtest::ExpectOneOkBox(boxes, owner, IDS_ANALYSIS_SCRIPT_FAILED, IDS_CAPTION_ERROR);
    EXPECT_TRUE(rud::PathExists(store->analysisResultPath));
    ::DeleteFileW(store->analysisResultPath.c_str());
    ::DeleteFileW((store->analysisResultPath + L".log").c_str());
    // Any other answer reads the result but still fails; a run that wrote nothing reads as empty.
    // Each run has a result file of its own.
    const std::wstring firstPath = store->analysisResultPath;
    fake.host.AnswerAnalysis("{\"a\":1}", 2);
    EXPECT_FALSE(Run(resultText));
    EXPECT_NE(firstPath, store->analysisResultPath);
    EXPECT_EQ(L"{\"a\":1}", resultText);
    EXPECT_FALSE(rud::PathExists(store->analysisResultPath));
    fake.host.onScript = [](const std::wstring&) { return 1; };
    EXPECT_TRUE(Run(resultText));
    EXPECT_EQ(L"", resultText);
}

TEST_F(ScriptRunnerTest, VirusChecksRunAllThreeInOrderWithOneValueHolder) {
    rud::ClientInfo info;
    info.adslScriptPath = L"C:/nowhere/RudAntivirusAdsl_UTF8.ms";
    info.alcScriptPath = L"C:/nowhere/RudAntivirusAlc_UTF8.ms";
    info.crpScriptPath = L"C:/nowhere/RudAntivirusCrp_UTF8.ms";
    fake.host.onScript = [](const std::wstring&) { return 0; };  // every script fails
    rudtest::LogTail log(store->dataLog);
    rud::RunVirusChecks(store->dataLog, info);
    EXPECT_EQ((std::vector<std::wstring>{L"fileIn \"C:/nowhere/RudAntivirusAdsl_UTF8.ms\"",
                                         L"fileIn \"C:/nowhere/RudAntivirusAlc_UTF8.ms\"",
                                         L"fileIn \"C:/nowhere/RudAntivirusCrp_UTF8.ms\""}),
              fake.host.scripts);
    EXPECT_EQ(std::make_pair(1, 0), std::make_pair(fake.host.scriptValuesCreated, fake.host.liveScriptValues));
    const std::string text = log.Text();
    std::vector<size_t> at;
    for (const char* virus : {"ADSL", "ALC", "CRP"}) at.push_back(text.find(std::string("[WARN] Check ") + virus));
    EXPECT_TRUE(at[0] < at[1] && at[1] < at[2] && at[2] != std::string::npos) << text;
}

} // namespace
