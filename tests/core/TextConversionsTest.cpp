#include "core/TextConversions.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

TEST(TextConversions, Utf8AndCodePage936RoundTrip) {
    for (const std::wstring text : {L"", L"plain ascii", L"\u4E2D\u6587\u573A\u666F", L"\u00E9t\u00E9 caf\u00E9",
                                    L"\U0001F600 outside the BMP", L"\u0416\u0443\u043A", L"tab\tand\r\nbreak"})
        EXPECT_EQ(rud::Utf8ToWide(rud::WideToUtf8(text)), text);
    EXPECT_EQ(rud::WideToUtf8(L"\u4E2D"), "\xE4\xB8\xAD");
    const std::pair<const wchar_t*, const char*> chs[] = {
        {L"", ""}, {L"C:/ProgramData/RUD Rendering/log", "C:/ProgramData/RUD Rendering/log"},
        {L"\u4E2D\u6587", "\xD6\xD0\xCE\xC4"}, {L"\u573A\u666F_01.max", "\xB3\xA1\xBE\xB0_01.max"}};
    for (auto [wide, bytes] : chs) {
        EXPECT_EQ(rud::WideToAnsiChs(wide), bytes);
        EXPECT_EQ(rud::AnsiChsToWide(bytes), wide);
    }
    std::string narrow = rud::WideToAnsiChs(L"a\u0E01b");  // a Thai letter: not in code page 936
    EXPECT_TRUE(narrow.size() >= 2 && narrow.front() == 'a' && narrow.back() == 'b') << "the rest is kept";
}

TEST(TextConversions, LocaleSwitchesOfTwoThreadsDoNotMix) {
    bool ok[2] = {true, true};
    auto convert = [](bool& good) {
        for (int i = 0; i < 300 && good; ++i)
            good = rud::WideToAnsiChs(L"\u4E2D\u6587") == "\xD6\xD0\xCE\xC4" &&
                   rud::AnsiChsToWide("\xB3\xA1\xBE\xB0") == L"\u573A\u666F";
    };
    std::thread a(convert, std::ref(ok[0])), b(convert, std::ref(ok[1]));
    a.join();
    b.join();
    EXPECT_TRUE(ok[0] && ok[1]);
}

TEST(TextConversions, ReadWholeFileUtf8) {
    const std::string path = rud::WideToAnsiChs(rud::DataFolder()) + "/\xD6\xD0\xCE\xC4.json";  // narrow, code page 936
    const std::pair<std::string, std::wstring> cases[] = {{"\xEF\xBB\xBF{\"a\":1}", L"\uFEFF{\"a\":1}"}, {"", L""},
                                                          {"{\"n\":\"\xE4\xB8\xAD\"}\r\n", L"{\"n\":\"\u4E2D\"}\r\n"}};
    for (const auto& [bytes, expected] : cases) {
        rudtest::WriteBytes(rud::AnsiChsToWide(path), bytes);
        EXPECT_EQ(rud::ReadWholeFileUtf8(path), expected);
        ::DeleteFileW(rud::AnsiChsToWide(path).c_str());
        EXPECT_EQ(rud::ReadWholeFileUtf8(path), L"") << "missing file";
    }
    EXPECT_EQ(rud::ReadWholeFileUtf8(""), L"");
}
