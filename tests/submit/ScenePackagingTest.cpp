#include "submit/FarmConfiguration.h"
#include "submit/Md5.h"
#include "submit/ScenePackaging.h"
#include "tests/submit/SubmitTestSupport.h"
#include "tests/support/MessageBoxRecorder.h"

#include "core/TextConversions.h"

#include <gtest/gtest.h>

#include <ctime>
#include <regex>

namespace {

using rud::ClientInfo;
using rud::ClientUserInfo;

TEST(FileStem, CutsTheNameOutOfThePath) {
    const struct { const char* path; const char* stem; } cases[] = {
        {"C:\\work\\Villa.old.max", "Villa.old"},
        {"C:\\work\\Villa", "Villa"},
        {"C:\\work.d\\Villa", "Villa"},         // the dot belongs to the folder
        {"D:/work/Villa.max", "Villa"},
        {"C:\\work\\Villa..max", "Villa."},
        {"C:\\a/b.c\\d.max", "d"},               // backslashes win over a later slash
        {"C:\\a\\b/c.max", "b/c"},
        {"Villa.max", "Villa"},
        {"C:\\work\\", ""},
        {"C:\\work\\.max", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(rud::FileStem(c.path), c.stem) << c.path;
}

TEST(RandomSuffix, IsSixCharactersAndRepeatsWithinOneSecond) {
    std::string first, second;
    std::time_t before, after;
    do {
        before = std::time(nullptr);
        first = rud::RandomSuffix();
        second = rud::RandomSuffix();
        after = std::time(nullptr);
    } while (before != after);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(std::regex_match(first, std::regex("[a-zA-Z0-9]{6}"))) << first;
}

TEST(ArchivePassword, InterleavesTheTwoDigests) {
    const std::string a = rud::Md5Hex("Villa");
    const std::string b = rud::Md5Hex(std::string("Villa") + rud::kArchivePasswordSalt);
    const std::string password = rud::ArchivePassword("Villa");
    ASSERT_EQ(password.size(), 64u);
    for (size_t i = 0; i < 32; ++i) {
        EXPECT_EQ(password[2 * i], a[i]);
        EXPECT_EQ(password[2 * i + 1], b[i]);
    }
}

class PackSceneTest : public ::testing::Test {
protected:
    PackSceneTest() : folder(L"pack") {
        info.compressDir = folder / L"compress";
        info.scenePath = rud::WideToUtf8(folder / L"Villa.max");
    }
    ClientUserInfo DirectSaveUser(const std::wstring& savePath) {
        ClientUserInfo user;
        user.userName = rud::kDirectSaveAccounts[1];
        user.savePath = savePath;
        user.savePathUtf8 = rud::WideToUtf8(savePath);
        user.valid = true;
        return user;
    }
    rudtest::ScratchFolder folder;
    rud::RUDRenderingDataMgr store;
    ClientInfo info;
};

TEST_F(PackSceneTest, UsualCaseArchivesIntoTheCompressFolderWithoutPassword) {
    ClientUserInfo stranger;
    stranger.userName = L"12345678";
    stranger.valid = true;
    ClientUserInfo invalidAccount = DirectSaveUser(folder.Path());
    invalidAccount.valid = false;
    const ClientUserInfo* users[] = {nullptr, &stranger, &invalidAccount};
    for (const ClientUserInfo* user : users) {
        std::wstring wide;
        EXPECT_TRUE(rud::PackScene(store, info, user, &wide));
        const std::string prefix = rud::WideToUtf8(folder / L"compress") + "/Villa_";
        EXPECT_EQ(info.compressPath.rfind(prefix, 0), 0u) << info.compressPath;
        EXPECT_TRUE(std::regex_match(info.compressPath.substr(prefix.size()), std::regex("[a-zA-Z0-9]{6}\\.7z")));
        EXPECT_EQ(info.zipArguments, " a -mx=3 -mmt=2 -t7z \"" + info.compressPath + "\" \"" + info.scenePath + "\"");
        EXPECT_EQ(wide, rud::Utf8ToWide(info.zipArguments));
    }
    EXPECT_TRUE(rudtest::FileExists(folder / L"compress"));
}

TEST_F(PackSceneTest, DirectSaveAccountArchivesIntoItsSaveFolderWithPassword) {
    const std::wstring saveFolder = folder / L"saved";
    ::CreateDirectoryW(saveFolder.c_str(), nullptr);
    const ClientUserInfo user = DirectSaveUser(saveFolder);
    ASSERT_TRUE(rud::PackScene(store, info, &user));
    const std::string expectedFolder = rud::WideToUtf8(saveFolder) + "/Villa/Villa_";
    EXPECT_EQ(info.compressPath.rfind(expectedFolder, 0), 0u) << info.compressPath;
    EXPECT_TRUE(rudtest::FileExists(saveFolder + L"\\Villa"));
    EXPECT_EQ(info.zipArguments, " a -mx=3 -mmt=2 -t7z -p" + rud::ArchivePassword("Villa") + " \"" +
                                     info.compressPath + "\" \"" + info.scenePath + "\"");
}

TEST_F(PackSceneTest, DirectSaveWithoutItsFolderKeepsThePasswordAndTheUsualFolder) {
    const ClientUserInfo missingFolder = DirectSaveUser(folder / L"absent");
    ASSERT_TRUE(rud::PackScene(store, info, &missingFolder));
    EXPECT_NE(info.compressPath.find("compress/Villa_"), std::string::npos);
    EXPECT_NE(info.zipArguments.find(" -p" + rud::ArchivePassword("Villa") + " "), std::string::npos);

    const ClientUserInfo oneCharacter = DirectSaveUser(L"C");   // too short to be a folder: usual case
    ASSERT_TRUE(rud::PackScene(store, info, &oneCharacter));
    EXPECT_EQ(info.zipArguments.find(" -p"), std::string::npos);
    EXPECT_NE(info.compressPath.find("compress/Villa_"), std::string::npos);
}

TEST_F(PackSceneTest, RefusesNamesEndingInDotOrSpaceOrEmpty) {
    const struct { const char* name; bool accepted; } cases[] = {
        {"\\Villa..max", false}, {"\\Villa .max", false}, {"\\.max", false}, {"\\", false},
        {"\\Villa.max", true}, {"\\Vil la.max", true},
    };
    for (const auto& c : cases) {
        info.compressPath.clear();
        info.zipArguments.clear();
        info.scenePath = rud::WideToUtf8(folder.Path()) + c.name;
        EXPECT_EQ(rud::PackScene(store, info, nullptr), c.accepted) << c.name;
        EXPECT_FALSE(info.compressPath.empty());   // set either way
        EXPECT_FALSE(info.zipArguments.empty());
    }
}

TEST_F(PackSceneTest, KeepsChineseNamesInTheWideArguments) {
    info.scenePath = rud::WideToUtf8(folder / L"\x522b\x5885.max");   // 别墅.max
    std::wstring wide;
    ASSERT_TRUE(rud::PackScene(store, info, nullptr, &wide));
    EXPECT_NE(info.compressPath.find("/\xe5\x88\xab\xe5\xa2\x85_"), std::string::npos) << info.compressPath;
    EXPECT_NE(wide.find(L"\\\x522b\x5885.max\""), std::wstring::npos);
    EXPECT_NE(wide.find(L"/\x522b\x5885_"), std::wstring::npos);
}

TEST(ArchiverCommandLine, QuotesTheProgramPath) {
    EXPECT_EQ(rud::ArchiverCommandLine(L"C:/ProgramData/RUD Rendering/7-Zip/7z.exe", L" a \"x\""),
              L"\"C:/ProgramData/RUD Rendering/7-Zip/7z.exe\" a \"x\"");
}

// The stand-in 7z.exe hands the work to the real 7-Zip: the archive exists afterwards and the
// store saw its size.
TEST(RunArchiver, PacksTheSceneWithTheDataFolderArchiver) {
    if (!rudtest::StandInsAvailable()) GTEST_SKIP() << "needs the stand-in 7-Zip under Wine";
    rudtest::ScratchFolder folder(L"archiver");
    rudtest::WriteFileBytes(folder / L"\x522b\x5885 tower.max", std::string(200000, 'x'));
    rud::RUDRenderingDataMgr store;
    ClientInfo info;
    info.zipExePath = rudtest::BinFolder() + L"\\7z.exe";
    info.compressDir = folder / L"compress";
    info.scenePath = rud::WideToUtf8(folder / L"\x522b\x5885 tower.max");
    std::wstring wide;
    ASSERT_TRUE(rud::PackScene(store, info, nullptr, &wide));
    rud::RunArchiver(store, info, wide);
    const std::wstring archive = rud::Utf8ToWide(info.compressPath);
    ASSERT_TRUE(rudtest::FileExists(archive)) << info.compressPath;
    EXPECT_EQ(rudtest::ReadFileBytes(archive).substr(0, 2), "7z");
    EXPECT_EQ(store.busyArchiveBytes.load(), static_cast<int64_t>(rudtest::ReadFileBytes(archive).size()));
}

} // namespace
