// Snapshot folders a crashed session left in the cache: which go at the next start, which stay.
#include "submit/SceneSnapshot.h"
#include "tests/submit/SubmitTestSupport.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/DataFolders.h"
#include "core/WinHandles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A folder's times moved back by `minutes`, as a session that long ago left it.
bool MakeOlder(const std::wstring& path, int minutes) {
    const rud::UniqueHandle handle(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
    ticks.QuadPart -= static_cast<ULONGLONG>(minutes) * 60 * 10000000;
    const FILETIME then{ticks.LowPart, ticks.HighPart};
    return handle && ::SetFileTime(handle.get(), &then, &then, &then);
}

// Ten minutes is the limit: a younger folder may be another 3ds Max's that is about to start
// 7-Zip, and a folder whose copy another 3ds Max's 7-Zip still packs (it shares reading only)
// stays whatever its age. Only folders named as snapshots go.
TEST(LeftSnapshots, OnlyOldFoldersNoOneHoldsGo) {
    const std::wstring task = rud::SceneCacheFolder() + L"snapshot_rule.max_plugin_output";
    const struct { const wchar_t* name; int ageMinutes; bool held; bool goes; } cases[] = {
        {L"snapshot-old", 11, false, true},     {L"snapshot-a-day", 24 * 60, false, true},
        {L"snapshot-young", 0, false, false},   {L"snapshot-nine", 9, false, false},
        {L"snapshot-held", 60, true, false},    {L"compress", 60, false, false},
    };
    std::filesystem::remove_all(task);
    std::vector<rud::UniqueHandle> holders;
    for (const auto& c : cases) {
        const std::wstring folder = task + L"/" + c.name;
        std::filesystem::create_directories(folder);
        rudtest::WriteBytes(folder + L"/Villa.max", "scene copy");
        if (c.held)
            holders.emplace_back(::CreateFileW((folder + L"/Villa.max").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
        if (c.ageMinutes == 0) continue;
        ASSERT_TRUE(MakeOlder(folder, c.ageMinutes)) << ::GetLastError();
    }
    rud::RUDRenderingDataMgr store;
    rud::RemoveLeftSnapshots(store);
    for (const auto& c : cases) {
        EXPECT_EQ(!rud::PathExists(task + L"/" + c.name), c.goes) << rud::WideToUtf8(c.name);
        if (!c.goes) {
            EXPECT_TRUE(rud::PathExists(task + L"/" + c.name + L"/Villa.max")) << rud::WideToUtf8(c.name);
        }
    }
    holders.clear();
    std::filesystem::remove_all(task);
}

} // namespace
