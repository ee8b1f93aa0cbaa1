// A data folder of the test program's own, made before the first test and removed after the
// last, so that no run depends on (or leaves anything in) the machine's data folder.
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

struct OwnDataFolder : ::testing::Environment {
    void SetUp() override { folder = rudtest::UseOwnDataFolder(L"rud_test_data_"); }
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
