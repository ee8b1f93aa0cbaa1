#include "submit/ArchiverOutcome.h"
#include "tests/submit/SubmitTestSupport.h"

#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "resources/StringIds.h"

#include <gtest/gtest.h>

namespace {

using rud::ArchiverOutcome;
using rud::ArchiverRun;

constexpr int64_t kNothing = -1;

// Only a run that started, ended with 0 or 1 and left bytes counts as packed.
TEST(ArchiverOutcome, ClassifiesEveryRun) {
    const struct { ArchiverRun run; int64_t bytes; ArchiverOutcome outcome; } cases[] = {
        {{false, ERROR_FILE_NOT_FOUND, 0}, kNothing, ArchiverOutcome::kNotStarted},
        {{false, ERROR_BAD_EXE_FORMAT, 0}, 5000, ArchiverOutcome::kNotStarted},   // an old archive proves nothing
        {{true, 0, 0}, 5000, ArchiverOutcome::kPacked},
        {{true, 0, 1}, 5000, ArchiverOutcome::kPacked},   // 7-Zip's warning, e.g. a file it could not read
        {{true, 0, 2}, 5000, ArchiverOutcome::kFailed},
        {{true, 0, 7}, kNothing, ArchiverOutcome::kFailed},
        {{true, 0, 255}, 5000, ArchiverOutcome::kFailed},
        {{true, 0, 0xFFFFFFFFu}, 5000, ArchiverOutcome::kFailed},
        {{true, 0, 0}, kNothing, ArchiverOutcome::kNoArchive},
        {{true, 0, 0}, 0, ArchiverOutcome::kNoArchive},
        {{true, 0, 1}, 0, ArchiverOutcome::kNoArchive},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rud::ClassifyArchiverRun(c.run, c.bytes), c.outcome)
            << c.run.started << " " << c.run.exitCode << " " << c.bytes;
}

// Whatever a failed run leaves at the archive path goes; a packed archive stays.
TEST(ArchiverOutcome, JudgingDeletesWhatAFailedRunLeft) {
    rudtest::ScratchFolder folder(L"outcome");
    const std::wstring archive = folder / L"Villa_abcdef.7z";
    const struct { ArchiverRun run; const char* content; ArchiverOutcome outcome; bool kept; } cases[] = {
        {{true, 0, 0}, "7z\xbc\xaf\x27\x1c", ArchiverOutcome::kPacked, true},
        {{true, 0, 2}, "7z\xbc\xaf", ArchiverOutcome::kFailed, false},
        {{true, 0, 0}, "", ArchiverOutcome::kNoArchive, false},
        {{true, 0, 0}, nullptr, ArchiverOutcome::kNoArchive, false},
        {{false, ERROR_FILE_NOT_FOUND, 0}, "stale", ArchiverOutcome::kNotStarted, false},
    };
    for (const auto& c : cases) {
        ::DeleteFileW(archive.c_str());
        if (c.content) rudtest::WriteFileBytes(archive, c.content);
        EXPECT_EQ(rud::JudgeArchiverRun(c.run, archive), c.outcome);
        EXPECT_EQ(rudtest::FileExists(archive), c.kept) << c.run.exitCode;
    }
    EXPECT_TRUE(rudtest::FileExists(folder.Path()));   // a folder at the path is never deleted
    EXPECT_EQ(rud::JudgeArchiverRun({true, 0, 0}, folder.Path()), ArchiverOutcome::kNoArchive);
    EXPECT_TRUE(rudtest::FileExists(folder.Path()));
}

// The artist reads what happened with the path or code filled in; the log names both.
TEST(ArchiverOutcome, MessagesAndLogLinesNameThePathAndCode) {
    const std::wstring program = L"C:/ProgramData/RUD Rendering/7-Zip/7z.exe";
    const std::wstring archive = L"C:/cache/Villa.max_plugin_output/compress/Villa_abcdef.7z";
    const struct { ArchiverOutcome outcome; ArchiverRun run; int stringId; std::wstring inText; std::string inLog; } cases[] = {
        {ArchiverOutcome::kNotStarted, {false, 2, 0}, IDS_SEVENZIP_NOT_STARTED, program,
         "7-Zip could not be started: " + rud::WideToUtf8(program) + ", Error Code is: 2"},
        {ArchiverOutcome::kFailed, {true, 0, 2}, IDS_SEVENZIP_FAILED, L" 2 ",
         "7-Zip failed with exit code 2 packing the scene into " + rud::WideToUtf8(archive)},
        {ArchiverOutcome::kNoArchive, {true, 0, 0}, IDS_SEVENZIP_NO_ARCHIVE, L"",
         "7-Zip ended with exit code 0 but made no archive: " + rud::WideToUtf8(archive)},
    };
    for (const auto& c : cases) {
        const std::wstring text = rud::ArchiverFailureMessage(c.outcome, c.run, program);
        EXPECT_EQ(text.substr(0, 4), rud::WorkerText(c.stringId).substr(0, 4));
        EXPECT_NE(text.find(c.inText), std::wstring::npos) << rud::WideToUtf8(text);
        EXPECT_EQ(text.find(L"%s"), std::wstring::npos);
        EXPECT_EQ(rud::ArchiverFailureLogLine(c.outcome, c.run, program, archive), c.inLog);
    }
}

} // namespace
