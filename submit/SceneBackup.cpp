#include "submit/SceneBackup.h"

#include "core/FilePaths.h"
#include "core/TextConversions.h"
#include "host/HostOperations.h"
#include "analysis/SceneAcceptance.h"

#include <cwchar>

namespace rud {
namespace {

// File names compare as Windows compares them: without regard to case.
bool SameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Windows decides what names a device, with its own rules ("CON .a", "NUL.tar.max"): the full
// path it gives such a name is the device's "\\.\" path. A name it cannot make a path of is
// refused with it. COM0 and LPT0 are reserved by Windows' naming rules, yet not every version
// (nor Wine) reports them as devices, so their stem, cut as Windows cuts one, is refused too.
bool WindowsTakesForDevice(const std::wstring& fileName) {
    const DWORD needed = ::GetFullPathNameW(fileName.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return true;
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(fileName.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed) return true;
    if (full.compare(0, 4, L"\\\\.\\") == 0) return true;
    std::wstring stem = fileName.substr(0, fileName.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    return SameText(stem, L"COM0") || SameText(stem, L"LPT0");
}

} // namespace

bool IsRefusedSceneName(const std::wstring& typedName) {
    // The farm's character rule lets ":" and "?" through, but in a file name ":" names a hidden
    // stream of another file and "?" is no name at all; Windows also drops a trailing space or
    // dot, so the scene would land under another name than the one the task names.
    return !IsAllowedSceneName(typedName) || typedName.find_first_of(L":?`") != std::wstring::npos ||
           typedName.back() == L' ' || typedName.back() == L'.' || WindowsTakesForDevice(typedName + L".max");
}

TypedSceneJudgement JudgeTypedSceneName(const std::wstring& typedName, const std::wstring& openScenePath) {
    TypedSceneJudgement judgement;
    judgement.typedName = typedName;
    if (typedName.empty()) {
        judgement.verdict = TypedNameVerdict::kOpenScene;
        judgement.path = openScenePath;
        return judgement;
    }
    if (IsRefusedSceneName(typedName)) return judgement;
    // One rule for the folder, whichever separators the host's path mixes: the last of either.
    const size_t separator = openScenePath.find_last_of(L"/\\");
    if (separator == std::wstring::npos) {
        judgement.verdict = TypedNameVerdict::kNewFile;
        return judgement;
    }
    judgement.path = openScenePath.substr(0, separator + 1) + typedName + L".max";
    // Windows compares paths without regard to case, and a short name ("VILLA~1") reaches the
    // file it was given to: "villa" over "Villa.MAX" is the open scene itself, not another file
    // to save over it, and an alias of another file is judged, and named, as that file.
    if (SameFilePath(judgement.path, openScenePath)) {
        judgement.verdict = TypedNameVerdict::kOpenScene;
        judgement.path = openScenePath;
        return judgement;
    }
    const DWORD attributes = ::GetFileAttributesW(judgement.path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        judgement.verdict = TypedNameVerdict::kNewFile;
        return judgement;
    }
    judgement.verdict = TypedNameVerdict::kReplacesOtherFile;
    judgement.path = LongFullPath(judgement.path);
    return judgement;
}

SceneCopyStatus SettleSceneFile(RUDRenderingDataMgr& store, std::string& resultPath, std::wstring& shownName,
                                const TypedSceneJudgement& judgement) {
    resultPath.clear();
    shownName.clear();
    const std::wstring openPath = Host().CurrentSceneFilePath();
    if (store.sceneFilePath.empty()) store.sceneFilePath = WideToUtf8(openPath);
    if (openPath.empty() || judgement.verdict == TypedNameVerdict::kRefused) return SceneCopyStatus::kNoSceneFile;

    if (judgement.verdict == TypedNameVerdict::kOpenScene) {
        // The artist submits the file as it is on disk; nothing is saved over it.
        const std::wstring fileName = FileNameOf(openPath);
        store.sceneFileName = WideToUtf8(fileName);
        if (judgement.typedName.empty()) {
            shownName = fileName.size() < 4 ? fileName : fileName.substr(0, fileName.size() - 4);
        }
        resultPath = WideToUtf8(openPath);
        return SceneCopyStatus::kReady;
    }

    // The file's own name: a short name typed for another file saves over that file.
    store.sceneFileName = WideToUtf8(judgement.path.empty() ? judgement.typedName + L".max" : FileNameOf(judgement.path));
    if (judgement.path.empty()) return SceneCopyStatus::kNoSceneFile;
    if (judgement.path.size() > kMaxScenePathLength) return SceneCopyStatus::kPathTooLong;
    if (!Host().SaveSceneTo(judgement.path)) return SceneCopyStatus::kNoSceneFile;
    resultPath = WideToUtf8(judgement.path);
    return SceneCopyStatus::kReady;
}

std::string SaveSceneCopy(RUDRenderingDataMgr& store, std::string& resultPath, std::wstring& shownName,
                          const std::wstring& typedName) {
    (void)SettleSceneFile(store, resultPath, shownName, JudgeTypedSceneName(typedName, Host().CurrentSceneFilePath()));
    return resultPath;
}

std::wstring BackupBaseName(const std::wstring& baseName, int number) {
    wchar_t text[1024] = {};
    ::wsprintfW(text, L"%s_%06d", baseName.c_str(), number);
    return text;
}

std::wstring MakeBackupPath(const std::wstring& scenePath, int number) {
    wchar_t drive[3] = {}, folder[256] = {}, base[256] = {}, extension[256] = {};
    if (_wsplitpath_s(scenePath.c_str(), drive, 3, folder, 256, base, 256, extension, 256) != 0)
        return std::wstring();
    const std::wstring newBase = BackupBaseName(base, number);
    wchar_t path[kMaxScenePathLength + 1] = {};
    if (_wmakepath_s(path, kMaxScenePathLength + 1, drive, folder, newBase.c_str(), extension) != 0)
        return std::wstring();
    return path;
}

int BackupSceneFile(RUDRenderingDataMgr& store, wchar_t (&backupPath)[kMaxScenePathLength + 1]) {
    const std::wstring source = Utf8ToWide(store.sceneFilePath);
    // A backup never replaces a file: the name may be another session's backup of the same
    // scene, or a file of the artist's. A taken name moves on to the next number.
    constexpr int kNumbers = 1000000;   // what six digits hold
    constexpr int kTries = 100;
    const int first = static_cast<int>(UniqueRandomNumber() % kNumbers);
    std::wstring target;
    BOOL copied = FALSE;
    DWORD error = ERROR_SUCCESS;
    int taken = 0;
    for (; taken < kTries; ++taken) {
        target = MakeBackupPath(source, (first + taken) % kNumbers);
        if (target.empty()) break;
        copied = ::CopyFileW(source.c_str(), target.c_str(), TRUE);
        error = copied ? ERROR_SUCCESS : ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    std::wstring message = L"Backup file from " + source + L" to " + target;
    if (target.empty()) {
        store.dataLog.write(WideToUtf8(message + L" Error! The path is too long."), "WARN");
        return 0;
    }
    if (taken > 0) message += L" (" + std::to_wstring(taken) + L" names taken)";
    if (copied) {
        message += L" Success!";
        wcsncpy(backupPath, target.c_str(), kMaxScenePathLength);
        backupPath[kMaxScenePathLength] = L'\0';
    } else {
        message += L" Error! Code is " + std::to_wstring(error);
    }
    store.dataLog.write(WideToUtf8(message), "WARN");
    return copied;
}

} // namespace rud
