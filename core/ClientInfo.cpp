#include "core/ClientInfo.h"

#include "core/DataFolders.h"
#include "core/LogChannel.h"
#include "core/PluginSettings.h"
#include "core/TextConversions.h"
#include "core/WinHandles.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace rud {
namespace {

// Shared-memory records: at most 4095 bytes of text and the ending zero.
constexpr size_t kRecordBufferSize = 4096;

std::string FormatError(const char* format, DWORD error) {
    char text[128] = {};
    std::snprintf(text, sizeof(text), format, static_cast<int>(error));
    return text;
}

// The zero-ended text of a named mapping, or false when the record cannot be read. A record
// without a zero in its first 4095 bytes is cut there.
bool ReadSharedRecord(const wchar_t* name, std::string& text) {
    UniqueHandle mapping(::OpenFileMappingW(FILE_MAP_READ, FALSE, name));
    if (!mapping) return false;
    UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) return false;
    MEMORY_BASIC_INFORMATION region{};
    size_t available = kRecordBufferSize - 1;
    if (::VirtualQuery(view.get(), &region, sizeof(region)) == sizeof(region) &&
        region.RegionSize < available)
        available = region.RegionSize;
    char buffer[kRecordBufferSize] = {};
    const char* source = static_cast<const char*>(view.get());
    size_t length = 0;
    while (length < available && source[length] != '\0') ++length;
    std::memcpy(buffer, source, length);
    text.assign(buffer, length);
    return true;
}

} // namespace

bool GetClientInformation(LogChannel& log, ClientInfo& info) {
    const std::wstring dataFolder = DataFolder();
    info.jsonDir = dataFolder + L"/json";
    info.zipExePath = dataFolder + L"/7-Zip/7z.exe";
    info.compressDir = dataFolder + L"/compress";
    info.parserScriptPath = dataFolder + L"/script/MaxRenderGlobalsParser.mse";
    info.adslScriptPath = dataFolder + L"/script/RudAntivirusAdsl_UTF8.ms";
    info.alcScriptPath = dataFolder + L"/script/RudAntivirusAlc_UTF8.ms";
    info.crpScriptPath = dataFolder + L"/script/RudAntivirusCrp_UTF8.ms";

    info.ip = ReadSetting(L"ip");
    info.port = static_cast<int32_t>(std::strtol(WideToUtf8(ReadSetting(L"port")).c_str(), nullptr, 10));
    info.lowerVersion = ReadSetting(L"lowerversion");

    // The override is optional; its outcome is logged inside.
    (void)ReadCustomAddress(log, info);

    log.write("Get client infomation successfully.", "INFO");
    return true;
}

bool ReadCustomAddress(LogChannel& log, ClientInfo& info) {
    const std::wstring path = DataFolder() + L"/script/custom.bin";
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        log.write(FormatError("CreateFile error no:%d", ::GetLastError()), "INFO");
        return false;
    }
    DWORD size = ::GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE) size = 0;
    // UTF-16 text: an odd last byte is not part of any character.
    std::vector<wchar_t> text(size / 2 + 1, L'\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), text.data(), size & ~1u, &read, nullptr)) {
        log.write(FormatError("ReadFile error no:%d", ::GetLastError()), "INFO");
        return false;
    }
    text[read / 2] = L'\0';
    file.reset();

    const std::wstring content(text.data());
    const size_t equals = content.find(L'=');
    if (content.empty() || equals == std::wstring::npos) return false;
    info.ip = content.substr(equals + 1);
    return true;
}

void ReadClientSharedMemory(ClientUserInfo& user) {
    std::string userName;
    if (!ReadSharedRecord(L"KELVANTA_USERNAME_DATA", userName)) return;
    user.userName = Utf8ToWide(userName);

    std::string savePath;
    if (!ReadSharedRecord(L"KELVANTA_PLUGIN_SAVE_PATH", savePath)) return;
    user.savePath = Utf8ToWide(savePath);
    user.savePathUtf8 = savePath;
    user.valid = true;
}

} // namespace rud
