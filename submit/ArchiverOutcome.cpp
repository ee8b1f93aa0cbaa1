#include "submit/ArchiverOutcome.h"

#include "core/DataFolders.h"
#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "resources/StringIds.h"

namespace rud {
namespace {

constexpr DWORD kSevenZipWarning = 1;

} // namespace

ArchiverOutcome ClassifyArchiverRun(const ArchiverRun& run, int64_t archiveBytes) {
    if (!run.started) return ArchiverOutcome::kNotStarted;
    if (run.exitCode > kSevenZipWarning) return ArchiverOutcome::kFailed;
    // A warning is no success here: 7-Zip says it could not read a file (locked by a sync tool
    // or a virus scanner, or gone since the save), and the only file is the scene.
    if (run.exitCode == kSevenZipWarning) return ArchiverOutcome::kSceneUnread;
    return archiveBytes > kEmptyArchiveBytes ? ArchiverOutcome::kPacked : ArchiverOutcome::kNoArchive;
}

ArchiverOutcome JudgeArchiverRun(const ArchiverRun& run, const std::wstring& archivePath) {
    const int64_t bytes = FileBytes(archivePath);
    const ArchiverOutcome outcome = ClassifyArchiverRun(run, bytes);
    if (outcome != ArchiverOutcome::kPacked && bytes >= 0) ::DeleteFileW(archivePath.c_str());
    return outcome;
}

std::wstring ArchiverFailureMessage(ArchiverOutcome outcome, const ArchiverRun& run, const std::wstring& zipExePath) {
    switch (outcome) {
    case ArchiverOutcome::kNotStarted: return WorkerTextWith(IDS_SEVENZIP_NOT_STARTED, zipExePath);
    case ArchiverOutcome::kFailed: return WorkerTextWith(IDS_SEVENZIP_FAILED, std::to_wstring(run.exitCode));
    case ArchiverOutcome::kNoArchive: return WorkerText(IDS_SEVENZIP_NO_ARCHIVE);
    case ArchiverOutcome::kSceneUnread: return WorkerText(IDS_SEVENZIP_SCENE_UNREAD);
    case ArchiverOutcome::kPacked: break;
    }
    return std::wstring();
}

std::string ArchiverFailureLogLine(ArchiverOutcome outcome, const ArchiverRun& run, const std::wstring& zipExePath,
                                   const std::wstring& archivePath) {
    switch (outcome) {
    case ArchiverOutcome::kNotStarted:
        return "7-Zip could not be started: " + WideToUtf8(zipExePath) +
               ", Error Code is: " + std::to_string(run.startError);
    case ArchiverOutcome::kFailed:
        return "7-Zip failed with exit code " + std::to_string(run.exitCode) +
               " packing the scene into " + WideToUtf8(archivePath);
    case ArchiverOutcome::kNoArchive:
        return "7-Zip ended with exit code " + std::to_string(run.exitCode) +
               " but made no archive: " + WideToUtf8(archivePath);
    case ArchiverOutcome::kSceneUnread:
        return "7-Zip ended with exit code 1: the scene was not read whole into " + WideToUtf8(archivePath);
    case ArchiverOutcome::kPacked: break;
    }
    return std::string();
}

} // namespace rud
