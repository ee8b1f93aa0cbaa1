#include "submit/SceneSnapshot.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/DataFolders.h"
#include "core/FilePaths.h"
#include "core/TextConversions.h"
#include "core/WinHandles.h"
#include "submit/ScenePackaging.h"

#include <algorithm>
#include <vector>

namespace rud {
namespace {

constexpr const wchar_t* kSnapshotPrefix = L"snapshot-";
// A run makes its folder and starts 7-Zip on the copy within seconds; a younger folder may be
// another 3ds Max's, between the two.
constexpr ULONGLONG kLeftSnapshotAgeMs = 10 * 60 * 1000;

void LogError(RUDRenderingDataMgr& store, const std::string& text, DWORD error) {
    store.dataLog.write(text + ", Error Code is: " + std::to_string(error), "ERROR");
}

ULONGLONG AgeMs(const FILETIME& created) {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const ULONGLONG nowTicks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const ULONGLONG createdTicks = (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    return nowTicks > createdTicks ? (nowTicks - createdTicks) / 10000 : 0;
}

// Each entry of `pattern` (a folder + wildcard) with its find data.
template <typename Visit>
void ForEachEntry(const std::wstring& pattern, Visit visit) {
    WIN32_FIND_DATAW found{};
    const UniqueFind search(::FindFirstFileW(pattern.c_str(), &found));
    if (!search) return;
    do {
        if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..") visit(found);
    } while (::FindNextFileW(search.get(), &found));
}

// True when the folder and every file in it went. A file 7-Zip still packs cannot be deleted
// (it shares reading only), so the folder of a live run stays.
bool RemoveSnapshotFolder(const std::wstring& folder) {
    bool removed = true;
    ForEachEntry(folder + L"/*", [&](const WIN32_FIND_DATAW& file) {
        if (!::DeleteFileW((folder + L"/" + file.cFileName).c_str())) removed = false;
    });
    return ::RemoveDirectoryW(folder.c_str()) != FALSE && removed;
}

} // namespace

SceneSnapshot::~SceneSnapshot() { Remove(); }

void SceneSnapshot::Remove() {
    if (folder_.empty()) return;
    if (!path_.empty()) (void)::DeleteFileW(path_.c_str());
    (void)::RemoveDirectoryW(folder_.c_str());
    folder_.clear();
}

SnapshotStatus SceneSnapshot::Make(RUDRenderingDataMgr& store, const std::wstring& scenePath,
                                   const std::wstring& cacheFolder) {
    const uint64_t sceneBytes = static_cast<uint64_t>(std::max<int64_t>(FileBytes(scenePath), 0));
    ULARGE_INTEGER freeBytes{};
    if (::GetDiskFreeSpaceExW(cacheFolder.c_str(), &freeBytes, nullptr, nullptr) &&
        freeBytes.QuadPart < sceneBytes + kSnapshotSpareBytes) {
        store.dataLog.write("No room for the scene's snapshot in " + WideToUtf8(cacheFolder) + ": " +
                            std::to_string(freeBytes.QuadPart) + " bytes free for a scene of " +
                            std::to_string(sceneBytes) + " bytes.", "ERROR");
        return SnapshotStatus::kNoRoom;
    }
    for (int attempt = 0; attempt < 16 && folder_.empty(); ++attempt) {
        const std::wstring folder = cacheFolder + L"/" + kSnapshotPrefix + Utf8ToWide(RandomSuffix());
        if (::CreateDirectoryW(folder.c_str(), nullptr)) folder_ = folder;
        else if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    if (folder_.empty()) {
        LogError(store, "The scene's snapshot folder cannot be made in " + WideToUtf8(cacheFolder), ::GetLastError());
        return SnapshotStatus::kFailed;
    }
    path_ = folder_ + L"/" + FileNameOf(scenePath);
    if (!::CopyFileW(scenePath.c_str(), path_.c_str(), TRUE)) {
        const DWORD error = ::GetLastError();
        LogError(store, "The scene " + WideToUtf8(scenePath) + " cannot be copied to " + WideToUtf8(path_), error);
        (void)::DeleteFileW(path_.c_str());
        return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? SnapshotStatus::kNoRoom
                                                                          : SnapshotStatus::kFailed;
    }
    store.dataLog.write("The scene was copied to " + WideToUtf8(path_) + " to be packed.", "INFO");
    return SnapshotStatus::kMade;
}

void RemoveLeftSnapshots(RUDRenderingDataMgr& store) {
    const std::wstring cache = SceneCacheFolder();
    ForEachEntry(cache + L"*_plugin_output", [&](const WIN32_FIND_DATAW& task) {
        if (!(task.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
        const std::wstring taskFolder = cache + task.cFileName;
        ForEachEntry(taskFolder + L"/" + kSnapshotPrefix + L"*", [&](const WIN32_FIND_DATAW& snapshot) {
            if (!(snapshot.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
            if (AgeMs(snapshot.ftCreationTime) < kLeftSnapshotAgeMs) return;
            const std::wstring folder = taskFolder + L"/" + snapshot.cFileName;
            if (RemoveSnapshotFolder(folder))
                store.dataLog.write("Deleted a scene snapshot an earlier session left: " + WideToUtf8(folder), "INFO");
        });
    });
}

} // namespace rud
