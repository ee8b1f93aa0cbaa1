// RunArchiver with the stand-in 7z.exe, which hands the work to Linux's 7zz: progress comes
// through the pipe, an old 7-Zip without the progress switch still packs, and a cancel ends
// 7-Zip and leaves no archive.
#include "submit/ScenePackaging.h"
#include "tests/submit/SubmitTestSupport.h"

#include "core/TextConversions.h"
#include "core/WinHandles.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <process.h>
#include <tlhelp32.h>

#include <atomic>
#include <random>
#include <thread>

namespace {

class ArchiverRunTest : public ::testing::Test {
protected:
    ArchiverRunTest() : folder(L"archiver-run") {}
    void SetUp() override {
        if (!rudtest::SevenZipStandInAvailable()) GTEST_SKIP() << "needs the stand-in 7-Zip under Wine";
    }
    // A scene of `noiseMb` MB that 7-Zip cannot compress, so packing takes a while.
    void MakeScene(int noiseMb) {
        std::mt19937 noise(15);
        std::string bytes(static_cast<size_t>(noiseMb) << 20, '\0');
        for (char& c : bytes) c = static_cast<char>(noise());
        rudtest::WriteBytes(folder / L"Villa.max", bytes);
        info.zipExePath = rudtest::BinFolder() + L"\\7z.exe";
        info.compressDir = folder / L"compress";
        info.scenePath = rud::WideToUtf8(folder / L"Villa.max");
        ASSERT_TRUE(rud::PackScene(store, info, nullptr, &arguments));
        archive = rud::Utf8ToWide(info.compressPath);
    }
    rudtest::ScratchFolder folder;
    rud::RUDRenderingDataMgr store;
    rud::ClientInfo info;
    std::wstring arguments, archive;
};

// What each 7-Zip leaves for the outcome to judge.
TEST_F(ArchiverRunTest, PacksWithEverySevenZip) {
    MakeScene(1);
    const struct { const wchar_t* fault; DWORD exitCode; bool percent; rud::ArchiverOutcome outcome; } cases[] = {
        {L"", 0, true, rud::ArchiverOutcome::kPacked},
        {L"old-no-bsp1", 0, false, rud::ArchiverOutcome::kPacked},   // packed again without -bsp1: sizes only
        {L"exit1-empty", 1, true, rud::ArchiverOutcome::kSceneUnread},
    };
    for (const auto& c : cases) {
        ::SetEnvironmentVariableW(L"RUD_SEVENZIP_FAULT", c.fault);
        const rud::ArchiverRun run = rud::RunArchiver(store, info, arguments);
        ::SetEnvironmentVariableW(L"RUD_SEVENZIP_FAULT", nullptr);
        const std::string what = rud::WideToUtf8(c.fault);
        EXPECT_TRUE(run.started && !run.cancelled) << what;
        EXPECT_EQ(run.exitCode, c.exitCode) << what;
        EXPECT_EQ(store.busyPackPercent.load() >= 0, c.percent) << what;   // 7-Zip reports at least its start
        if (c.outcome == rud::ArchiverOutcome::kPacked) {
            EXPECT_GT(store.busyArchiveBytes.load(), 1 << 20) << what;
        }
        EXPECT_EQ(rud::JudgeArchiverRun(run, archive), c.outcome) << what;
        ::DeleteFileW(archive.c_str());
    }
}

TEST_F(ArchiverRunTest, CancelEndsSevenZipAndDeletesThePartialArchive) {
    MakeScene(8);
    const struct { const char* when; bool beforeStart; } cases[] = {{"before it starts", true}, {"while it packs", false}};
    for (const auto& c : cases) {
        store.busyCancelRequested = c.beforeStart;
        store.busyPackPercent = -1;
        std::atomic<bool> ended{false};
        std::thread canceller;
        if (!c.beforeStart)
            canceller = std::thread([this, &ended] {
                // As the artist would: once the dialog shows a percentage (and never after the run).
                while (store.busyPackPercent < 0 && !ended) ::Sleep(10);
                store.busyCancelRequested = true;
            });
        const rud::ArchiverRun run = rud::RunArchiver(store, info, arguments);
        ended = true;
        if (canceller.joinable()) canceller.join();
        EXPECT_TRUE(run.cancelled) << c.when;
        EXPECT_FALSE(rud::PathExists(archive)) << c.when;
    }
    store.busyCancelRequested = false;
}

// The 7z.exe whose parent is `parent`, or 0.
DWORD SevenZipChildOf(DWORD parent) {
    const rud::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{sizeof(entry)};
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry))
        if (entry.th32ParentProcessID == parent && _wcsicmp(entry.szExeFile, L"7z.exe") == 0) return entry.th32ProcessID;
    return 0;
}

// 3ds Max going away mid-pack (this program, run again, is ended while its 7-Zip packs for a
// minute) takes its 7-Zip with it.
TEST_F(ArchiverRunTest, SevenZipEndsWithTheProcessThatStartedIt) {
    MakeScene(1);
    if (::GetEnvironmentVariableW(L"RUD_ORPHAN_RUN", nullptr, 0) != 0) {   // the one that is ended
        ::SetEnvironmentVariableW(L"RUD_SEVENZIP_FAULT", L"slow:60000");
        (void)rud::RunArchiver(store, info, arguments);
        return;
    }
    const std::wstring program = rudtest::BinFolder() + L"\\submit_tests.exe", quoted = L"\"" + program + L"\"";
    ::SetEnvironmentVariableW(L"RUD_ORPHAN_RUN", L"1");
    const intptr_t run = _wspawnl(_P_NOWAIT, program.c_str(), quoted.c_str(), L"--gtest_filter=ArchiverRunTest.SevenZipEnds*",
                                  nullptr);
    ::SetEnvironmentVariableW(L"RUD_ORPHAN_RUN", nullptr);
    ASSERT_NE(run, -1);
    const rud::UniqueHandle ended(reinterpret_cast<HANDLE>(run));
    DWORD sevenZip = 0;
    for (int i = 0; i < 600 && !sevenZip; ++i, ::Sleep(50)) sevenZip = SevenZipChildOf(::GetProcessId(ended.get()));
    ASSERT_NE(sevenZip, 0u);
    ::TerminateProcess(ended.get(), 9);
    ::WaitForSingleObject(ended.get(), INFINITE);
    const rud::UniqueHandle packer(::OpenProcess(SYNCHRONIZE, FALSE, sevenZip));
    EXPECT_TRUE(!packer || ::WaitForSingleObject(packer.get(), 5000) == WAIT_OBJECT_0);
}

} // namespace
