#include "analysis/Utf8Codec.h"
#include "core/TextConversions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Utf8CodecTest, DecodesLikeTheSystemAndReplacesWhatIsMalformed) {
    const std::pair<std::string, std::wstring> cases[] = {
        {"C:\\\xE6\x9D\x90.png \xD0\xA1\xC3\xA9\xEF\xBF\xA5", L"C:\\\u6750.png \u0421\u00e9\uffe5"},
        {"\xF0\x9F\x98\x80\xDF\xBF\xE0\xA0\x80", L"\xD83D\xDE00\u07ff\u0800"},  // a surrogate pair; range edges
        {"c\xC3\x28", L"c\uFFFD("},      // a lead byte without its continuation
        {"\xFF\xFE", L"\uFFFD\uFFFD"},    // bytes that lead nothing
        {"\xC0\xAF", L"\uFFFD\uFFFD"},    // an overlong slash
        {"\xE0\x80\xAF", L"\uFFFD"},      // overlong in three bytes
        {"\xED\xA0\x80", L"\uFFFD"},      // an encoded surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD"},  // beyond U+10FFFF
        {"ab\xE4\xB8", L"ab\uFFFD"},      // cut short at the end
    };
    for (const auto& [bytes, text] : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        EXPECT_EQ(text, rud::DecodeUtf8(bytes));
        // Well-formed text decodes as the system decodes it, and encodes back.
        const bool wellFormed = text.find(L'\uFFFD') == std::wstring::npos;
        EXPECT_TRUE(!wellFormed || (rud::Utf8ToWide(bytes) == text && rud::EncodeUtf8(text) == bytes));
    }
    // Lone surrogates cannot be encoded either.
    EXPECT_EQ("a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD",
              rud::EncodeUtf8(std::wstring{L'a', wchar_t(0xD800), L'b', wchar_t(0xDC00), wchar_t(0xDBFF)}));
}

} // namespace
