// A data folder of the test program's own, made before the first test and removed after the
// last, so that no run depends on (or leaves anything in) the machine's data folder.
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

struct OwnDataFolder : ::testing::Environment {
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"rud_test_data_" + std::to_wstring(::GetCurrentProcessId());
        for (const wchar_t* sub : {L"", L"/script", L"/json"}) ::CreateDirectoryW((folder + sub).c_str(), nullptr);
        rud::SetDataFolderOverride(folder);
    }
    // The stores' log files may still be open; what cannot go now goes with the next cleanup of
    // the temporary folder.
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(folder), ignored);
    }
    std::wstring folder;
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new OwnDataFolder);

} // namespace
