#include "standins/client/InstallFaults.h"

#include "standins/client/ClientSetup.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace rudclient {
namespace {

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

std::string Utf16WithBom(const std::wstring& text) {
    std::string bytes("\xFF\xFE", 2);
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return bytes;
}

std::wstring ReadSetting(const std::wstring& ini, const wchar_t* key) {
    wchar_t value[512] = {};
    ::GetPrivateProfileStringW(L"general", key, L"", value, 512, ini.c_str());
    return value;
}

bool ApplySettingsFault(const std::wstring& fault, const std::wstring& ini) {
    if (fault.empty()) return true;
    if (fault == L"missing") return ::DeleteFileW(ini.c_str()) != FALSE;
    if (fault == L"no-port") return ::WritePrivateProfileStringW(L"general", L"port", nullptr, ini.c_str()) != FALSE;
    // The same keys and values, written as UTF-16 little-endian with a byte-order mark.
    std::wstring text = L"[general]\r\n";
    for (const wchar_t* key : {L"ip", L"port", L"lowerversion"})
        text += std::wstring(key) + L"=" + ReadSetting(ini, key) + L"\r\n";
    return WriteBytes(ini, Utf16WithBom(text));
}

} // namespace

bool KnownSettingsFault(const std::wstring& value) {
    return value == L"missing" || value == L"no-port" || value == L"utf16";
}

bool ApplyInstallFaults(const InstallFaults& faults) {
    const std::wstring data = DataFolder();
    bool ok = ApplySettingsFault(faults.settings, data + L"\\script\\kiv_plugin.ini");
    if (faults.garbageCustomBin) {
        std::string garbage;
        for (int i = 0; i < 301; ++i) garbage.push_back(static_cast<char>((i * 7919 + 13) % 256));
        ok = WriteBytes(data + L"\\script\\custom.bin", garbage) && ok;
    }
    if (faults.noSevenZip) {
        const std::wstring sevenZip = data + L"\\7-Zip\\7z.exe";
        ok = (::DeleteFileW(sevenZip.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND) && ok;
    }
    if (!ok) std::fprintf(stderr, "client: cannot damage the installation as asked (%lu)\n", ::GetLastError());
    return ok;
}

} // namespace rudclient
