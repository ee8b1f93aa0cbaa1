#pragma once
// A named log writer: one open file under the plug-in's log folder, one timestamped line per
// write, size-based rotation keeping a fixed number of older files. Never throws, never
// reports: a log that cannot be written drops its lines.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

namespace rud {

class LogChannel {
public:
    // Derives and creates the log folder, leaves the channel closed; call open before writing.
    LogChannel();
    // Derives the folder and opens <folder>\<channel>.log at once.
    LogChannel(const std::string& channel, uint32_t maxFileSizeMb, uint32_t maxFileCount,
               uint32_t compactTimestamp);
    ~LogChannel();
    LogChannel(const LogChannel&) = delete;
    LogChannel& operator=(const LogChannel&) = delete;

    void open(const std::string& channel);
    void setMaxFileSizeMb(uint32_t n);
    void setMaxFileCount(uint32_t n);
    // Appends "timestamp [level] message" and rotates when the file has grown past the limit.
    void write(std::string message, std::string level);

    // The narrow (code page 936) log folder and current base path, for tests and diagnostics.
    const std::string& Folder() const { return folder; }
    const std::string& BasePath() const { return basePath; }

private:
    // A C stream rather than std::ofstream: it can be opened with a sharing mode that denies
    // nothing, so several channel objects (and readers) may hold the same file at once.
    struct FileCloser {
        void operator()(std::FILE* file) const;
    };

    void OpenCurrentFile();
    void Rotate();
    bool NeedsRotation();

    std::string basePath;
    uint32_t maxFileSizeMb = 0;
    uint32_t maxFileCount = 1;
    std::unique_ptr<std::FILE, FileCloser> stream;
    std::string folder;
    uint32_t compactTimestamp = 0;
    // The dialog thread and the submission worker share the long-lived channels.
    std::mutex writeLock;
};

// The "kiv_http" channel of one client-link call: 2 MiB, 5 files, dashed timestamps.
std::unique_ptr<LogChannel> OpenHttpLog();

} // namespace rud
