#include "analysis/RUDRenderingDataMgr.h"
#include "core/ClientInfo.h"
#include "core/PluginSettings.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

struct ClientInformation : ::testing::Test {
    bool LogEndsWith(const std::string& tail) {
        const std::string bytes = rudtest::ReadBytes(rud::AnsiChsToWide(store.dataLog.BasePath() + ".log"));
        return bytes.size() >= tail.size() && bytes.compare(bytes.size() - tail.size(), tail.size(), tail) == 0;
    }
    rudtest::ScopedSettingsFile keep;
    rud::RUDRenderingDataMgr& store = rud::RUDRenderingDataMgr::Instance();
};

// The address and port rules themselves are the fuzzer's settings model, and the shared-memory
// records its model of the records (fuzz_short); here what the log says.
TEST_F(ClientInformation, LogsAMissingCustomBinAndTheRead) {
    rud::ClientInfo info;
    info.ip = L"kept";
    EXPECT_FALSE(rud::ReadCustomAddress(store.dataLog, info));
    EXPECT_EQ(info.ip, L"kept");
    EXPECT_EQ(store.dataLog.BasePath(), store.dataLog.Folder() + "\\kiv_data");
    EXPECT_TRUE(LogEndsWith(" [INFO] CreateFile error no:2\r\n"));
    rud::WriteSetting(L"port", L"8080");
    EXPECT_TRUE(rud::GetClientInformation(store.dataLog, info));
    EXPECT_EQ(info.port, 8080);
    EXPECT_TRUE(LogEndsWith(" [INFO] Get client infomation successfully.\r\n"));
}

} // namespace
