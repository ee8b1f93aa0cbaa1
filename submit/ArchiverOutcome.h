#pragma once
// What one 7-Zip run came to. The submission goes on only with a packed archive: a task whose
// archive is missing or cut short is lost on the farm hours later, long after the artist left.
#include <windows.h>

#include <cstdint>
#include <string>

namespace rud {

enum class ArchiverOutcome {
    kPacked,      // started, ended with 0, left an archive larger than an empty one
    kNotStarted,  // the program could not be started: missing at its path, or not a program
    kFailed,      // ended with an exit code above 1 (7-Zip's error, bad command line, no memory, ...)
    kNoArchive,   // ended with 0 but left no archive, or one that holds nothing
    kSceneUnread, // ended with 1, 7-Zip's warning: the one file it was given was not read whole
};

// What 7-Zip writes for an archive with nothing in it: the signature header alone.
constexpr int64_t kEmptyArchiveBytes = 32;

// The facts of one run, as the process left them.
struct ArchiverRun {
    bool started = false;
    DWORD startError = 0;   // the system's error code when it could not be started
    DWORD exitCode = 0;     // 7-Zip's exit code when it ran
    bool cancelled = false; // the artist stopped it; whatever it left is already deleted
};

// The outcome of a run given the size of what it left at the archive path (-1: nothing there).
ArchiverOutcome ClassifyArchiverRun(const ArchiverRun& run, int64_t archiveBytes);

// Judges a finished run by what lies at `archivePath`; every outcome but kPacked deletes what
// the run left there, so that neither the client nor a later look finds a partial archive.
[[nodiscard]] ArchiverOutcome JudgeArchiverRun(const ArchiverRun& run, const std::wstring& archivePath);

// The artist's message for an outcome other than kPacked (from the worker's string table):
// what happened and what to do.
std::wstring ArchiverFailureMessage(ArchiverOutcome outcome, const ArchiverRun& run, const std::wstring& zipExePath);
// The "kiv_data" ERROR line for it, naming the program or archive path and the code.
std::string ArchiverFailureLogLine(ArchiverOutcome outcome, const ArchiverRun& run, const std::wstring& zipExePath,
                                   const std::wstring& archivePath);

} // namespace rud
