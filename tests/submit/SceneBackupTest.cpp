#include "submit/SceneBackup.h"
#include "tests/submit/SubmitTestSupport.h"
#include "tests/support/FakeHost.h"

#include "core/TextConversions.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using rud::SceneCopyStatus;

class SceneCopyTest : public ::testing::Test {
protected:
    SceneCopyTest() : folder(L"backup") {
        scene = folder / L"tower.max";
        rudtest::WriteFileBytes(scene, "scene bytes");
        fake.host.sceneFileName = L"tower.max";
        fake.host.sceneFilePath = scene;
        nameField = ::CreateWindowExW(0, L"EDIT", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    ~SceneCopyTest() override { ::DestroyWindow(nameField); }
    std::wstring FieldText() {
        wchar_t text[260] = {};
        ::GetWindowTextW(nameField, text, 260);
        return text;
    }
    rudtest::ScratchFolder folder;
    rudtest::ScopedFakeHost fake;
    rud::RUDRenderingDataMgr store;
    std::wstring scene;
    HWND nameField = nullptr;
    std::string result;
};

TEST_F(SceneCopyTest, TypedNameOfTheOpenFileUsesItUnsaved) {
    EXPECT_EQ(rud::SettleSceneFile(store, result, nameField, "tower.max"), SceneCopyStatus::kReady);
    EXPECT_EQ(result, rud::WideToUtf8(scene));
    EXPECT_TRUE(fake.host.savedTo.empty());
    EXPECT_EQ(store.sceneFilePath, rud::WideToUtf8(scene));
    EXPECT_EQ(store.sceneFileName, "tower.max");
}

TEST_F(SceneCopyTest, OtherTypedNameSavesBesideTheOpenFile) {
    store.sceneFilePath = "C:/analysed/tower.max";   // set by the analysis: kept
    EXPECT_EQ(rud::SaveSceneCopy(store, result, nameField, "villa.max"), rud::WideToUtf8(folder / L"villa.max"));
    ASSERT_EQ(fake.host.savedTo.size(), 1u);
    EXPECT_EQ(fake.host.savedTo[0], folder / L"villa.max");
    EXPECT_EQ(store.sceneFileName, "villa.max");
    EXPECT_EQ(store.sceneFilePath, "C:/analysed/tower.max");
}

TEST_F(SceneCopyTest, FindsTheFolderBySlashOrBackslash) {
    const struct { std::wstring path; std::string expected; } cases[] = {
        {L"C:\\work\\scenes\\tower.max", "C:\\work\\scenes\\villa.max"},
        {L"C:/work/scenes/tower.max", "C:/work/scenes/villa.max"},
        {L"C:\\work/scenes\\tower.max", "C:\\work/villa.max"},   // the last slash comes first
    };
    for (const auto& c : cases) {
        // These files do not exist, so the fake's save fails after recording the path.
        fake.host.sceneFilePath = c.path;
        fake.host.savedTo.clear();
        (void)rud::SettleSceneFile(store, result, nameField, "villa.max");
        ASSERT_EQ(fake.host.savedTo.size(), 1u) << rud::WideToUtf8(c.path);
        EXPECT_EQ(rud::WideToUtf8(fake.host.savedTo[0]), c.expected);
    }
}

TEST_F(SceneCopyTest, EmptyTypedNameShowsAndUsesTheFileName) {
    EXPECT_EQ(rud::SettleSceneFile(store, result, nameField, ""), SceneCopyStatus::kReady);
    EXPECT_EQ(FieldText(), L"tower");
    EXPECT_EQ(result, rud::WideToUtf8(scene));
    EXPECT_TRUE(fake.host.savedTo.empty());
}

TEST_F(SceneCopyTest, RefusesWhatCannotBeSubmitted) {
    fake.host.saveSucceeds = false;
    EXPECT_EQ(rud::SettleSceneFile(store, result, nameField, "villa.max"), SceneCopyStatus::kNoSceneFile);
    EXPECT_TRUE(result.empty());

    fake.host.saveSucceeds = true;
    fake.host.savedTo.clear();
    const std::string longName(300, 'n');
    EXPECT_EQ(rud::SettleSceneFile(store, result, nameField, longName + ".max"), SceneCopyStatus::kPathTooLong);
    EXPECT_TRUE(fake.host.savedTo.empty());   // never saved under a cut name

    fake.host.sceneFilePath = L"tower.max";   // no folder in the path
    EXPECT_EQ(rud::SettleSceneFile(store, result, nameField, "villa.max"), SceneCopyStatus::kNoSceneFile);

    fake.host.sceneFilePath.clear();   // never saved
    fake.host.sceneFileName.clear();
    EXPECT_EQ(rud::SettleSceneFile(store, result, nameField, "villa.max"), SceneCopyStatus::kNoSceneFile);
    EXPECT_TRUE(result.empty());
}

TEST(BackupName, FormatsTheNumberWithSixDigits) {
    EXPECT_EQ(rud::BackupBaseName(L"tower", 417), L"tower_000417");
    EXPECT_EQ(rud::BackupBaseName(L"tower", 32767), L"tower_032767");
    EXPECT_EQ(rud::MakeBackupPath(L"C:\\work\\tower.max", 417), L"C:\\work\\tower_000417.max");
    EXPECT_EQ(rud::MakeBackupPath(L"C:/work/a.b/tower", 0), L"C:/work/a.b/tower_000000");
    // Beyond the path limits: no path rather than a cut one.
    EXPECT_EQ(rud::MakeBackupPath(L"C:\\work\\" + std::wstring(250, L'n') + L".max", 1), L"");
    EXPECT_EQ(rud::MakeBackupPath(L"C:\\" + std::wstring(300, L'd') + L"\\tower.max", 1), L"");
}

TEST_F(SceneCopyTest, BackupCopiesTheSceneBesideIt) {
    store.sceneFilePath = rud::WideToUtf8(scene);
    wchar_t backup[rud::kMaxScenePathLength + 1] = {};
    ASSERT_NE(rud::BackupSceneFile(store, backup), 0);
    const std::wstring backupPath = backup;
    EXPECT_TRUE(std::regex_match(backupPath, std::wregex(L".*\\\\tower_[0-9]{6}\\.max"))) << rud::WideToUtf8(backupPath);
    EXPECT_EQ(backupPath.substr(0, folder.Path().size()), folder.Path());
    EXPECT_EQ(rudtest::ReadFileBytes(backupPath), "scene bytes");

    store.sceneFilePath = rud::WideToUtf8(folder / L"missing.max");
    wchar_t untouched[rud::kMaxScenePathLength + 1] = {};
    EXPECT_EQ(rud::BackupSceneFile(store, untouched), 0);
    EXPECT_EQ(untouched[0], L'\0');
}

} // namespace
