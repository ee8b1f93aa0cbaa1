#pragma once
// Settling which scene file the farm receives, and the safety copy made before the virus checks.
#include "analysis/SceneAnalysis.h"
#include "core/LogChannel.h"

#include <windows.h>

#include <string>

namespace rud {

// Longest path (without the ending zero) of a saved copy or a backup.
constexpr size_t kMaxScenePathLength = 259;

enum class SceneCopyStatus {
    kReady,        // resultPath names the file to submit
    kNoSceneFile,  // never saved, no folder in the path, or the host could not save
    kPathTooLong,  // the typed name would make a path beyond kMaxScenePathLength: nothing saved
};

enum class TypedNameVerdict {
    kOpenScene,          // empty, or the open scene's own file: nothing is saved over anything else
    kNewFile,            // a name no file in the scene's folder has yet
    kReplacesOtherFile,  // another file of the folder has this name: ask the artist first
    kRefused,            // not a name the farm or Windows can carry, or one leading elsewhere
};

// What the name typed in the scene-name field (without ".max") comes to, judged against the
// open scene's path. The save follows it, so that what the artist was asked about and what
// the host writes are one and the same file.
struct TypedSceneJudgement {
    TypedNameVerdict verdict = TypedNameVerdict::kRefused;
    std::wstring typedName;
    // The file the farm receives: the open scene's own for kOpenScene, else the typed name
    // beside it (empty when the open scene has no folder to put it in).
    std::wstring path;
};

// True when the name alone (without ".max") cannot be a scene file: the farm's characters,
// names Windows changes or keeps for devices. Decided without the host, so that it can be
// asked before anything is saved.
[[nodiscard]] bool IsRefusedSceneName(const std::wstring& typedName);

[[nodiscard]] TypedSceneJudgement JudgeTypedSceneName(const std::wstring& typedName, const std::wstring& openScenePath);

// Uses the open scene's file when the judgement says so; otherwise has the host save the scene
// to the judged path. Fills the scene's sceneFilePath (when empty) and sceneFileName. An empty
// typed name is replaced by the file's name without ".max", given in `shownName` for the artist
// (left empty otherwise).
[[nodiscard]] SceneCopyStatus SettleSceneFile(SceneAnalysis& scene, std::string& resultPath,
                                              std::wstring& shownName, const TypedSceneJudgement& judgement);
// Judges the typed name against the open scene and settles the file in one go, returning the
// path (UTF-8), empty when the submission cannot go on. For callers that ask nothing between.
std::string SaveSceneCopy(SceneAnalysis& scene, std::string& resultPath, std::wstring& shownName,
                          const std::wstring& typedName);

// "<base>_<number as six digits>", e.g. tower and 417 give tower_000417.
std::wstring BackupBaseName(const std::wstring& baseName, int number);
// The backup path beside `scenePath` for `number`; empty when the path's parts or the result
// exceed the path limits (drive 2, folder 255, name 255, extension 255, whole path 259).
std::wstring MakeBackupPath(const std::wstring& scenePath, int number);

// Copies the scene file (UTF-8 path) to a backup path no file takes yet (a random number, then the
// numbers after it) and logs the outcome to `log`. On success `backupPath` receives the copy's path. Non-zero on success.
[[nodiscard]] int BackupSceneFile(const std::string& scenePath, LogChannel& log,
                                  wchar_t (&backupPath)[kMaxScenePathLength + 1]);

} // namespace rud
