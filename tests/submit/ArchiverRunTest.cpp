// RunArchiver with the stand-in 7z.exe, which hands the work to Linux's 7zz: progress comes
// through the pipe, and a cancel ends 7-Zip (7zz included) and leaves no archive.
#include "submit/ScenePackaging.h"
#include "tests/submit/SubmitTestSupport.h"

#include "core/TextConversions.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

namespace {

// A file of /proc as far as it can be read: a process may end while it is read.
std::string ProcFileText(const std::wstring& path) {
    std::string text;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
    ::CloseHandle(file);
    return text;
}

// Linux processes (seen through Wine's Z: drive) whose command line holds `text`.
int LinuxProcessesWith(const std::string& text) {
    int found = 0;
    WIN32_FIND_DATAW entry{};
    HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        if (entry.cFileName[0] < L'0' || entry.cFileName[0] > L'9') continue;
        std::string commandLine = ProcFileText(std::wstring(L"Z:\\proc\\") + entry.cFileName + L"\\cmdline");
        for (char& c : commandLine) if (c == '\0') c = ' ';
        if (commandLine.find("7zz") != std::string::npos && commandLine.find(text) != std::string::npos) ++found;
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return found;
}

// A cancelled 7zz is ended by a watcher in the stand-in: give it a moment, no more.
bool LinuxSevenZipGone(const std::string& archiveName) {
    for (int i = 0; i < 100; ++i) {
        if (LinuxProcessesWith(archiveName) == 0) return true;
        ::Sleep(100);
    }
    return false;
}

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
        rudtest::WriteFileBytes(folder / L"Villa.max", bytes);
        info.zipExePath = rudtest::BinFolder() + L"\\7z.exe";
        info.compressDir = folder / L"compress";
        info.scenePath = rud::WideToUtf8(folder / L"Villa.max");
        ASSERT_TRUE(rud::PackScene(store, info, nullptr, &arguments));
        archive = rud::Utf8ToWide(info.compressPath);
        archiveName = info.compressPath.substr(info.compressPath.find_last_of("/\\") + 1);
    }
    rudtest::ScratchFolder folder;
    rud::RUDRenderingDataMgr store;
    rud::ClientInfo info;
    std::wstring arguments, archive;
    std::string archiveName;
};

TEST_F(ArchiverRunTest, PacksAndReportsProgress) {
    MakeScene(1);
    const rud::ArchiverRun run = rud::RunArchiver(store, info, arguments);
    EXPECT_TRUE(run.started);
    EXPECT_FALSE(run.cancelled);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_GE(store.busyPackPercent.load(), 0);   // 7-Zip reports at least its start
    EXPECT_GT(store.busyArchiveBytes.load(), 1 << 20);
    EXPECT_TRUE(rudtest::FileExists(archive));
}

TEST_F(ArchiverRunTest, CancelEndsSevenZipAndDeletesThePartialArchive) {
    MakeScene(8);
    const struct { const char* when; bool beforeStart; } cases[] = {{"before it starts", true}, {"while it packs", false}};
    for (const auto& c : cases) {
        store.busyCancelRequested = c.beforeStart;
        store.busyPackPercent = -1;
        std::thread canceller;
        if (!c.beforeStart)
            canceller = std::thread([this] {
                // As the artist would: once the dialog shows a percentage.
                while (store.busyPackPercent < 0) ::Sleep(10);
                store.busyCancelRequested = true;
            });
        const rud::ArchiverRun run = rud::RunArchiver(store, info, arguments);
        if (canceller.joinable()) canceller.join();
        EXPECT_TRUE(run.cancelled) << c.when;
        EXPECT_FALSE(rudtest::FileExists(archive)) << c.when;
        EXPECT_TRUE(LinuxSevenZipGone(archiveName)) << c.when;
    }
    store.busyCancelRequested = false;
}

} // namespace
