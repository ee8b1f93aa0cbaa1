#include "core/LogChannel.h"
#include "core/PluginSettings.h"
#include "core/TextConversions.h"
#include "tests/core/DataFolderFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

using coretest::FromChs;
using coretest::ReadBytes;
using coretest::RemoveFile;

// Every file a channel may leave: <base>.log and <base>1.log ... <base>9.log.
void RemoveChannelFiles(const std::string& basePath) {
    RemoveFile(FromChs(basePath + ".log"));
    for (int n = 1; n < 10; ++n) RemoveFile(FromChs(basePath + std::to_string(n) + ".log"));
}

bool Exists(const std::string& narrowPath) { return rud::PathExists(FromChs(narrowPath)); }

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(start, bytes.size()) << "the file ends in the middle of a line";
    return lines;
}

// A channel under a name of its own, removed before and after the test.
class ScratchChannel {
public:
    ScratchChannel(const std::string& name, uint32_t mb, uint32_t files)
        : base(rud::LogChannel().Folder() + "\\" + name) {
        RemoveChannelFiles(base);
        channel = std::make_unique<rud::LogChannel>(name, mb, files, 0);
    }
    ~ScratchChannel() {
        channel.reset();
        RemoveChannelFiles(base);
    }
    std::string base;
    std::unique_ptr<rud::LogChannel> channel;
};

// Timestamp, " [", level, "] " and CR LF around the message.
constexpr size_t kLineOverhead = 23 + 2 + 4 + 2 + 2;

TEST(LogChannel, LineHasTimestampLevelAndMessageEvenWhenEmpty) {
    ScratchChannel log("test_line_format", 5, 2);
    log.channel->write("", "WARN");
    log.channel->write("tcp read data successfully.", "INFO");
    std::vector<std::string> lines = Lines(ReadBytes(FromChs(log.base + ".log")));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}:\d{3} \[WARN\] )")))
        << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(.{23} \[INFO\] tcp read data successfully\.)")))
        << lines[1];
}

TEST(LogChannel, RotatesOnlyAfterTheLineThatReachesTheLimit) {
    ScratchChannel log("test_boundary", 5, 2);
    const size_t limit = 5u * 1024 * 1024;
    log.channel->write(std::string(limit - 1 - kLineOverhead, 'a'), "INFO");
    EXPECT_EQ(ReadBytes(FromChs(log.base + ".log")).size(), limit - 1);
    EXPECT_FALSE(Exists(log.base + "1.log")) << "5,242,879 bytes must not rotate";

    log.channel->write("crossing", "INFO");
    ASSERT_TRUE(Exists(log.base + "1.log"));
    std::string older = ReadBytes(FromChs(log.base + "1.log"));
    EXPECT_EQ(older.size(), limit - 1 + kLineOverhead + 8);
    EXPECT_NE(older.find("crossing\r\n"), std::string::npos) << "the crossing line stays in the old file";
    EXPECT_TRUE(ReadBytes(FromChs(log.base + ".log")).empty());

    log.channel->write("after", "INFO");
    EXPECT_NE(ReadBytes(FromChs(log.base + ".log")).find("after"), std::string::npos);
}

struct RotationCase {
    uint32_t files;
    int rotations;
};

class LogRotation : public ::testing::TestWithParam<RotationCase> {};

TEST_P(LogRotation, KeepsExactlyTheConfiguredFilesNewestFirst) {
    const RotationCase c = GetParam();
    ScratchChannel log("test_rotation_" + std::to_string(c.files), 1, c.files);
    const std::string big(1024 * 1024, 'r');
    for (int i = 0; i < c.rotations; ++i) {
        log.channel->write("line " + std::to_string(i), "INFO");
        log.channel->write(big, "INFO");  // brings the file past 1 MiB: rotate
    }
    log.channel->write("current", "INFO");

    EXPECT_TRUE(Exists(log.base + ".log"));
    for (uint32_t n = 1; n < c.files; ++n) EXPECT_TRUE(Exists(log.base + std::to_string(n) + ".log")) << n;
    for (uint32_t n = c.files; n < 10; ++n) EXPECT_FALSE(Exists(log.base + std::to_string(n) + ".log")) << n;
    // Older file n holds the lines of rotation (rotations - n).
    for (uint32_t n = 1; n < c.files; ++n) {
        std::string expected = "] line " + std::to_string(c.rotations - static_cast<int>(n)) + "\r\n";
        EXPECT_NE(ReadBytes(FromChs(log.base + std::to_string(n) + ".log")).find(expected), std::string::npos) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(FileCounts, LogRotation,
                         ::testing::Values(RotationCase{2, 4}, RotationCase{5, 5}, RotationCase{5, 7}));

TEST(LogChannel, TwoChannelsOnOneFileWriteWholeLinesInOrder) {
    ScratchChannel first("test_shared", 2, 5);
    rud::LogChannel second("test_shared", 2, 5, 0);
    for (int i = 0; i < 20; ++i) {
        first.channel->write("first " + std::to_string(i), "INFO");
        second.write("second " + std::to_string(i), "ERROR");
    }
    std::vector<std::string> lines = Lines(ReadBytes(FromChs(first.base + ".log")));
    ASSERT_EQ(lines.size(), 40u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_NE(lines[2 * i].find("[INFO] first " + std::to_string(i)), std::string::npos) << lines[2 * i];
        EXPECT_NE(lines[2 * i + 1].find("[ERROR] second " + std::to_string(i)), std::string::npos);
    }
}

TEST(LogChannel, RotationBlockedByAnotherHolderLosesNoLine) {
    ScratchChannel outer("test_blocked", 1, 2);
    {
        rud::LogChannel inner("test_blocked", 1, 2, 0);
        inner.write(std::string(1024 * 1024, 'i'), "INFO");  // wants to rotate; outer holds the file
        outer.channel->write("outer after", "INFO");
    }
    outer.channel->write("outer last", "INFO");  // nobody else holds it now: this rotation works
    std::string older = ReadBytes(FromChs(outer.base + "1.log"));
    EXPECT_NE(older.find("iiii"), std::string::npos);
    EXPECT_NE(older.find("outer after"), std::string::npos);
    EXPECT_NE(older.find("outer last"), std::string::npos);
}

TEST(LogChannel, OneChannelFromTwoThreadsKeepsLinesWhole) {
    ScratchChannel log("test_threads", 2, 5);
    auto writer = [&](const std::string& text) {
        for (int i = 0; i < 200; ++i) log.channel->write(text, "INFO");
    };
    std::thread a(writer, std::string(300, 'a'));
    std::thread b(writer, std::string(300, 'b'));
    a.join();
    b.join();
    std::vector<std::string> lines = Lines(ReadBytes(FromChs(log.base + ".log")));
    ASSERT_EQ(lines.size(), 400u);
    for (const std::string& line : lines)
        EXPECT_TRUE(line.substr(31) == std::string(300, 'a') || line.substr(31) == std::string(300, 'b'));
}

struct FolderCase {
    const wchar_t* lowerVersion;  // null: no settings file
    const char* folderEnd;
};

class LogFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(LogFolder, FollowsLowerVersion) {
    coretest::ScopedSettingsFiles keep;
    if (GetParam().lowerVersion) rud::WriteSetting(L"lowerversion", GetParam().lowerVersion);
    rud::LogChannel log;
    const std::string expected = rud::WideToAnsiChs(rud::DataFolder()) + GetParam().folderEnd;
    EXPECT_EQ(log.Folder(), expected);
    EXPECT_TRUE(Exists(log.Folder())) << "the folder is created with the channel";
    EXPECT_TRUE(log.BasePath().empty());
    if (GetParam().lowerVersion && *GetParam().lowerVersion)
        ::RemoveDirectoryW(FromChs(log.Folder()).c_str());
}

INSTANTIATE_TEST_SUITE_P(Values, LogFolder,
                         ::testing::Values(FolderCase{nullptr, "/log"}, FolderCase{L"", "/log"},
                                           FolderCase{L"1.3.0", "/log1.3.0"}));

TEST(LogChannel, ChannelWithoutNameDropsLinesUntilOpened) {
    std::string base;
    {
        rud::LogChannel log;
        log.write("nowhere", "INFO");  // must not crash
        base = log.Folder() + "\\test_open_later";
        RemoveChannelFiles(base);
        log.open("test_open_later");
        log.setMaxFileSizeMb(5);
        log.setMaxFileCount(2);
        EXPECT_EQ(log.BasePath(), base);
        log.write("somewhere", "INFO");
    }
    EXPECT_NE(ReadBytes(FromChs(base + ".log")).find("somewhere"), std::string::npos);
    RemoveChannelFiles(base);
}

} // namespace
