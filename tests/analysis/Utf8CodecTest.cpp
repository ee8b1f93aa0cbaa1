#include "analysis/Utf8Codec.h"
#include "core/TextConversions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Utf8CodecTest, WellFormedTextConvertsLikeTheSystem) {
    const std::wstring texts[] = {
        L"", L"Camera_01", L"C:\\\u6750\u8d28\\\u6728\u7eb9.png", L"\u0421\u043a\u043b\u0430\u0434",
        L"\u00e9\u00df\u20ac\uffe5", L"emoji \xD83D\xDE00 and \xD83C\xDFA5 cameras", std::wstring(1, L'\u07ff'),
        std::wstring(1, L'\u0800'), std::wstring(1, L'\uffff'),
    };
    for (const std::wstring& text : texts) {
        SCOPED_TRACE(testing::PrintToString(text));
        const std::string utf8 = rud::EncodeUtf8(text);
        EXPECT_EQ(rud::WideToUtf8(text), utf8);
        EXPECT_EQ(text, rud::DecodeUtf8(utf8));
        EXPECT_EQ(rud::Utf8ToWide(utf8), rud::DecodeUtf8(utf8));
    }
}

TEST(Utf8CodecTest, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ("a\xEF\xBF\xBD" "b", rud::EncodeUtf8(std::wstring{L'a', wchar_t(0xD800), L'b'}));
    EXPECT_EQ("\xEF\xBF\xBD", rud::EncodeUtf8(std::wstring{wchar_t(0xDC00)}));
    EXPECT_EQ("\xEF\xBF\xBD", rud::EncodeUtf8(std::wstring{wchar_t(0xDBFF)}));
    struct Case {
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"c\xC3\x28", L"c\uFFFD("},          // a lead byte without its continuation
        {"\xFF\xFE", L"\uFFFD\uFFFD"},        // bytes that lead nothing
        {"\xC0\xAF", L"\uFFFD\uFFFD"},        // an overlong slash
        {"\xE0\x80\xAF", L"\uFFFD"},          // overlong in three bytes
        {"\xED\xA0\x80", L"\uFFFD"},          // an encoded surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD"},      // beyond U+10FFFF
        {"ab\xE4\xB8", L"ab\uFFFD"},          // cut short at the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(c.text, rud::DecodeUtf8(c.bytes));
    }
}

} // namespace
