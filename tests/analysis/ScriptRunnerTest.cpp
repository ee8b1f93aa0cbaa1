#include "analysis/AnalysisScriptRunner.h"
#include "analysis/VirusChecks.h"
#include "core/ClientInfo.h"
#include "core/DataFolders.h"
#include "core/ResourceStrings.h"
#include "resources/StringIds.h"
#include "tests/analysis/AnalysisTestSupport.h"
#include "tests/support/FakeHost.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

using rudtest::LogTail;
using rudtest::ResText;

const std::wstring kScriptPath = L"C:/ProgramData/RUD Rendering/script/MaxRenderGlobalsParser.mse";

// The result path the script was asked to write: between the second line's first two quotes.
std::wstring ResultPathOf(const std::wstring& script) {
    const size_t line2 = script.find(L"\ngMax.analysis \"");
    if (line2 == std::wstring::npos) return std::wstring();
    const size_t begin = line2 + 16;
    return script.substr(begin, script.find(L'"', begin) - begin);
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

class ScriptRunnerTest : public ::testing::Test {
protected:
    void SetUp() override { store = rudtest::MakeStore(); }

    // The fake script writes `bytes` as its result and a log beside it, and answers `answer`.
    void PlayScript(const std::string& bytes, int answer) {
        fake.host.onScript = [this, bytes, answer](const std::wstring& script) {
            const std::wstring path = ResultPathOf(script);
            WriteBytes(path, bytes);
            WriteBytes(path + L".log", "script log\n");
            return answer;
        };
    }

    rudtest::ScopedFakeHost fake;
    std::unique_ptr<rud::RUDRenderingDataMgr> store;
};

TEST_F(ScriptRunnerTest, TheScriptTextLoadsTheFileAndCallsTheAnalysis) {
    EXPECT_EQ(L"fileIn \"C:/Program Files/My Scripts/a b.mse\"\ngMax.analysis \"C:/x y/r.ret\" \"\"",
              rud::AnalysisScriptText(L"C:/Program Files/My Scripts/a b.mse", L"C:/x y/r.ret"));
}

TEST_F(ScriptRunnerTest, ReadsTheResultDropsOneByteOrderMarkAndCleansUp) {
    PlayScript("\xEF\xBB\xBF\xEF\xBB\xBF{\"name\":\"\xE4\xB8\xAD.max\"}", 1);
    auto value = fake.host.CreateScriptValue();
    std::wstring resultText;
    ASSERT_TRUE(rud::RunAnalysisScript(*store, nullptr, *value, kScriptPath, resultText));

    ASSERT_EQ(1u, fake.host.scripts.size());
    const std::wstring resultPath = store->analysisResultPath;
    EXPECT_EQ(rud::AnalysisScriptText(kScriptPath, resultPath), fake.host.scripts[0]);
    const std::wstring folder = rud::DataFolder() + L"/json/";
    ASSERT_EQ(0u, resultPath.rfind(folder, 0)) << testing::PrintToString(resultPath);
    EXPECT_TRUE(std::regex_match(resultPath.substr(folder.size()),
                                 std::wregex(L"[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.ret")));

    // Only the first mark goes; a second one is content.
    EXPECT_EQ(L"\uFEFF{\"name\":\"\u4e2d.max\"}", resultText);
    EXPECT_FALSE(rud::PathExists(resultPath));
    EXPECT_FALSE(rud::PathExists(resultPath + L".log"));
}

TEST_F(ScriptRunnerTest, AFailedRunShowsTheErrorBoxAndLeavesTheFile) {
    PlayScript("{}", 0);
    rudtest::MessageBoxRecorder boxes;
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4321));
    auto value = fake.host.CreateScriptValue();
    std::wstring resultText = L"previous";
    EXPECT_FALSE(rud::RunAnalysisScript(*store, owner, *value, kScriptPath, resultText));
    EXPECT_EQ(L"previous", resultText);
    ASSERT_EQ(1u, boxes.Count());
    const rudtest::RecordedBox box = boxes.Boxes()[0];
    EXPECT_EQ(owner, box.owner);
    EXPECT_EQ(ResText(IDS_ANALYSIS_SCRIPT_FAILED), box.text);
    EXPECT_EQ(ResText(IDS_CAPTION_ERROR), box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), box.type);
    EXPECT_EQ(rud::CurrentMessageBoxLanguage(), box.language);
    EXPECT_TRUE(rud::PathExists(store->analysisResultPath));
    ::DeleteFileW(store->analysisResultPath.c_str());
    ::DeleteFileW((store->analysisResultPath + L".log").c_str());
}

TEST_F(ScriptRunnerTest, AnyOtherAnswerReadsButReportsFailure) {
    PlayScript("{\"a\":1}", 2);
    auto value = fake.host.CreateScriptValue();
    std::wstring resultText;
    EXPECT_FALSE(rud::RunAnalysisScript(*store, nullptr, *value, kScriptPath, resultText));
    EXPECT_EQ(L"{\"a\":1}", resultText);
    EXPECT_FALSE(rud::PathExists(store->analysisResultPath));
}

TEST_F(ScriptRunnerTest, NoResultFileGivesEmptyText) {
    fake.host.onScript = [](const std::wstring&) { return 1; };
    auto value = fake.host.CreateScriptValue();
    std::wstring resultText = L"previous";
    EXPECT_TRUE(rud::RunAnalysisScript(*store, nullptr, *value, kScriptPath, resultText));
    EXPECT_EQ(L"", resultText);
}

TEST_F(ScriptRunnerTest, VirusChecksRunAllThreeInOrderWithOneValueHolder) {
    rud::ClientInfo info;
    info.adslScriptPath = L"C:/nowhere/RudAntivirusAdsl_UTF8.ms";
    info.alcScriptPath = L"C:/nowhere/RudAntivirusAlc_UTF8.ms";
    info.crpScriptPath = L"C:/nowhere/RudAntivirusCrp_UTF8.ms";
    fake.host.onScript = [](const std::wstring&) { return 0; };  // every script fails
    LogTail log(store->dataLog);
    rud::RunVirusChecks(*store, info);

    EXPECT_EQ((std::vector<std::wstring>{L"fileIn \"C:/nowhere/RudAntivirusAdsl_UTF8.ms\"",
                                         L"fileIn \"C:/nowhere/RudAntivirusAlc_UTF8.ms\"",
                                         L"fileIn \"C:/nowhere/RudAntivirusCrp_UTF8.ms\""}),
              fake.host.scripts);
    EXPECT_EQ(1, fake.host.scriptValuesCreated);
    EXPECT_EQ(0, fake.host.liveScriptValues);
    const std::string text = log.Text();
    const size_t adsl = text.find("[WARN] Check ADSL virus for scene");
    const size_t alc = text.find("[WARN] Check ALC virus for scene");
    const size_t crp = text.find("[WARN] Check CRP virus for scene");
    ASSERT_NE(std::string::npos, adsl);
    ASSERT_NE(std::string::npos, alc);
    ASSERT_NE(std::string::npos, crp);
    EXPECT_LT(adsl, alc);
    EXPECT_LT(alc, crp);
}

} // namespace
