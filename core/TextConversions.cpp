#include "core/TextConversions.h"

#include "core/LogChannel.h"
#include "core/WinHandles.h"

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace rud {
namespace {

// setlocale is process-wide: two threads converting at once must not undo each other's switch.
std::mutex localeLock;

constexpr UINT kChineseCodePage = 936;

std::string WideToCodePage(const std::wstring& text, UINT codePage) {
    if (text.empty()) return {};
    int length = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string result(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &result[0],
                          length, nullptr, nullptr);
    return result;
}

std::wstring CodePageToWide(const std::string& text, UINT codePage) {
    if (text.empty()) return {};
    int length = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0);
    if (length <= 0) return {};
    std::wstring result(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &result[0],
                          length);
    return result;
}

// The runtime functions stop at the first zero character; so do we.
std::wstring UpToZero(std::wstring text) {
    size_t zero = text.find(L'\0');
    if (zero != std::wstring::npos) text.resize(zero);
    return text;
}
std::string UpToZero(std::string text) {
    size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return text;
}

} // namespace

std::string WideToUtf8(std::wstring text) { return WideToCodePage(text, CP_UTF8); }

std::wstring Utf8ToWide(std::string text) { return CodePageToWide(text, CP_UTF8); }

std::string WideToAnsiChs(std::wstring text) {
    text = UpToZero(std::move(text));
    std::lock_guard<std::mutex> guard(localeLock);
    const char* current = std::setlocale(LC_ALL, nullptr);
    std::string previous = current ? current : "C";
    if (!std::setlocale(LC_ALL, "chs")) return WideToCodePage(text, kChineseCodePage);
    std::vector<char> buffer(2 * text.size() + 1, '\0');
    size_t written = std::wcstombs(buffer.data(), text.c_str(), buffer.size());
    std::setlocale(LC_ALL, previous.c_str());
    // A character the code page lacks stops wcstombs; the code page conversion replaces it.
    if (written == static_cast<size_t>(-1)) return WideToCodePage(text, kChineseCodePage);
    return std::string(buffer.data(), written);
}

std::wstring AnsiChsToWide(std::string text) {
    text = UpToZero(std::move(text));
    std::lock_guard<std::mutex> guard(localeLock);
    if (!std::setlocale(LC_ALL, "chs")) return CodePageToWide(text, kChineseCodePage);
    std::vector<wchar_t> buffer(text.size() + 1, L'\0');
    size_t written = std::mbstowcs(buffer.data(), text.c_str(), buffer.size());
    // The host expects the neutral "C" locale afterwards.
    std::setlocale(LC_ALL, "C");
    if (written == static_cast<size_t>(-1)) return CodePageToWide(text, kChineseCodePage);
    return std::wstring(buffer.data(), written);
}

std::string Utf8ToAnsi(std::string text) {
    return WideToCodePage(Utf8ToWide(std::move(text)), CP_ACP);
}

std::wstring ReadWholeFileUtf8(const std::string& path) {
    // Open through the wide form of the code page 936 path, so any path the artist's code page
    // can hold works on every system code page.
    std::wstring widePath = CodePageToWide(path, kChineseCodePage);
    if (widePath.empty()) return {};
    UniqueHandle file(::CreateFileW(widePath.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string bytes;
    char chunk[64 * 1024];
    DWORD read = 0;
    while (::ReadFile(file.get(), chunk, sizeof(chunk), &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    // MultiByteToWideChar keeps a leading byte-order mark as U+FEFF.
    return CodePageToWide(bytes, CP_UTF8);
}

std::wstring CreateGuidText() {
    std::unique_ptr<LogChannel> log = OpenHttpLog();
    GUID guid{};
    if (FAILED(::CoCreateGuid(&guid))) {
        log->write("The GUID generate failed!", "ERROR");
        return {};
    }
    char text[2048] = {};
    std::snprintf(text, sizeof(text), "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return AnsiChsToWide(text);
}

uint64_t UniqueRandomNumber() {
    // A version-4 GUID's first 48 bits come from the system's cryptographic generator.
    GUID guid{};
    if (SUCCEEDED(::CoCreateGuid(&guid))) return (static_cast<uint64_t>(guid.Data1) << 16) | guid.Data2;
    // Without it, the process, a counter and the clock still tell two processes and two calls
    // apart; the mix spreads them over all the bits.
    static std::atomic<uint32_t> calls{0};
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    uint64_t mixed = (static_cast<uint64_t>(::GetCurrentProcessId()) << 40) ^ (static_cast<uint64_t>(++calls) << 24) ^
                     static_cast<uint64_t>(now.QuadPart);
    mixed = (mixed ^ (mixed >> 30)) * 0xbf58476d1ce4e5b9ULL;
    mixed = (mixed ^ (mixed >> 27)) * 0x94d049bb133111ebULL;
    return mixed ^ (mixed >> 31);
}

} // namespace rud
