#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "core/WinHandles.h"
#include "resources/StringIds.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

const struct { int id; std::string name; } kAllIds[] = {
#include "StringIdList.inc"
};

std::wstring Load(const rud::UniqueModule& module, int id) {
    wchar_t text[256] = {};
    return std::wstring(text, std::max(0, ::LoadStringW(module.get(), static_cast<UINT>(id), text, 256)));
}

TEST(ResourceStrings, BothLanguageFilesHoldEveryIdAndKeepWhatIsNotTranslated) {
    rud::UniqueModule english = rudtest::LoadLanguageFile(L"en-US"), chinese = rudtest::LoadLanguageFile(L"zh-CN");
    ASSERT_TRUE(english && chinese);
    ASSERT_GE(std::size(kAllIds), 90u);
    size_t formats = 0;
    for (const auto& [id, name] : kAllIds) {
        for (const rud::UniqueModule* module : {&english, &chinese}) {
            std::wstring text = Load(*module, id);
            EXPECT_TRUE(!text.empty() && text.size() < 255) << name << " missing or too long";
            const bool filled = id == IDS_BUSY_PACKING || id == IDS_SEVENZIP_NOT_STARTED ||
                                id == IDS_SEVENZIP_FAILED || id == IDS_CACHE_FOLDER_FAILED;
            EXPECT_TRUE(!filled ||  // one %s, nothing else for the formatter
                        (std::count(text.begin(), text.end(), L'%') == 1 && text.find(L"%s") != std::wstring::npos))
                << name;
        }
        // The output format names are what the camera dialog writes into the task: never translated.
        if (name.rfind("IDS_FORMAT_", 0) != 0) continue;
        ++formats;
        const std::wstring format = rud::AnsiChsToWide(name.substr(11));
        EXPECT_TRUE(Load(english, id) == format && Load(chinese, id) == format) << name;
    }
    EXPECT_EQ(formats, 14u);
    EXPECT_EQ(Load(english, IDS_LANGUAGE_MARKER), L"0");
    EXPECT_EQ(Load(chinese, IDS_LANGUAGE_MARKER), L"1");
    // Characters the rc compiler must not have swallowed.
    EXPECT_NE(Load(english, IDS_RENAME_INVALID_CHARS).find(L"\\ / : * ? \" < > |"), std::wstring::npos);
}

TEST(ResourceStrings, LoadersAndMessageBoxLanguageOfTheLoadedFile) {
    const wchar_t* a = rud::LoadResourceTextA(IDS_PANORAMA_YES);
    const wchar_t* b = rud::LoadResourceTextB(IDS_PANORAMA_NO);  // each loader has its own buffer
    EXPECT_TRUE(a && b && std::wstring(a) == L"Yes" && std::wstring(b) == L"No");
    EXPECT_TRUE(rud::LoadResourceTextA(4) == nullptr && rud::LoadResourceTextB(9999) == nullptr);
    const std::pair<const wchar_t*, WORD> cases[] = {{L"0", 1033}, {L"00", 1}, {L"1", 1}, {L"", 1}, {nullptr, 1}};
    for (auto [marker, language] : cases) EXPECT_EQ(rud::MessageBoxLanguage(marker), language);
    EXPECT_EQ(rud::CurrentMessageBoxLanguage(), 1033) << "the English file is loaded";
}

// The progress window's thread reads texts on every tick while 3ds Max's thread loads others,
// and 3ds Max keeps the class name and category it was handed for as long as the plug-in lives.
TEST(ResourceStrings, TextsFromTwoThreadsAtOnceAndWhatTheHostKeeps) {
    const wchar_t* className = rud::LoadResourceTextA(IDS_CLASS_NAME);
    const wchar_t* category = rud::LoadResourceTextA(IDS_CLASS_CATEGORY);
    ASSERT_TRUE(className && category);
    const std::wstring classNameText = className, categoryText = category;
    // Shared with the readers, which are left behind should one of them hang.
    struct Reading {
        std::vector<std::pair<int, std::wstring>> expected;
        std::atomic<size_t> wrong{0};
        std::atomic<int> finished{0};
    };
    auto reading = std::make_shared<Reading>();
    for (const auto& entry : kAllIds) reading->expected.emplace_back(entry.id, rud::ResourceText(entry.id));
    // One reader keeps each pointer a moment, as a caller that shows the text does; the other
    // copies texts as fast as it can.
    for (bool keepsPointers : {true, false}) {
        std::thread([reading, keepsPointers] {
            for (int round = 0; round < 100; ++round) {
                for (const auto& [id, text] : reading->expected) {
                    const wchar_t* loaded = keepsPointers ? rud::LoadResourceTextA(id) : nullptr;
                    if (keepsPointers) std::this_thread::yield();
                    const std::wstring got = keepsPointers ? std::wstring(loaded ? loaded : L"") : rud::ResourceText(id);
                    if (got != text) ++reading->wrong;
                }
            }
            ++reading->finished;
        }).detach();
    }
    for (int waited = 0; waited < 30000 && reading->finished < 2; waited += 10) ::Sleep(10);
    ASSERT_EQ(reading->finished.load(), 2) << "a reader did not finish within 30 s";
    EXPECT_EQ(reading->wrong.load(), 0u);
    EXPECT_EQ(std::wstring(className), classNameText);
    EXPECT_EQ(std::wstring(category), categoryText);
}

} // namespace
