#pragma once
// Runs 7-Zip with its output through a pipe that the calling thread reads, and ends it early
// when asked to.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace rud {

enum class ArchiverEnd {
    kNotStarted,   // the program could not be started
    kFinished,     // it ended by itself; exitCode holds its code
    kCancelled,    // it was ended on request, and has ended
};

struct ArchiverRunResult {
    ArchiverEnd end = ArchiverEnd::kNotStarted;
    DWORD startError = 0;   // the system's error code when it could not be started
    DWORD exitCode = 0;
};

// What the run reports while it waits, on the calling thread.
struct ArchiverWatch {
    // Set by another thread to end the run: the program is terminated and waited for.
    const std::atomic<bool>* cancelRequested = nullptr;
    // Each percentage read from the program's progress output.
    std::function<void(int32_t)> onPercent;
    // Called every few tens of milliseconds while the program runs.
    std::function<void()> onPoll;
};

// Starts the command line (no window, standard input empty, standard output and error into one
// pipe), reads the progress as it comes and returns once the program has ended, by itself or
// because it was cancelled.
[[nodiscard]] ArchiverRunResult RunArchiverProcess(const std::wstring& commandLine, const ArchiverWatch& watch);

} // namespace rud
