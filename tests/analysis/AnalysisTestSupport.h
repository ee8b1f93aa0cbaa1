#pragma once
// Helpers shared by the analysis tests: stores on their own, the lines a log gained during a
// test, and report texts by string ID.
#include "analysis/RUDRenderingDataMgr.h"
#include "core/DataFolders.h"
#include "core/LogChannel.h"
#include "core/ResourceStrings.h"

#include <windows.h>

#include <memory>
#include <string>

namespace rudtest {

// Log channels write below the data folder, which the installer would have made.
inline void EnsureDataFolder() {
    ::CreateDirectoryW(rud::CommonAppDataFolder().c_str(), nullptr);
    ::CreateDirectoryW(rud::DataFolder().c_str(), nullptr);
    ::CreateDirectoryW((rud::DataFolder() + L"/json").c_str(), nullptr);
}

inline std::unique_ptr<rud::RUDRenderingDataMgr> MakeStore() {
    EnsureDataFolder();
    return std::make_unique<rud::RUDRenderingDataMgr>();
}

inline std::wstring ResText(int id) {
    const wchar_t* text = rud::LoadResourceTextA(id);
    return text ? std::wstring(text) : std::wstring();
}

// What a channel's current file gained since construction.
class LogTail {
public:
    explicit LogTail(const rud::LogChannel& log) : path_(log.BasePath() + ".log"), start_(Size()) {}
    std::string Text() const {
        std::string all = Read();
        return all.size() >= start_ ? all.substr(start_) : all;
    }
    bool Has(const std::string& level, const std::string& message) const {
        return Text().find("[" + level + "] " + message) != std::string::npos;
    }
    size_t Count(const std::string& needle) const {
        std::string text = Text();
        size_t count = 0;
        for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
        return count;
    }

private:
    std::string Read() const {
        std::string bytes;
        HANDLE file = ::CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return bytes;
        char chunk[65536];
        DWORD read = 0;
        while (::ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) bytes.append(chunk, read);
        ::CloseHandle(file);
        return bytes;
    }
    size_t Size() const { return Read().size(); }

    std::string path_;
    size_t start_;
};

} // namespace rudtest
