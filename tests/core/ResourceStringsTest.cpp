#include "core/ResourceStrings.h"
#include "core/WinHandles.h"
#include "resources/StringIds.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <iterator>
#include <string>

namespace {

struct StringId {
    int id;
    const char* name;
};

const StringId kAllIds[] = {
#include "StringIdList.inc"
};

rud::UniqueModule LoadLanguageFile(const wchar_t* locale) {
    std::wstring path = rudtest::BinFolder() + L"\\" + locale + L"\\RUD_Rendering_2025.gup.mui";
    return rud::UniqueModule(::LoadLibraryExW(
        path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::wstring Load(HMODULE module, int id) {
    wchar_t text[256] = {};
    int length = ::LoadStringW(module, static_cast<UINT>(id), text, 256);
    return std::wstring(text, length > 0 ? length : 0);
}

TEST(ResourceStrings, LanguageMarkerOfTheEnglishFileIsZero) {
    const wchar_t* marker = rud::LoadResourceTextA(IDS_LANGUAGE_MARKER);
    ASSERT_NE(marker, nullptr);
    EXPECT_STREQ(marker, L"0");
    EXPECT_EQ(rud::CurrentMessageBoxLanguage(), 1033);
}

TEST(ResourceStrings, EveryIdIsInBothLanguageFiles) {
    ASSERT_GE(std::size(kAllIds), 90u);
    for (const wchar_t* locale : {L"en-US", L"zh-CN"}) {
        rud::UniqueModule module = LoadLanguageFile(locale);
        ASSERT_TRUE(module) << locale;
        for (const StringId& entry : kAllIds) {
            std::wstring text = Load(module.get(), entry.id);
            EXPECT_FALSE(text.empty()) << entry.name << " missing in " << locale;
            EXPECT_LT(text.size(), 255u) << entry.name << " too long for the loaders in " << locale;
        }
    }
}

TEST(ResourceStrings, LanguageFilesAgreeWhereTextsAreNotTranslated) {
    rud::UniqueModule english = LoadLanguageFile(L"en-US");
    rud::UniqueModule chinese = LoadLanguageFile(L"zh-CN");
    ASSERT_TRUE(english && chinese);
    EXPECT_EQ(Load(chinese.get(), IDS_LANGUAGE_MARKER), L"1");
    EXPECT_EQ(Load(english.get(), IDS_LANGUAGE_MARKER), L"0");
    // The output format names are what the camera dialog writes into the task.
    const std::pair<int, const wchar_t*> formats[] = {
        {IDS_FORMAT_PNG, L"PNG"}, {IDS_FORMAT_JPG, L"JPG"},     {IDS_FORMAT_TGA, L"TGA"},
        {IDS_FORMAT_BMP, L"BMP"}, {IDS_FORMAT_EXR, L"EXR"},     {IDS_FORMAT_HDR, L"HDR"},
        {IDS_FORMAT_RLA, L"RLA"}, {IDS_FORMAT_RPF, L"RPF"},     {IDS_FORMAT_DDS, L"DDS"},
        {IDS_FORMAT_PSD, L"PSD"}, {IDS_FORMAT_VRIMG, L"VRIMG"}, {IDS_FORMAT_TIF, L"TIF"},
        {IDS_FORMAT_JPEG, L"JPEG"}, {IDS_FORMAT_CXR, L"CXR"}};
    for (const auto& format : formats) {
        EXPECT_EQ(Load(english.get(), format.first), format.second);
        EXPECT_EQ(Load(chinese.get(), format.first), format.second);
    }
    for (HMODULE module : {english.get(), chinese.get()}) {
        std::wstring packing = Load(module, IDS_BUSY_PACKING);
        EXPECT_NE(packing.find(L"%s"), std::wstring::npos);
        EXPECT_EQ(packing.find(L'%'), packing.rfind(L'%')) << "only the one %s";
    }
    // Characters the rc compiler must not have swallowed.
    EXPECT_NE(Load(english.get(), IDS_RENAME_INVALID_CHARS).find(L"\\ / : * ? \" < > |"), std::wstring::npos);
    EXPECT_NE(Load(chinese.get(), IDS_COLUMN_CAMERA), Load(english.get(), IDS_COLUMN_CAMERA));
}

TEST(ResourceStrings, LoadersHaveTheirOwnBuffersAndGiveNullForMissingIds) {
    const wchar_t* a = rud::LoadResourceTextA(IDS_PANORAMA_YES);
    const wchar_t* b = rud::LoadResourceTextB(IDS_PANORAMA_NO);
    ASSERT_TRUE(a && b);
    EXPECT_STREQ(a, L"Yes");
    EXPECT_STREQ(b, L"No");
    EXPECT_EQ(rud::LoadResourceTextA(4), nullptr);
    EXPECT_EQ(rud::LoadResourceTextB(9999), nullptr);
}

TEST(ResourceStrings, MessageBoxLanguageRule) {
    const std::pair<const wchar_t*, WORD> cases[] = {
        {L"0", 1033}, {L"00", 1}, {L"1", 1}, {L"", 1}, {nullptr, 1}};
    for (const auto& c : cases) EXPECT_EQ(rud::MessageBoxLanguage(c.first), c.second);
}

} // namespace
