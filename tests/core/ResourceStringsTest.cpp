#include "core/ResourceStrings.h"

#include <gtest/gtest.h>

TEST(ResourceStrings, LanguageMarkerOfTheEnglishFileIsZero) {
    const wchar_t* marker = rud::LoadResourceTextA(57);
    ASSERT_NE(marker, nullptr);
    EXPECT_STREQ(marker, L"0");
}
