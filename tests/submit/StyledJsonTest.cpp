#include "submit/StyledJson.h"
#include "submit/WideTextFile.h"
#include "tests/submit/SubmitTestSupport.h"

#include <gtest/gtest.h>
#include <json/writer.h>

namespace {

// On ASCII documents our text is StyledWriter's, byte for byte: layout, key order, numbers,
// escapes of quotes, backslashes and control characters, long arrays past the right margin.
TEST(StyledJson, IsStyledWriterTextForAsciiDocuments) {
    const char* documents[] = {
        "{}",
        "[]",
        R"({"b": 1, "a": [1, 2, 3], "PLUGIN": true, "c": null, "d": 0.05, "e": -3})",
        R"({"path": "C:\\work\\Villa.max", "quote": "say \"hi\"", "ctl": "a\u001fb\tc\nd", "del": "\u007f"})",
        R"({"cameras": [{"name": "Camera001", "renderable": "1"}, {"name": "Camera002", "renderable": "1"}]})",
        R"({"long": ["aaaaaaaaaaaaaaaaaaaa", "bbbbbbbbbbbbbbbbbbbbbbbbb", "cccccccccccccccccccccccccc", "ddddddddd"]})",
        R"({"nested": {"x": {"y": [[], {}, [1, [2, [3]]]]}}, "gamma": 2.2000000476837158})",
    };
    for (const char* document : documents) {
        const Json::Value value = rudtest::ParseJson(document);
        EXPECT_EQ(rud::StyledUtf8Text(value), Json::StyledWriter().write(value)) << document;
    }
}

TEST(StyledJson, UnescapesOnlyEscapesOfNonAsciiCharacters) {
    const struct { const char* in; const char* out; } cases[] = {
        {R"("\u4e2d")", "\"\xe4\xb8\xad\""},
        {R"("\u00e9\u00E9")", "\"\xc3\xa9\xc3\xa9\""},
        {R"("\u001f\u0041")", R"("\u001f\u0041")"},              // below 0x80: as written
        {R"("\\u4e2d")", R"("\\u4e2d")"},                          // an escaped backslash, then text
        {R"("\\\u4e2d")", "\"\\\\\xe4\xb8\xad\""},
        {R"("\ud83d\ude00")", "\"\xf0\x9f\x98\x80\""},
        {R"("\ud83d")", R"("\ud83d")"},                            // a lone surrogate has no UTF-8 form
        {R"("\ude00x")", R"("\ude00x")"},
        {R"("\u4e2")", R"("\u4e2")"},                              // not an escape at all
        {R"("a\"b\n")", R"("a\"b\n")"},
    };
    for (const auto& c : cases) EXPECT_EQ(rud::UnescapeNonAscii(c.in), c.out) << c.in;
}

TEST(WideTextFile, WritesCrLfLineEndsAtAWidePath) {
    rudtest::ScratchFolder folder(L"textfile");
    const std::wstring path = folder / L"\x4e2d\x6587.json";
    rudtest::WriteBytes(path, std::string(1000, ' ') + "old");
    ASSERT_EQ(rud::WriteWideTextFile(path, "{\n   \"a\" : 1\n}\n"), rud::TextFileResult::kWritten);
    EXPECT_EQ(rudtest::ReadBytes(path), "{\r\n   \"a\" : 1\r\n}\r\n");   // truncated, not appended
    EXPECT_EQ(rud::WriteWideTextFile(folder / L"missing\\a.json", "x"), rud::TextFileResult::kOpenFailed);
}

} // namespace
