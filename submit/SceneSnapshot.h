#pragma once
// The copy of the saved scene that is packed while the artist works on. 7-Zip opens what it packs
// for reading and lets others only read: packing the artist's own file would make every save of
// theirs fail until it ends, and a save that got through would tear the archive. The copy is the
// run's own; it goes when the run ends, whatever the outcome.
#include "core/Noncopyable.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace rud {

class RUDRenderingDataMgr;

enum class SnapshotStatus { kMade, kNoRoom, kFailed };

// Room the copy leaves free beside it, for the archive that 7-Zip writes next to it.
constexpr uint64_t kSnapshotSpareBytes = 64ull << 20;

class SceneSnapshot : kiv_Noncopyable {
public:
    SceneSnapshot() = default;
    ~SceneSnapshot();
    // Copies `scenePath` to a fresh folder "snapshot-XXXXXX" of `cacheFolder`, under the scene's
    // own file name. kNoRoom when the cache's disk has less free space than the scene plus
    // kSnapshotSpareBytes (nothing is written then).
    [[nodiscard]] SnapshotStatus Make(RUDRenderingDataMgr& store, const std::wstring& scenePath,
                                      const std::wstring& cacheFolder);
    const std::wstring& Path() const { return path_; }
    // Deletes the copy and its folder; 7-Zip is done with it.
    void Remove();

private:
    std::wstring folder_;
    std::wstring path_;
};

// Snapshot folders of the cache that a crashed or killed 3ds Max left behind: deleted when no
// process holds their files any more and they are older than a run needs to start packing.
void RemoveLeftSnapshots(RUDRenderingDataMgr& store);

} // namespace rud
