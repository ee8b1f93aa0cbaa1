#include "analysis/RUDRenderingDataMgr.h"
#include "core/ClientInfo.h"
#include "core/PluginSettings.h"
#include "core/WinHandles.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <tuple>

namespace {

struct ClientInformation : ::testing::Test {
    bool LogEndsWith(const std::string& tail) {
        const std::string bytes = rudtest::ReadBytes(rud::AnsiChsToWide(store.dataLog.BasePath() + ".log"));
        return bytes.size() >= tail.size() && bytes.compare(bytes.size() - tail.size(), tail.size(), tail) == 0;
    }
    rudtest::ScopedSettingsFile keep;
    rud::RUDRenderingDataMgr& store = rud::RUDRenderingDataMgr::Instance();
};

// The address and port rules themselves are the fuzzer's settings model (fuzz_short); here what
// the log says.
TEST_F(ClientInformation, LogsAMissingCustomBinAndTheRead) {
    rud::ClientInfo info;
    info.ip = L"kept";
    EXPECT_FALSE(rud::ReadCustomAddress(store, info));
    EXPECT_EQ(info.ip, L"kept");
    EXPECT_EQ(store.dataLog.BasePath(), store.dataLog.Folder() + "\\kiv_data");
    EXPECT_TRUE(LogEndsWith(" [INFO] CreateFile error no:2\r\n"));
    rud::WriteSetting(L"port", L"8080");
    EXPECT_TRUE(rud::GetClientInformation(store, info));
    EXPECT_EQ(info.port, 8080);
    EXPECT_TRUE(LogEndsWith(" [INFO] Get client infomation successfully.\r\n"));
}

// A record as the desktop client publishes it (bytes and an ending zero), alive while the handle lives.
rud::UniqueHandle Publish(const wchar_t* name, const std::optional<std::string>& bytes) {
    if (!bytes) return rud::UniqueHandle();
    rud::UniqueHandle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                   static_cast<DWORD>(bytes->size() + 1), name));
    rud::UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
    std::memcpy(const_cast<void*>(view.get()), bytes->c_str(), bytes->size() + 1);
    return mapping;
}

TEST_F(ClientInformation, SharedMemoryRecords) {
    const std::string chinesePath = "D:/\xE6\xB8\xB2\xE6\x9F\x93/scenes";  // D:/渲染/scenes
    const struct { std::optional<std::string> name, path; std::wstring userName, savePath; bool valid; } cases[] = {
        {std::nullopt, std::nullopt, L"", L"", false},
        {"artist01", std::nullopt, L"artist01", L"", false},
        {"\xE5\xBC\xA0\xE4\xB8\x89", chinesePath, L"\u5F20\u4E09", L"D:/\u6E32\u67D3/scenes", true},
        {std::string(5000, 'n'), "C:/scenes", std::wstring(4095, L'n'), L"C:/scenes", true},  // zero only after 5000
    };
    for (const auto& c : cases) {
        rud::UniqueHandle name = Publish(L"KELVANTA_USERNAME_DATA", c.name);
        rud::UniqueHandle path = Publish(L"KELVANTA_PLUGIN_SAVE_PATH", c.path);
        rud::ClientUserInfo info;
        rud::ReadClientSharedMemory(store, info);
        EXPECT_EQ(std::tie(info.userName, info.savePath, info.savePathUtf8, info.valid),
                  std::make_tuple(c.userName, c.savePath, c.valid ? *c.path : std::string(), c.valid));
    }
}

} // namespace
