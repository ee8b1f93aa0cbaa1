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

std::string Utf16(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

struct ClientInformation : ::testing::Test {
    bool LogEndsWith(const std::string& tail) {
        const std::string bytes = rudtest::ReadBytes(rud::AnsiChsToWide(store.dataLog.BasePath() + ".log"));
        return bytes.size() >= tail.size() && bytes.compare(bytes.size() - tail.size(), tail.size(), tail) == 0;
    }
    rudtest::ScopedSettingsFile keep;
    rud::RUDRenderingDataMgr& store = rud::RUDRenderingDataMgr::Instance();
};

TEST_F(ClientInformation, CustomBinOverridesTheAddress) {
    // Line breaks and further "=" stay in the address; an odd last byte is ignored.
    const std::pair<std::optional<std::string>, std::wstring> cases[] = {
        {Utf16(L"ip=192.168.1.9"), L"192.168.1.9"}, {Utf16(L"\uFEFFip=10.1.1.1"), L"10.1.1.1"},
        {Utf16(L"ip=a=b"), L"a=b"}, {Utf16(L"ip=10.2.2.2\r\n"), L"10.2.2.2\r\n"},
        {Utf16(L"ip=10.3.3.3") + "X", L"10.3.3.3"}, {Utf16(L"ip="), L""},
        {Utf16(L"10.4.4.4"), L"kept"}, {"", L"kept"},
        {Utf16(std::wstring(L"ip\0=1.1.1.1", 11)), L"kept"},  // the text ends at the zero
        {std::nullopt, L"kept"},  // no file: logged below
    };
    for (const auto& c : cases) {
        ::DeleteFileW(rudtest::CustomBinPath().c_str());
        if (c.first) rudtest::WriteBytes(rudtest::CustomBinPath(), *c.first);
        rud::ClientInfo info;
        info.ip = L"kept";
        EXPECT_EQ(rud::ReadCustomAddress(store, info), c.second != L"kept") << &c - cases;
        EXPECT_EQ(info.ip, c.second) << &c - cases;
    }
    EXPECT_EQ(store.dataLog.BasePath(), store.dataLog.Folder() + "\\kiv_data");
    EXPECT_TRUE(LogEndsWith(" [INFO] CreateFile error no:2\r\n"));
}

TEST_F(ClientInformation, ReadsTheSettingsFileAndCustomBinWins) {
    const std::pair<const wchar_t*, int32_t> ports[] = {{L"8080", 8080}, {L"80a", 80}, {nullptr, 0}, {L"abc", 0}};
    for (auto [port, expected] : ports) {
        ::DeleteFileW(rud::SettingsFilePath().c_str());
        rud::WriteSetting(L"ip", L"10.0.0.7");
        rud::WriteSetting(L"lowerversion", L"1.3.5");
        if (port) rud::WriteSetting(L"port", port);
        rud::ClientInfo info;
        EXPECT_TRUE(rud::GetClientInformation(store, info));
        EXPECT_EQ(info.port, expected) << (port ? port : L"(none)");
        EXPECT_TRUE(info.ip == L"10.0.0.7" && info.lowerVersion == L"1.3.5");
    }
    EXPECT_TRUE(LogEndsWith(" [INFO] Get client infomation successfully.\r\n"));

    rudtest::WriteBytes(rudtest::CustomBinPath(), Utf16(L"ip=172.16.0.1"));
    rud::ClientInfo info;
    (void)rud::GetClientInformation(store, info);
    EXPECT_EQ(info.ip, L"172.16.0.1") << "custom.bin wins over the settings file";
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
