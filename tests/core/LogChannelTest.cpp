#include "core/LogChannel.h"
#include "core/PluginSettings.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(start, bytes.size()) << "the file ends in the middle of a line";
    return lines;
}

// The files of a channel under a name of its own (<base>.log, <base>1..9.log), removed before and after.
struct Scratch {
    explicit Scratch(const std::string& name) : base(rud::LogChannel().Folder() + "\\" + name) { Clear(); }
    ~Scratch() { Clear(); }
    void Clear() const { for (int n = 0; n < 10; ++n) ::DeleteFileW(rud::AnsiChsToWide(File(n)).c_str()); }
    std::string File(int n) const { return base + (n ? std::to_string(n) : "") + ".log"; }
    std::string Read(int n) const { return rudtest::ReadBytes(rud::AnsiChsToWide(File(n))); }
    bool Exists(int n) const { return rud::PathExists(rud::AnsiChsToWide(File(n))); }
    std::string base;
};

// Timestamp, " [", level, "] " and CR LF around the message.
constexpr size_t kLineOverhead = 23 + 2 + 4 + 2 + 2;

TEST(LogChannel, RotatesOnlyAfterTheLineThatReachesTheLimit) {
    Scratch files("test_boundary");
    rud::LogChannel log("test_boundary", 5, 2, 0);
    const size_t limit = 5u * 1024 * 1024;
    log.write(std::string(limit - 1 - kLineOverhead, 'a'), "INFO");
    EXPECT_EQ(files.Read(0).size(), limit - 1);
    EXPECT_FALSE(files.Exists(1)) << "5,242,879 bytes must not rotate";
    log.write("crossing", "INFO");
    EXPECT_EQ(files.Read(1).size(), limit - 1 + kLineOverhead + 8) << "the crossing line stays in the old file";
    EXPECT_TRUE(files.Read(0).empty());
}

TEST(LogChannel, ManyRotationsKeepExactlyTheConfiguredFilesNewestFirst) {
    const std::pair<uint32_t, int> cases[] = {{2, 4}, {5, 5}, {5, 7}};
    for (auto [count, rotations] : cases) {
        Scratch files("test_rotation");
        rud::LogChannel log("test_rotation", 1, count, 0);
        for (int i = 0; i < rotations; ++i) {
            log.write("line " + std::to_string(i), "INFO");
            log.write(std::string(1024 * 1024, 'r'), "INFO");  // brings the file past 1 MiB: rotate
        }
        log.write("current", "INFO");
        for (int n = 0; n < 10; ++n) EXPECT_EQ(files.Exists(n), n < int(count)) << count << " " << n;
        for (int n = 1; n < int(count); ++n)  // older file n holds the lines of rotation (rotations - n)
            EXPECT_NE(files.Read(n).find("] line " + std::to_string(rotations - n) + "\r\n"), std::string::npos) << n;
    }
}

TEST(LogChannel, TwoChannelsOnOneFileWriteWholeLinesInOrderAndLoseNoneToABlockedRotation) {
    Scratch files("test_shared");
    rud::LogChannel first("test_shared", 1, 2, 0);
    {
        rud::LogChannel second("test_shared", 1, 2, 0);
        first.write("", "WARN");
        for (int i = 0; i < 20; ++i) {
            first.write("first " + std::to_string(i), "INFO");
            second.write("second " + std::to_string(i), "ERROR");
        }
        std::vector<std::string> lines = Lines(files.Read(0));
        ASSERT_EQ(lines.size(), 41u);
        const std::regex firstLine(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:\d{3} \[WARN\] )");
        EXPECT_TRUE(std::regex_match(lines[0], firstLine)) << lines[0];
        for (int i = 0; i < 20; ++i) {
            EXPECT_EQ(lines[2 * i + 1].substr(23), " [INFO] first " + std::to_string(i));
            EXPECT_EQ(lines[2 * i + 2].substr(23), " [ERROR] second " + std::to_string(i));
        }
        second.write(std::string(1024 * 1024, 's'), "INFO");  // wants to rotate; first holds the file
        first.write("first after", "INFO");
    }
    first.write("first last", "INFO");  // nobody else holds it now: this rotation works
    for (const char* part : {"ssss", "first after", "first last"})
        EXPECT_NE(files.Read(1).find(part), std::string::npos) << part;
}

TEST(LogChannel, OneChannelFromTwoThreadsKeepsLinesWhole) {
    Scratch files("test_threads");
    rud::LogChannel log("test_threads", 2, 5, 0);
    auto writer = [&](char fill) { for (int i = 0; i < 200; ++i) log.write(std::string(300, fill), "INFO"); };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    std::vector<std::string> lines = Lines(files.Read(0));
    ASSERT_EQ(lines.size(), 400u);
    for (const std::string& line : lines) EXPECT_TRUE(line.substr(31) == std::string(300, line.back())) << line.back();
}

TEST(LogChannel, FolderFollowsLowerVersion) {
    const std::pair<const wchar_t*, const char*> cases[] = {{nullptr, "/log"}, {L"", "/log"}, {L"1.3.0", "/log1.3.0"}};
    for (auto [lowerVersion, folderEnd] : cases) {
        rudtest::ScopedSettingsFile keep;
        if (lowerVersion) rud::WriteSetting(L"lowerversion", lowerVersion);
        rud::LogChannel log;
        log.write("nowhere", "INFO");  // no name yet: dropped, not a crash
        EXPECT_EQ(log.Folder(), rud::WideToAnsiChs(rud::DataFolder()) + folderEnd);
        EXPECT_TRUE(rud::PathExists(rud::AnsiChsToWide(log.Folder()))) << "the folder is created with the channel";
        if (lowerVersion && *lowerVersion) ::RemoveDirectoryW(rud::AnsiChsToWide(log.Folder()).c_str());
    }
}

} // namespace
