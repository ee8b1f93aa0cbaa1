#include "core/LogChannel.h"

#include "core/DataFolders.h"
#include "core/PluginSettings.h"
#include "core/TextConversions.h"

#include <windows.h>
#include <share.h>

#include <cstdio>
#include <cstring>

namespace rud {
namespace {

// The log folder of every channel: <data folder>/log<lowerversion>, created one level deep,
// as code page 936 text. Empty when Windows gives no common application data folder, which
// leaves logging off.
std::string DeriveLogFolder() {
    if (CommonAppDataFolder().empty()) return {};
    std::wstring folder = DataFolder() + L"/log" + ReadSetting(L"lowerversion");
    return WideToAnsiChs(folder);
}

// File operations take the wide form of the narrow path, so they do not depend on the system
// code page being 936.
std::wstring WidePath(const std::string& narrowPath) {
    if (narrowPath.empty()) return {};
    int length = ::MultiByteToWideChar(936, 0, narrowPath.data(),
                                       static_cast<int>(narrowPath.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(936, 0, narrowPath.data(), static_cast<int>(narrowPath.size()),
                          &wide[0], length);
    return wide;
}

bool FileExists(const std::string& path) {
    std::wstring wide = WidePath(path);
    return !wide.empty() && ::GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void EnsureFolder(const std::string& folder) {
    if (folder.empty() || FileExists(folder)) return;
    ::CreateDirectoryW(WidePath(folder).c_str(), nullptr);
}

std::string OlderFileName(const std::string& basePath, uint32_t n) {
    return basePath + std::to_string(n) + ".log";
}

std::string Timestamp(uint32_t compact) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char text[64] = {};
    std::snprintf(text, sizeof(text),
                  compact ? "%4d%02d%02d %02d:%02d:%02d:%03d" : "%4d-%02d-%02d %02d:%02d:%02d:%03d",
                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                  now.wMilliseconds);
    return text;
}

} // namespace

void LogChannel::FileCloser::operator()(std::FILE* file) const {
    if (file) std::fclose(file);
}

LogChannel::LogChannel() : folder(DeriveLogFolder()) { EnsureFolder(folder); }

LogChannel::LogChannel(const std::string& channel, uint32_t maxFileSizeMb_, uint32_t maxFileCount_,
                       uint32_t compactTimestamp_)
    : maxFileSizeMb(maxFileSizeMb_), maxFileCount(maxFileCount_), folder(DeriveLogFolder()),
      compactTimestamp(compactTimestamp_) {
    if (folder.empty()) return;
    basePath = folder + "\\" + channel;
    EnsureFolder(folder);
    OpenCurrentFile();
}

LogChannel::~LogChannel() = default;

void LogChannel::open(const std::string& channel) {
    std::lock_guard<std::mutex> guard(writeLock);
    if (folder.empty()) return;
    basePath = folder + "\\" + channel;
    EnsureFolder(folder);
    OpenCurrentFile();
}

void LogChannel::setMaxFileSizeMb(uint32_t n) {
    std::lock_guard<std::mutex> guard(writeLock);
    maxFileSizeMb = n;
}

void LogChannel::setMaxFileCount(uint32_t n) {
    std::lock_guard<std::mutex> guard(writeLock);
    maxFileCount = n;
}

void LogChannel::OpenCurrentFile() {
    stream.reset();
    std::wstring path = WidePath(basePath + ".log");
    if (path.empty()) return;
    // Append, text mode (lines end in CR LF), and share everything with other openers.
    stream.reset(::_wfsopen(path.c_str(), L"a", _SH_DENYNO));
}

void LogChannel::write(std::string message, std::string level) {
    std::lock_guard<std::mutex> guard(writeLock);
    if (!stream) return;
    std::string line = Timestamp(compactTimestamp) + " [" + level + "] " + message + "\n";
    // One write and a flush per line, so that channels sharing the file never split a line.
    std::fwrite(line.data(), 1, line.size(), stream.get());
    std::fflush(stream.get());
    if (NeedsRotation()) Rotate();
}

bool LogChannel::NeedsRotation() {
    std::FILE* file = stream.get();
    long long position = ::_ftelli64(file);
    if (::_fseeki64(file, 0, SEEK_END) != 0) return false;
    long long size = ::_ftelli64(file);
    if (position >= 0) ::_fseeki64(file, position, SEEK_SET);
    if (size < 0) return false;
    // Compared as signed 32-bit kibibyte counts.
    int32_t sizeKib = static_cast<int32_t>(size / 1024);
    int32_t limitKib = static_cast<int32_t>(maxFileSizeMb * 1024u);
    return sizeKib >= limitKib;
}

void LogChannel::Rotate() {
    stream.reset();
    for (uint32_t n = maxFileCount > 0 ? maxFileCount - 1 : 0; n >= 1; --n) {
        std::string older = OlderFileName(basePath, n);
        if (!FileExists(older)) continue;
        if (n == maxFileCount - 1)
            ::DeleteFileW(WidePath(older).c_str());
        else
            ::MoveFileW(WidePath(older).c_str(), WidePath(OlderFileName(basePath, n + 1)).c_str());
    }
    // A failed move leaves the current file growing; the next line tries again.
    ::MoveFileW(WidePath(basePath + ".log").c_str(), WidePath(OlderFileName(basePath, 1)).c_str());
    OpenCurrentFile();
}

std::unique_ptr<LogChannel> OpenHttpLog() {
    return std::make_unique<LogChannel>("kiv_http", 2, 5, 0);
}

} // namespace rud
