// The version resources a pipeline engineer reads in Explorer (Properties > Details): one in the
// plug-in and one in each language file, each carrying the project's version and its language.
#include "RUDVersion.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct VersionBlock {
    std::vector<BYTE> data;
    WORD language = 0, codePage = 0;

    bool Read(const std::wstring& path) {
        DWORD ignored = 0;
        DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
        if (size == 0) return false;
        data.resize(size);
        if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return false;
        WORD* translation = nullptr;
        UINT length = 0;
        if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
            length < 2 * sizeof(WORD))
            return false;
        language = translation[0];
        codePage = translation[1];
        return true;
    }
    std::wstring Text(const wchar_t* key) {
        wchar_t query[128];
        swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", language, codePage, key);
        wchar_t* value = nullptr;
        UINT length = 0;
        if (!::VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &length) || !value) return {};
        return value;
    }
    const VS_FIXEDFILEINFO* Fixed() {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        return ::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ? fixed : nullptr;
    }
};

} // namespace

TEST(VersionResource, EveryShippedFileCarriesTheProjectVersionAndItsLanguage) {
    // The language files describe themselves in their own language.
    struct Case { const wchar_t* file; const wchar_t* originalName; WORD language; const wchar_t* inDescription; };
    const Case cases[] = {
        {L"RUD_Rendering_2025.gup", L"RUD_Rendering_2025.gup", 0x0409, L"3ds Max 2025"},
        {L"en-US\\RUD_Rendering_2025.gup.mui", L"RUD_Rendering_2025.gup.mui", 0x0409, L"English"},
        {L"zh-CN\\RUD_Rendering_2025.gup.mui", L"RUD_Rendering_2025.gup.mui", 0x0804, L"\x7b80\x4f53\x4e2d\x6587"},  // 简体中文
    };
    const DWORD high = (RUD_VERSION_MAJOR << 16) | RUD_VERSION_MINOR, low = RUD_VERSION_PATCH << 16;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        VersionBlock block;
        ASSERT_TRUE(block.Read(rudtest::BinFolder() + L"\\" + c.file)) << "no version resource";
        EXPECT_EQ(block.language, c.language);
        EXPECT_EQ(block.codePage, 1200);  // Unicode strings
        const VS_FIXEDFILEINFO* fixed = block.Fixed();
        ASSERT_NE(fixed, nullptr);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileVersionMS, high);
        EXPECT_EQ(fixed->dwFileVersionLS, low);
        EXPECT_EQ(fixed->dwProductVersionMS, high);
        EXPECT_EQ(fixed->dwProductVersionLS, low);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
        EXPECT_EQ(block.Text(L"FileVersion"), RUD_VERSION_WTEXT);
        EXPECT_EQ(block.Text(L"ProductVersion"), RUD_VERSION_WTEXT);
        EXPECT_EQ(block.Text(L"OriginalFilename"), c.originalName);
        for (const wchar_t* key : {L"CompanyName", L"FileDescription", L"ProductName", L"LegalCopyright"})
            EXPECT_FALSE(block.Text(key).empty()) << key;
        EXPECT_NE(block.Text(L"FileDescription").find(c.inDescription), std::wstring::npos) << "read back as UTF-16";
    }
}
