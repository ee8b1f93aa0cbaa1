#include "analysis/RUDRenderingDataMgr.h"
#include "core/ClientInfo.h"
#include "core/PluginSettings.h"
#include "core/TextConversions.h"
#include "core/WinHandles.h"
#include "tests/core/DataFolderFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using coretest::CustomBinPath;
using coretest::WriteBytes;

std::string Utf16Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::string LastLogLine(rud::RUDRenderingDataMgr& store) {
    std::string bytes = coretest::ReadBytes(coretest::FromChs(store.dataLog.BasePath() + ".log"));
    size_t end = bytes.rfind("\r\n");
    size_t start = bytes.rfind("\r\n", end == std::string::npos || end == 0 ? 0 : end - 1);
    start = start == std::string::npos ? 0 : start + 2;
    return bytes.substr(start, end - start);
}

class ClientInformation : public ::testing::Test {
protected:
    coretest::ScopedSettingsFiles keep;
    rud::RUDRenderingDataMgr& store = rud::RUDRenderingDataMgr::Instance();
};

struct CustomCase {
    const char* name;
    std::string bytes;
    bool read;
    std::wstring ip;
};

TEST_F(ClientInformation, CustomBinOverridesTheAddress) {
    const CustomCase cases[] = {
        {"key and address", Utf16Bytes(L"ip=192.168.1.9"), true, L"192.168.1.9"},
        {"byte-order mark", Utf16Bytes(L"\uFEFFip=10.1.1.1"), true, L"10.1.1.1"},
        {"two equals signs", Utf16Bytes(L"ip=a=b"), true, L"a=b"},
        {"line break kept", Utf16Bytes(L"ip=10.2.2.2\r\n"), true, L"10.2.2.2\r\n"},
        {"odd length", Utf16Bytes(L"ip=10.3.3.3") + "X", true, L"10.3.3.3"},
        {"empty value", Utf16Bytes(L"ip="), true, L""},
        {"no equals sign", Utf16Bytes(L"10.4.4.4"), false, L"from settings"},
        {"empty file", "", false, L"from settings"},
        {"text ends at a zero", Utf16Bytes(std::wstring(L"ip\0=1.1.1.1", 11)), false, L"from settings"},
    };
    for (const CustomCase& c : cases) {
        WriteBytes(CustomBinPath(), c.bytes);
        rud::ClientInfo info;
        info.ip = L"from settings";
        EXPECT_EQ(rud::ReadCustomAddress(store, info), c.read) << c.name;
        EXPECT_EQ(info.ip, c.ip) << c.name;
    }
}

TEST_F(ClientInformation, MissingCustomBinIsLoggedAndKeepsTheAddress) {
    coretest::RemoveFile(CustomBinPath());
    rud::ClientInfo info;
    info.ip = L"127.0.0.1";
    EXPECT_FALSE(rud::ReadCustomAddress(store, info));
    EXPECT_EQ(info.ip, L"127.0.0.1");
    EXPECT_NE(LastLogLine(store).find("[INFO] CreateFile error no:2"), std::string::npos) << LastLogLine(store);
}

struct PortCase {
    const wchar_t* value;  // null: no "port" key
    int32_t port;
};

TEST_F(ClientInformation, ReadsSettingsAndLaysOutTheDataFolder) {
    const PortCase cases[] = {{L"8080", 8080}, {L"80a", 80}, {nullptr, 0}, {L"abc", 0}};
    for (const PortCase& c : cases) {
        coretest::RemoveFile(rud::SettingsFilePath());
        rud::WriteSetting(L"ip", L"10.0.0.7");
        rud::WriteSetting(L"lowerversion", L"1.3.5");
        if (c.value) rud::WriteSetting(L"port", c.value);
        rud::ClientInfo info;
        EXPECT_TRUE(rud::GetClientInformation(store, info));
        EXPECT_EQ(info.port, c.port) << (c.value ? c.value : L"(none)");
        EXPECT_EQ(info.ip, L"10.0.0.7");
        EXPECT_EQ(info.lowerVersion, L"1.3.5");
    }
    EXPECT_EQ(LastLogLine(store).substr(24), "[INFO] Get client infomation successfully.");

    rud::ClientInfo info;
    (void)rud::GetClientInformation(store, info);
    const std::wstring data = rud::CommonAppDataFolder() + L"/RUD Rendering";
    EXPECT_EQ(info.jsonDir, data + L"/json");
    EXPECT_EQ(info.zipExePath, data + L"/7-Zip/7z.exe");
    EXPECT_EQ(info.compressDir, data + L"/compress");
    EXPECT_EQ(info.parserScriptPath, data + L"/script/MaxRenderGlobalsParser.mse");
    EXPECT_EQ(info.adslScriptPath, data + L"/script/RudAntivirusAdsl_UTF8.ms");
    EXPECT_EQ(info.alcScriptPath, data + L"/script/RudAntivirusAlc_UTF8.ms");
    EXPECT_EQ(info.crpScriptPath, data + L"/script/RudAntivirusCrp_UTF8.ms");
}

TEST_F(ClientInformation, CustomBinWinsOverTheSettingsAddress) {
    rud::WriteSetting(L"ip", L"10.0.0.7");
    WriteBytes(CustomBinPath(), Utf16Bytes(L"ip=172.16.0.1"));
    rud::ClientInfo info;
    (void)rud::GetClientInformation(store, info);
    EXPECT_EQ(info.ip, L"172.16.0.1");
}

// A record as the desktop client publishes it, alive while the object lives.
class PublishedRecord {
public:
    PublishedRecord(const wchar_t* name, const std::string& bytes) {
        mapping.reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           static_cast<DWORD>(bytes.size() + 1), name));
        void* view = ::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0);
        std::memcpy(view, bytes.c_str(), bytes.size() + 1);
        ::UnmapViewOfFile(view);
    }

private:
    rud::UniqueHandle mapping;
};

const wchar_t kUserRecord[] = L"KELVANTA_USERNAME_DATA";
const wchar_t kSaveRecord[] = L"KELVANTA_PLUGIN_SAVE_PATH";

TEST_F(ClientInformation, SharedMemoryRecords) {
    {
        rud::ClientUserInfo user;
        rud::ReadClientSharedMemory(store, user);
        EXPECT_TRUE(user.userName.empty());
        EXPECT_FALSE(user.valid) << "no record published";
    }
    {
        PublishedRecord name(kUserRecord, "artist01");
        rud::ClientUserInfo user;
        rud::ReadClientSharedMemory(store, user);
        EXPECT_EQ(user.userName, L"artist01");
        EXPECT_TRUE(user.savePath.empty());
        EXPECT_FALSE(user.valid) << "save path missing";
    }
    {
        const std::string savePath = "D:/\xE6\xB8\xB2\xE6\x9F\x93/scenes";  // D:/渲染/scenes
        PublishedRecord name(kUserRecord, "\xE5\xBC\xA0\xE4\xB8\x89");           // 张三
        PublishedRecord path(kSaveRecord, savePath);
        rud::ClientUserInfo user;
        rud::ReadClientSharedMemory(store, user);
        EXPECT_EQ(user.userName, L"\u5F20\u4E09");
        EXPECT_EQ(user.savePath, L"D:/\u6E32\u67D3/scenes");
        EXPECT_EQ(user.savePathUtf8, savePath);
        EXPECT_TRUE(user.valid);
    }
}

TEST_F(ClientInformation, RecordWithoutEndingZeroIsCutAt4095Bytes) {
    // Published with a zero only after 5000 bytes.
    PublishedRecord name(kUserRecord, std::string(5000, 'n'));
    PublishedRecord path(kSaveRecord, "C:/scenes");
    rud::ClientUserInfo user;
    rud::ReadClientSharedMemory(store, user);
    EXPECT_EQ(user.userName, std::wstring(4095, L'n'));
    EXPECT_TRUE(user.valid);
}

} // namespace
