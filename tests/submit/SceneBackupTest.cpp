#include "submit/SceneBackup.h"
#include "tests/submit/SubmitTestSupport.h"
#include "tests/support/FakeHost.h"

#include "core/FilePaths.h"
#include "core/TextConversions.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using rud::SceneCopyStatus;
using Paths = std::vector<std::wstring>;

class SceneCopyTest : public ::testing::Test {
protected:
    SceneCopyTest() {
        rudtest::WriteBytes(scene, "scene bytes");
        fake.host.sceneFileName = L"tower.max";
        fake.host.sceneFilePath = scene;
    }
    rudtest::ScratchFolder folder{L"backup"};
    std::wstring scene = folder / L"tower.max";
    rudtest::ScopedFakeHost fake;
    rud::RUDRenderingDataMgr store;
    std::wstring shown;
    std::string result;
};

// The open file's own name, in any case (typed, or left empty and then shown), is used unsaved;
// another name has the host save a copy beside it.
TEST_F(SceneCopyTest, UsesTheOpenFileOrSavesACopyUnderTheTypedName) {
    const struct { const wchar_t* typed; const wchar_t* shown; const wchar_t* copy; } cases[] = {
        {L"tower", L"", nullptr}, {L"TOWER", L"", nullptr}, {L"", L"tower", nullptr}, {L"villa", L"", L"villa.max"}};
    for (const auto& c : cases) {
        rud::RUDRenderingDataMgr fresh;
        fake.host.savedTo.clear();
        const std::wstring submitted = c.copy ? folder / c.copy : scene;
        EXPECT_EQ(rud::SaveSceneCopy(fresh, result, shown, c.typed), rud::WideToUtf8(submitted)) << c.typed;
        EXPECT_EQ(fake.host.savedTo, c.copy ? Paths{submitted} : Paths{});
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(fresh.sceneFilePath, rud::WideToUtf8(scene));
        EXPECT_EQ(fresh.sceneFileName, c.copy ? "villa.max" : "tower.max");
    }
}

// The copy goes into the open file's folder, after the last separator of either kind, and
// the save writes exactly the file the name was judged by. None of these folders exists, so
// the fake's save fails after recording the path.
TEST_F(SceneCopyTest, SavesBesideTheOpenFileOrRefuses) {
    using V = rud::TypedNameVerdict;
    const struct { std::wstring path; std::wstring typed; V verdict; SceneCopyStatus status; Paths savedTo; } cases[] = {
        {L"C:\\work\\scenes\\tower.max", L"villa", V::kNewFile, SceneCopyStatus::kNoSceneFile, {L"C:\\work\\scenes\\villa.max"}},
        {L"C:/work/scenes/tower.max", L"villa", V::kNewFile, SceneCopyStatus::kNoSceneFile, {L"C:/work/scenes/villa.max"}},
        {L"C:/work\\scenes\\tower.max", L"villa", V::kNewFile, SceneCopyStatus::kNoSceneFile, {L"C:/work\\scenes\\villa.max"}},
        {L"C:\\work/scenes/Tower.MAX", L"tower", V::kOpenScene, SceneCopyStatus::kReady, {}},
        {scene, std::wstring(300, L'n'), V::kNewFile, SceneCopyStatus::kPathTooLong, {}},   // never saved under a cut name
        {L"tower.max", L"villa", V::kNewFile, SceneCopyStatus::kNoSceneFile, {}},           // no folder in the path
        {L"", L"villa", V::kNewFile, SceneCopyStatus::kNoSceneFile, {}},                    // never saved
        {scene, L"CON .a", V::kRefused, SceneCopyStatus::kNoSceneFile, {}},                 // devices, as Windows sees them
        {scene, L"NUL.tar", V::kRefused, SceneCopyStatus::kNoSceneFile, {}},
        {scene, L"aux", V::kRefused, SceneCopyStatus::kNoSceneFile, {}},
        {scene, L"COM1 ", V::kRefused, SceneCopyStatus::kNoSceneFile, {}},
        {scene, L"LPT0 .b", V::kRefused, SceneCopyStatus::kNoSceneFile, {}},
        {scene, L"COM\u00b9", V::kRefused, SceneCopyStatus::kNoSceneFile, {}},
        {scene, L"CONSOLE", V::kNewFile, SceneCopyStatus::kReady, {folder / L"CONSOLE.max"}},
    };
    for (const auto& c : cases) {
        fake.host.sceneFilePath = c.path;
        fake.host.savedTo.clear();
        const rud::TypedSceneJudgement judgement = rud::JudgeTypedSceneName(c.typed, c.path);
        EXPECT_EQ(judgement.verdict, c.verdict) << rud::WideToUtf8(c.typed);
        EXPECT_EQ(rud::SettleSceneFile(store, result, shown, judgement), c.status) << rud::WideToUtf8(c.path);
        EXPECT_EQ(fake.host.savedTo, c.savedTo);
        EXPECT_EQ(result.empty(), c.status != SceneCopyStatus::kReady);
    }
}

// A short name ("VILLA~1") typed for another file of the folder, or for the open scene itself,
// is judged as the file Windows gives it to, and a copy is saved (and asked about) under that
// file's long name.
TEST_F(SceneCopyTest, ShortNamesAreJudgedAsTheFileTheyStandFor) {
    using V = rud::TypedNameVerdict;
    const std::wstring other = folder / L"Villa_version_two.max", open = folder / L"tower_final_cut.max";
    rudtest::WriteBytes(other, "another version");
    rudtest::WriteBytes(open, "scene bytes");
    auto shortStem = [](const std::wstring& path) {
        wchar_t shortPath[MAX_PATH] = {};
        const DWORD length = ::GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
        const std::wstring name = rud::FileNameOf(std::wstring(shortPath, length));
        return name.substr(0, name.rfind(L'.'));
    };
    const struct { std::wstring typed; V verdict; std::wstring path; Paths savedTo; std::string fileName; } cases[] = {
        {shortStem(other), V::kReplacesOtherFile, other, {other}, "Villa_version_two.max"},
        {shortStem(open), V::kOpenScene, open, {}, "tower_final_cut.max"},
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.typed.find(L'~'), std::wstring::npos) << "no short name for " << rud::WideToUtf8(c.path);
        SCOPED_TRACE(rud::WideToUtf8(c.typed));
        rud::RUDRenderingDataMgr fresh;
        fake.host.sceneFilePath = open;
        fake.host.savedTo.clear();
        const rud::TypedSceneJudgement judgement = rud::JudgeTypedSceneName(c.typed, open);
        EXPECT_EQ(judgement.verdict, c.verdict);
        EXPECT_EQ(judgement.path, c.path);
        (void)rud::SettleSceneFile(fresh, result, shown, judgement);
        EXPECT_EQ(fake.host.savedTo, c.savedTo);
        EXPECT_EQ(fresh.sceneFileName, c.fileName);
    }
}

TEST(BackupName, FormatsTheNumberWithSixDigits) {
    EXPECT_EQ(rud::MakeBackupPath(L"C:\\work\\tower.max", 417), L"C:\\work\\tower_000417.max");
    EXPECT_EQ(rud::MakeBackupPath(L"C:/work/a.b/tower", 0), L"C:/work/a.b/tower_000000");
    // Beyond the path limits: no path rather than a cut one.
    EXPECT_EQ(rud::MakeBackupPath(L"C:\\work\\" + std::wstring(250, L'n') + L".max", 1), L"");
    EXPECT_EQ(rud::MakeBackupPath(L"C:\\" + std::wstring(300, L'd') + L"\\tower.max", 1), L"");
}

// A second backup (the same second, another session) leaves the first file as it is.
TEST_F(SceneCopyTest, BackupCopiesTheSceneBesideItUnderAFreeName) {
    store.sceneFilePath = rud::WideToUtf8(scene);
    wchar_t first[rud::kMaxScenePathLength + 1] = {}, backup[rud::kMaxScenePathLength + 1] = {};
    ASSERT_NE(rud::BackupSceneFile(store, first), 0);
    rudtest::WriteBytes(first, "the artist's file");
    ASSERT_NE(rud::BackupSceneFile(store, backup), 0);
    EXPECT_EQ(rudtest::ReadBytes(first), "the artist's file");
    EXPECT_EQ(std::wstring(backup).rfind(folder / L"tower_", 0), 0u) << rud::WideToUtf8(backup);
    EXPECT_TRUE(std::regex_match(std::wstring(backup), std::wregex(L".*_[0-9]{6}\\.max")));
    EXPECT_EQ(rudtest::ReadBytes(backup), "scene bytes");
    store.sceneFilePath = rud::WideToUtf8(folder / L"missing.max");
    wchar_t untouched[rud::kMaxScenePathLength + 1] = {};
    EXPECT_EQ(rud::BackupSceneFile(store, untouched), 0);
    EXPECT_EQ(untouched[0], L'\0');
}

} // namespace
