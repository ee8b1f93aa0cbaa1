#include "core/TextConversions.h"
#include "tests/core/DataFolderFixture.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <functional>
#include <set>
#include <string>
#include <thread>

namespace {

TEST(TextConversions, Utf8RoundTripsAnyUtf16Text) {
    const std::wstring texts[] = {
        L"", L"plain ascii", L"\u4E2D\u6587\u573A\u666F", L"\u00E9t\u00E9 caf\u00E9",
        L"\U0001F600 emoji outside the BMP", L"\u0416\u0443\u043A Cyrillic", L"tab\tand\r\nbreak"};
    for (const std::wstring& text : texts) EXPECT_EQ(rud::Utf8ToWide(rud::WideToUtf8(text)), text);
    EXPECT_EQ(rud::WideToUtf8(L"\u4E2D"), "\xE4\xB8\xAD");
}

struct ChsCase {
    const wchar_t* wide;
    const char* bytes;
};

TEST(TextConversions, CodePage936RoundTrips) {
    const ChsCase cases[] = {
        {L"", ""},
        {L"C:/ProgramData/RUD Rendering/log", "C:/ProgramData/RUD Rendering/log"},
        {L"\u4E2D\u6587", "\xD6\xD0\xCE\xC4"},
        {L"\u573A\u666F_01.max", "\xB3\xA1\xBE\xB0_01.max"},
    };
    for (const ChsCase& c : cases) {
        EXPECT_EQ(rud::WideToAnsiChs(c.wide), c.bytes);
        EXPECT_EQ(rud::AnsiChsToWide(c.bytes), c.wide);
    }
}

TEST(TextConversions, CharacterOutsideCodePage936DoesNotLoseTheRest) {
    std::string narrow = rud::WideToAnsiChs(L"a\u0E01b");  // a Thai letter: not in code page 936
    ASSERT_GE(narrow.size(), 2u);
    EXPECT_EQ(narrow.front(), 'a');
    EXPECT_EQ(narrow.back(), 'b');
}

TEST(TextConversions, LocaleSwitchesOfTwoThreadsDoNotMix) {
    auto convert = [](bool& ok) {
        ok = true;
        for (int i = 0; i < 300; ++i) {
            ok = ok && rud::WideToAnsiChs(L"\u4E2D\u6587") == "\xD6\xD0\xCE\xC4";
            ok = ok && rud::AnsiChsToWide("\xB3\xA1\xBE\xB0") == L"\u573A\u666F";
        }
    };
    bool first = false, second = false;
    std::thread a(convert, std::ref(first));
    std::thread b(convert, std::ref(second));
    a.join();
    b.join();
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);
}

TEST(TextConversions, GuidTextIsUpperCaseEightFourFourFourTwelve) {
    std::set<std::wstring> seen;
    for (int i = 0; i < 5; ++i) {
        std::wstring guid = rud::CreateGuidText();
        ASSERT_EQ(guid.size(), 36u) << guid;
        for (size_t p = 0; p < guid.size(); ++p) {
            if (p == 8 || p == 13 || p == 18 || p == 23)
                EXPECT_EQ(guid[p], L'-') << guid;
            else
                EXPECT_TRUE(std::iswxdigit(guid[p]) && !std::iswlower(guid[p])) << guid;
        }
        seen.insert(guid);
    }
    EXPECT_EQ(seen.size(), 5u);
}

struct FileCase {
    const char* name;
    std::string bytes;
    std::wstring expected;
};

TEST(TextConversions, ReadWholeFileUtf8) {
    const FileCase cases[] = {
        {"bom.json", "\xEF\xBB\xBF{\"a\":1}", L"\uFEFF{\"a\":1}"},
        {"plain.json", "{\"name\":\"\xE4\xB8\xAD\"}\r\n", L"{\"name\":\"\u4E2D\"}\r\n"},
        {"empty.json", "", L""},
        // The path itself holds Chinese characters (code page 936 narrow path).
        {"\xD6\xD0\xCE\xC4.json", "ok", L"ok"},
    };
    const std::wstring folder = rud::DataFolder();
    for (const FileCase& c : cases) {
        std::string path = rud::WideToAnsiChs(folder) + "/" + c.name;
        coretest::WriteBytes(coretest::FromChs(path), c.bytes);
        EXPECT_EQ(rud::ReadWholeFileUtf8(path), c.expected) << c.name;
        coretest::RemoveFile(coretest::FromChs(path));
    }
    EXPECT_EQ(rud::ReadWholeFileUtf8(rud::WideToAnsiChs(folder) + "/missing.json"), L"");
    EXPECT_EQ(rud::ReadWholeFileUtf8(""), L"");
}

} // namespace
