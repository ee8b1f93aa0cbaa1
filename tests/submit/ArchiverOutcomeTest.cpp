#include "submit/ArchiverOutcome.h"
#include "tests/submit/SubmitTestSupport.h"

#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "resources/StringIds.h"

#include <gtest/gtest.h>

namespace {

using rud::ArchiverOutcome;

// Only a run that started, ended with 0 and left more than an empty archive counts as packed;
// whatever any other run left at the archive path goes. The artist reads what happened with
// the path or code filled in, and the log names both.
TEST(ArchiverOutcome, JudgesEveryRun) {
    rudtest::ScratchFolder folder(L"outcome");
    const std::wstring archive = folder / L"Villa_abcdef.7z";
    const std::wstring program = L"C:/ProgramData/RUD Rendering/7-Zip/7z.exe";
    const std::string packedInto = rud::WideToUtf8(archive);
    const struct { rud::ArchiverRun run; int bytes; ArchiverOutcome outcome; int stringId; std::wstring inText;
                   std::string log; } cases[] = {
        {{false, ERROR_FILE_NOT_FOUND, 0}, -1, ArchiverOutcome::kNotStarted, IDS_SEVENZIP_NOT_STARTED, program,
         "7-Zip could not be started: " + rud::WideToUtf8(program) + ", Error Code is: 2"},
        {{false, ERROR_BAD_EXE_FORMAT, 0}, 5000, ArchiverOutcome::kNotStarted},   // an old archive proves nothing
        {{true, 0, 0}, 5000, ArchiverOutcome::kPacked},
        {{true, 0, 0}, 33, ArchiverOutcome::kPacked},
        {{true, 0, 1}, 5000, ArchiverOutcome::kSceneUnread, IDS_SEVENZIP_SCENE_UNREAD, L"",
         "7-Zip ended with exit code 1: the scene was not read whole into " + packedInto},
        {{true, 0, 1}, 32, ArchiverOutcome::kSceneUnread},   // a scene locked by another program
        {{true, 0, 2}, 5000, ArchiverOutcome::kFailed, IDS_SEVENZIP_FAILED, L" 2 ",
         "7-Zip failed with exit code 2 packing the scene into " + packedInto},
        {{true, 0, 7}, -1, ArchiverOutcome::kFailed},
        {{true, 0, 0xFFFFFFFFu}, 5000, ArchiverOutcome::kFailed},
        {{true, 0, 0}, -1, ArchiverOutcome::kNoArchive, IDS_SEVENZIP_NO_ARCHIVE, L"",
         "7-Zip ended with exit code 0 but made no archive: " + packedInto},
        {{true, 0, 0}, 0, ArchiverOutcome::kNoArchive},
        {{true, 0, 0}, 32, ArchiverOutcome::kNoArchive},   // the header of an archive holding nothing
    };
    for (const auto& c : cases) {
        const std::string what = std::to_string(c.run.exitCode) + " with " + std::to_string(c.bytes) + " bytes";
        ::DeleteFileW(archive.c_str());
        if (c.bytes >= 0) rudtest::WriteBytes(archive, std::string(static_cast<size_t>(c.bytes), '7'));
        EXPECT_EQ(rud::JudgeArchiverRun(c.run, archive), c.outcome) << what;
        EXPECT_EQ(rud::PathExists(archive), c.outcome == ArchiverOutcome::kPacked) << what;
        if (c.stringId == 0) continue;
        const std::wstring text = rud::ArchiverFailureMessage(c.outcome, c.run, program);
        EXPECT_EQ(text.substr(0, 4), rud::WorkerText(c.stringId).substr(0, 4)) << what;
        EXPECT_NE(text.find(c.inText), std::wstring::npos) << rud::WideToUtf8(text);
        EXPECT_EQ(text.find(L"%s"), std::wstring::npos) << what;
        EXPECT_EQ(rud::ArchiverFailureLogLine(c.outcome, c.run, program, archive), c.log) << what;
    }
    // A folder at the path is no archive, and is never deleted.
    EXPECT_EQ(rud::JudgeArchiverRun({true, 0, 0}, folder.Path()), ArchiverOutcome::kNoArchive);
    EXPECT_TRUE(rud::PathExists(folder.Path()));
}

} // namespace
