#include "tests/core/DataFolderFixture.h"

#include <gtest/gtest.h>

namespace coretest {
namespace fs = std::filesystem;

// Removes what it can: files the process still holds open (the stores' own logs) stay behind.
static void RemoveTree(const fs::path& folder) {
    std::error_code error, ignored;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        fs::is_directory(it->path(), ignored) ? RemoveTree(it->path()) : (void)fs::remove(it->path(), ignored);
    fs::remove(folder, ignored);
}

// Creates the data folder and its script folder for the run and removes what it created.
struct DataFolderEnvironment : ::testing::Environment {
    void SetUp() override {
        createdData = ::CreateDirectoryW(rud::DataFolder().c_str(), nullptr) != FALSE;
        createdScript = ::CreateDirectoryW(ScriptFolder().c_str(), nullptr) != FALSE;
    }
    void TearDown() override {
        if (createdData || createdScript) RemoveTree(createdData ? rud::DataFolder() : ScriptFolder());
    }
    static std::wstring ScriptFolder() { return rud::DataFolder() + L"/script"; }
    bool createdData = false, createdScript = false;
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new DataFolderEnvironment);

} // namespace coretest
