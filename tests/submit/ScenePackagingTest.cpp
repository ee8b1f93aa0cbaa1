#include "submit/FarmConfiguration.h"
#include "submit/ScenePackaging.h"
#include "tests/submit/SubmitTestSupport.h"

#include "core/TextConversions.h"

#include <gtest/gtest.h>

#include <process.h>

#include <filesystem>
#include <regex>

namespace {

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

class PackSceneTest : public ::testing::Test {
protected:
    PackSceneTest() : folder(L"pack") {
        info.compressDir = folder / L"compress";
        info.scenePath = rud::WideToUtf8(folder / L"Villa.max");
    }
    static ClientUserInfo User(const wchar_t* name, const std::wstring& savePath, bool valid = true) {
        return ClientUserInfo{name, savePath, rud::WideToUtf8(savePath), valid};
    }
    rudtest::ScratchFolder folder;
    rud::RUDRenderingDataMgr store;
    rud::ClientInfo info;
};

// Only a valid direct-save account whose save folder exists archives there; every direct-save
// account protects its archive with the password, unless its save path is too short to be one.
TEST_F(PackSceneTest, ChoosesFolderAndPasswordByAccount) {
    const std::wstring saved = folder / L"saved";
    ::CreateDirectoryW(saved.c_str(), nullptr);
    const wchar_t* directSave = rud::kDirectSaveAccounts[1];
    const ClientUserInfo stranger = User(L"12345678", saved), invalid = User(directSave, saved, false),
                         direct = User(directSave, saved), absent = User(directSave, folder / L"absent"),
                         oneCharacter = User(directSave, L"C");
    const std::string usual = rud::WideToUtf8(folder / L"compress") + "/Villa_";
    const struct { const ClientUserInfo* user; std::string prefix; bool password; } cases[] = {
        {nullptr, usual, false}, {&stranger, usual, false}, {&invalid, usual, false},
        {&direct, rud::WideToUtf8(saved) + "/Villa/Villa_", true}, {&absent, usual, true},
        {&oneCharacter, usual, false},
    };
    for (const auto& c : cases) {
        std::wstring wide;
        ASSERT_TRUE(rud::PackScene(store, info, c.user, &wide));
        EXPECT_EQ(info.compressPath.rfind(c.prefix, 0), 0u) << info.compressPath;
        EXPECT_TRUE(std::regex_match(info.compressPath.substr(c.prefix.size()), std::regex("[a-zA-Z0-9]{6}\\.7z")));
        const std::string password = c.password ? " -p" + rud::ArchivePassword("Villa") : "";
        EXPECT_EQ(info.zipArguments,
                  " a -mx=3 -mmt=on -t7z -bsp1" + password + " \"" + info.compressPath + "\" \"" + info.scenePath + "\"");
        EXPECT_EQ(wide, rud::Utf8ToWide(info.zipArguments));
    }
    EXPECT_TRUE(rud::PathExists(folder / L"compress"));
    EXPECT_TRUE(rud::PathExists(saved + L"\\Villa"));
}

// Two 3ds Max sessions pack same-named scenes at one moment into one folder: this program, run
// twice, takes an archive path in each and writes there as 7-Zip would. Two archives stay.
TEST_F(PackSceneTest, TwoProcessesPackingTheSameSceneKeepTwoArchives) {
    wchar_t parent[16] = {};
    const bool twin = ::GetEnvironmentVariableW(L"RUD_TWIN_OF", parent, 16) != 0;
    const std::wstring id = twin ? parent : std::to_wstring(::GetCurrentProcessId());
    info.compressDir = (std::filesystem::temp_directory_path() / (L"rud-twins-" + id)).wstring();
    const rud::UniqueHandle go(::CreateEventW(nullptr, TRUE, FALSE, (L"rud-twins-" + id).c_str()));
    if (twin) {   // one of the two: packs once both are up
        ASSERT_EQ(::WaitForSingleObject(go.get(), 60000), WAIT_OBJECT_0);
        ASSERT_TRUE(rud::PackScene(store, info, nullptr));
        return rudtest::WriteBytes(rud::Utf8ToWide(info.compressPath), "archive");
    }
    const std::wstring program = rudtest::BinFolder() + L"\\submit_tests.exe", quoted = L"\"" + program + L"\"";
    ::SetEnvironmentVariableW(L"RUD_TWIN_OF", id.c_str());
    intptr_t twins[2] = {};
    for (intptr_t& t : twins)
        t = _wspawnl(_P_NOWAIT, program.c_str(), quoted.c_str(), L"--gtest_brief=1", L"--gtest_filter=PackSceneTest.TwoProcesses*",
                      nullptr);
    ::SetEnvironmentVariableW(L"RUD_TWIN_OF", nullptr);
    ::SetEvent(go.get());
    int code = -1;
    for (intptr_t t : twins) EXPECT_TRUE(_cwait(&code, t, 0) != -1 && code == 0);
    const auto archives = std::distance(std::filesystem::directory_iterator(info.compressDir), {});
    std::filesystem::remove_all(info.compressDir);
    EXPECT_EQ(archives, 2);
}

TEST_F(PackSceneTest, RefusesNamesEndingInDotOrSpaceOrEmpty) {
    const struct { const char* name; bool accepted; } cases[] = {
        {"\\Villa..max", false}, {"\\Villa .max", false}, {"\\.max", false}, {"\\", false},
        {"\\Villa.max", true}, {"\\Vil la.max", true},
    };
    for (const auto& c : cases) {
        info.compressPath = info.zipArguments = "";
        info.scenePath = rud::WideToUtf8(folder.Path()) + c.name;
        EXPECT_EQ(rud::PackScene(store, info, nullptr), c.accepted) << c.name;
        EXPECT_FALSE(info.compressPath.empty() || info.zipArguments.empty());   // set either way
    }
}

TEST(ArchiverCommandLine, QuotesTheProgramPath) {
    EXPECT_EQ(rud::ArchiverCommandLine(L"C:/ProgramData/RUD Rendering/7-Zip/7z.exe", L" a \"x\""),
              L"\"C:/ProgramData/RUD Rendering/7-Zip/7z.exe\" a \"x\"");
}

} // namespace
