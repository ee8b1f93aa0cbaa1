#include "submit/ArchiverProgress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Captured from Debian's 7zz 26.02, "7zz a -mx=3 -mmt=on -t7z -bsp1 a.7z big.bin | cat", with a
// 200 MB file: the start up to 3 %, and the end from 99 %.
const std::string kPipedStart =
    "\n7-Zip (z) 26.02 (x64) : Copyright (c) 1999-2026 Igor Pavlov : 2026-06-25\n"
    " 64-bit locale=C.UTF-8 Threads:2 OPEN_MAX:20000\n\nScanning the drive:\n"
    "  0M Scan \b\b\b\b\b\b\b\b\b\b          \b\b\b\b\b\b\b\b\b\b1 file, 200000000 bytes (191 MiB)\n\n"
    "Creating archive: a.7z\n\nAdd new data to archive: 1 file, 200000000 bytes (191 MiB)\n\n"
    "  0%\b\b\b\b    \b\b\b\b  0% + big.bin\b\b\b\b\b\b\b\b\b\b\b\b\b\b              \b\b\b\b\b\b\b\b\b\b\b\b\b\b"
    "  1% + big.bin\b\b\b\b\b\b\b\b\b\b\b\b\b\b              \b\b\b\b\b\b\b\b\b\b\b\b\b\b"
    "  2% + big.bin\b\b\b\b\b\b\b\b\b\b\b\b\b\b              \b\b\b\b\b\b\b\b\b\b\b\b\b\b  3%";
const std::string kPipedEnd =
    " 1 + big.bin\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b                \b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b"
    " 99% 1 + big.bin\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b                \b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b"
    "100% 1 + big.bin\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b                \b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\n"
    "Files read from disk: 1\nArchive size: 200012534 bytes (191 MiB)\nEverything is Ok\n";
// The same program in a terminal (through "script"): line ends become CR LF, statuses stay the same.
const std::string kTerminal =
    "Add new data to archive: 1 file, 30000000 bytes (29 MiB)\r\n\r\n"
    "  0%\b\b\b\b    \b\b\b\b  0% 1 + mid.bin\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b                \b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b"
    "  1% 1 + mid.bin\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b                \b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b  2% 1 + mid.bin";

int32_t PercentAfter(const std::vector<std::string>& chunks) {
    rud::ArchiverProgressParser parser;
    for (const std::string& chunk : chunks) parser.Feed(chunk.data(), chunk.size());
    return parser.Percent();
}

TEST(ArchiverProgressParser, ReadsThePercentageOfEachOutput) {
    const struct { const char* what; std::vector<std::string> chunks; int32_t percent; } cases[] = {
        {"nothing yet", {}, -1},
        {"banner and scan only", {kPipedStart.substr(0, kPipedStart.find("  0%"))}, -1},
        {"piped start", {kPipedStart}, 3},
        {"piped end", {kPipedStart, kPipedEnd}, 100},
        {"terminal", {kTerminal}, 2},
        {"split in the leading blanks", {"  3% + a\b\b\b\b\b\b\b\b ", " ", "4", "% + a"}, 4},
        {"one byte a chunk", {"\b", " ", "4", "2", "%"}, 42},
        {"carriage returns of a console", {"\r 41% + a.max\r 42% + a.max"}, 42},
        {"percent sign in a file name", {"  5% + scene_80%.max"}, 5},
        {"number that is no percentage", {"\b\b\b\b250% + a"}, -1},
        {"percentage inside a message", {"\nERROR: disk 12% full\n"}, -1},
        {"unfinished status keeps the last", {kPipedStart, "\b\b\b\b  4"}, 3},
        {"absurdly long number", {"\b99999999999999999999%"}, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(PercentAfter(c.chunks), c.percent) << c.what;
}

// Wherever a pipe read splits the real output, the same percentages come out in the same order.
TEST(ArchiverProgressParser, AnySplitOfRealOutputReadsTheSame) {
    const std::string output = kPipedStart + kPipedEnd;
    const std::vector<int32_t> expected = {0, 0, 1, 2, 3, 99, 100};
    for (size_t split = 0; split <= output.size(); ++split) {
        rud::ArchiverProgressParser parser;
        std::vector<int32_t> seen;
        // Byte by byte after the split point, so every completed percentage is seen on its own.
        parser.Feed(output.data(), split);
        const int32_t before = parser.Percent();
        for (size_t i = split; i < output.size(); ++i)
            if (parser.Feed(&output[i], 1)) seen.push_back(parser.Percent());
        // What the first chunk read is the last percentage it held; the rest follow one by one.
        std::vector<int32_t> rest(expected.end() - static_cast<ptrdiff_t>(seen.size()), expected.end());
        EXPECT_EQ(seen, rest) << "split at " << split;
        if (seen.size() < expected.size())
            EXPECT_EQ(before, expected[expected.size() - seen.size() - 1]) << "split at " << split;
        else
            EXPECT_EQ(before, -1) << "split at " << split;
    }
}

} // namespace
