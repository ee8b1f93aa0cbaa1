#include "standins/client/ClientSetup.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>

namespace rudclient {
namespace {

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path))) return std::wstring();
    return path;
}

bool MakeFolders(const std::wstring& folder) {
    int result = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS) return true;
    std::fprintf(stderr, "client: cannot create %ls (%d)\n", folder.c_str(), result);
    return false;
}

bool WriteFileIfMissing(const std::wstring& path, const std::string& content) {
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == content.size();
}

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD count = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &count, nullptr) && count > 0) bytes.append(buffer, count);
    ::CloseHandle(file);
    return bytes;
}

HANDLE PublishRecord(const wchar_t* name, const std::string& text) {
    HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name);
    if (!mapping) return nullptr;
    if (void* view = ::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 4096)) {
        std::memset(view, 0, 4096);
        std::memcpy(view, text.data(), text.size() < 4095 ? text.size() : 4095);
        ::UnmapViewOfFile(view);
    }
    return mapping;
}

} // namespace

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
    return out;
}

std::wstring DataFolder() { return ShellFolder(CSIDL_COMMON_APPDATA) + L"\\RUD Rendering"; }

bool LayOutDataFolder(const SetupOptions& options) {
    const std::wstring data = DataFolder();
    for (const wchar_t* sub : {L"\\script", L"\\7-Zip", L"\\json", L"\\compress"})
        if (!MakeFolders(data + sub)) return false;
    const std::wstring script = data + L"\\script\\";
    bool ok = WriteFileIfMissing(script + L"MaxRenderGlobalsParser.mse",
                                 "-- Analysis script placeholder installed by the stand-in client.\n");
    for (const wchar_t* name : {L"RudAntivirusAdsl_UTF8.ms", L"RudAntivirusAlc_UTF8.ms", L"RudAntivirusCrp_UTF8.ms"})
        ok = WriteFileIfMissing(script + name, "-- Virus-check script placeholder installed by the stand-in client.\n") && ok;
    if (!options.sevenZipSource.empty()) {
        const std::wstring target = data + L"\\7-Zip\\7z.exe";
        // A copy that is already there may be running for another listener: leave it alone.
        const bool current = ReadAll(target) == ReadAll(options.sevenZipSource);
        if (!current && !::CopyFileW(options.sevenZipSource.c_str(), target.c_str(), FALSE)) {
            std::fprintf(stderr, "client: cannot copy %ls (%lu)\n", options.sevenZipSource.c_str(), ::GetLastError());
            ok = false;
        }
    }
    const std::wstring ini = script + L"kiv_plugin.ini";
    ok = ::WritePrivateProfileStringW(L"general", L"ip", L"127.0.0.1", ini.c_str()) && ok;
    ok = ::WritePrivateProfileStringW(L"general", L"port", std::to_wstring(options.port).c_str(), ini.c_str()) && ok;
    ok = ::WritePrivateProfileStringW(L"general", L"lowerversion", options.lowerVersion.c_str(), ini.c_str()) && ok;
    return ok;
}

bool LayOutCacheTree() {
    return MakeFolders(ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\MIRASTOR Render Farm For Effect\\cache\\plugin_scenes");
}

SharedRecords::SharedRecords(const std::wstring& userName, const std::wstring& savePath)
    : userRecord_(PublishRecord(L"KELVANTA_USERNAME_DATA", ToUtf8(userName))),
      savePathRecord_(PublishRecord(L"KELVANTA_PLUGIN_SAVE_PATH", ToUtf8(savePath))) {}

SharedRecords::~SharedRecords() {
    if (userRecord_) ::CloseHandle(userRecord_);
    if (savePathRecord_) ::CloseHandle(savePathRecord_);
}

} // namespace rudclient
