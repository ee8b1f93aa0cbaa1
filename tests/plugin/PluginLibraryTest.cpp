// The built plug-in, loaded as 3ds Max loads it: its exports, its descriptor and its menu.
#include "core/WinHandles.h"
#include "plugin/PluginIdentifiers.h"
#include "resources/StringIds.h"
#include "tests/plugin/PluginTestHost.h"
#include "tests/support/MessageBoxRecorder.h"

#include <notify.h>
#include <plugapi.h>

#include <gtest/gtest.h>

#include <cstring>

#include <cstdlib>
#include <string>
#include <vector>

struct PluginLibrary : ::testing::Test {
    void SetUp() override {
        _wputenv(const_cast<wchar_t*>(L"RUD_LANGUAGE=en-US"));  // the plug-in picks its language file itself
        module.reset(::LoadLibraryW((rudtest::BinFolder() + L"\\RUD_Rendering_2025.gup").c_str()));
        ASSERT_TRUE(module) << "cannot load the plug-in, error " << ::GetLastError();
    }
    template <typename Result, typename... Arguments>
    Result Call(const char* name, Arguments... arguments) {
        void* address = reinterpret_cast<void*>(::GetProcAddress(module.get(), name));
        auto function = reinterpret_cast<Result (*)(Arguments...)>(address);
        EXPECT_NE(function, nullptr) << name;
        return function ? function(arguments...) : Result();
    }
    rud::UniqueModule module;
};

TEST_F(PluginLibrary, ExportsAnswerAsTheHostExpects) {
    EXPECT_EQ(Call<ULONG>("LibVersion"), 0x69784200u);
    EXPECT_EQ(Call<int>("LibNumberClasses"), 1);
    ClassDesc* first = Call<ClassDesc*>("LibClassDesc", 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Call<ClassDesc*>("LibClassDesc", 0), first);
    EXPECT_TRUE(Call<ClassDesc*>("LibClassDesc", 1) == nullptr && Call<ClassDesc*>("LibClassDesc", -1) == nullptr);
    EXPECT_EQ(first->HInstance(), module.get());
    EXPECT_STREQ(Call<const MCHAR*>("LibDescription"), rud::ResourceText(IDS_LIB_DESCRIPTION).c_str());
    // The entry point switched the loading thread to the host's language pack.
    EXPECT_TRUE(maxstandin::ThreadUsedLanguagePack(::GetCurrentThreadId()));
}

// The language pack decides the plug-in's language, whatever Windows speaks: each row is loaded
// under the test's Windows language (English in the plain run; Chinese in the run that sets
// RUD_TEST_WINDOWS_LANGUAGE=zh-CN and a Chinese locale), so both directions disagree somewhere.
// The action texts that 3ds Max lists (short name, description, category) must be there too.
struct LanguagePack : ::testing::TestWithParam<const wchar_t*> {};

std::wstring FileText(const std::wstring& locale, int id) {
    const rud::UniqueModule file = rudtest::LoadLanguageFile(locale);
    wchar_t text[256] = {};
    if (file) ::LoadStringW(file.get(), static_cast<UINT>(id), text, 256);
    return text;
}

TEST_P(LanguagePack, DecidesTheLanguageOfDescriptionAndActionTexts) {
    const std::wstring pack = GetParam();
    if (const char* windows = std::getenv("RUD_TEST_WINDOWS_LANGUAGE")) {
        wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
        ::LCIDToLocaleName(MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0);
        ASSERT_EQ(std::wstring(name), std::wstring(windows, windows + std::strlen(windows))) << "Windows language not set";
    }
    _wputenv(const_cast<wchar_t*>(L"RUD_LANGUAGE="));
    maxstandin::SetLanguagePack(pack);
    rud::UniqueModule plugin(::LoadLibraryW((rudtest::BinFolder() + L"\\RUD_Rendering_2025.gup").c_str()));
    ASSERT_TRUE(plugin);
    auto function = [&](const char* name) { return reinterpret_cast<void*>(::GetProcAddress(plugin.get(), name)); };
    auto description = reinterpret_cast<const MCHAR* (*)()>(function("LibDescription"));
    auto initialize = reinterpret_cast<int (*)()>(function("LibInitialize"));
    auto shutdown = reinterpret_cast<int (*)()>(function("LibShutdown"));
    ASSERT_TRUE(description && initialize && shutdown);
    const std::wstring expected = FileText(pack, IDS_LIB_DESCRIPTION);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(std::wstring(description() ? description() : L""), expected) << pack;

    {
        rudtest::TestCoreInterface core;
        EXPECT_EQ(initialize(), TRUE);
        maxstandin::MenuManager menus;
        BroadcastNotification(NOTIFY_CUI_REGISTER_MENUS, &menus);
        ActionTable* table = maxstandin::StandardActionManager()->FindTable(rud::kActionTableId);
        ASSERT_NE(table, nullptr);
        HINSTANCE strings = maxstandin::ActionTableInstance(*table);
        std::vector<ActionDescription> actions = maxstandin::ActionTableDescriptions(*table);
        ASSERT_EQ(actions.size(), 2u);
        for (const ActionDescription& action : actions)
            for (int id : {action.mShortNameResourceID, action.mDescriptionResourceID, action.mCategoryResourceID}) {
                wchar_t text[256] = {};
                ::LoadStringW(strings, static_cast<UINT>(id), text, 256);
                EXPECT_TRUE(text[0] != L'\0' && text == FileText(pack, id)) << pack << " action " << action.mCmdID;
            }
        EXPECT_EQ(shutdown(), TRUE);
    }
    maxstandin::SetLanguagePack(L"en-US");
    _wputenv(const_cast<wchar_t*>(L"RUD_LANGUAGE=en-US"));
}

INSTANTIATE_TEST_SUITE_P(BothPacks, LanguagePack, ::testing::Values(L"zh-CN", L"en-US"));

TEST_F(PluginLibrary, InitializeRegistersTheMenuHandlerAndShutdownRemovesIt) {
    rudtest::TestCoreInterface core;
    const int before = maxstandin::NotificationHandlerCount(NOTIFY_CUI_REGISTER_MENUS);
    EXPECT_EQ(Call<int>("LibInitialize"), TRUE);
    EXPECT_EQ(maxstandin::NotificationHandlerCount(NOTIFY_CUI_REGISTER_MENUS), before + 1);
    maxstandin::MenuManager menus, later;
    BroadcastNotification(NOTIFY_CUI_REGISTER_MENUS, &menus);
    ASSERT_EQ(menus.Bar().Entries().size(), 1u);
    EXPECT_EQ(menus.Bar().Entries()[0].subMenu->Entries().size(), 3u);
    EXPECT_NE(maxstandin::StandardActionManager()->FindTable(rud::kActionTableId), nullptr);

    EXPECT_EQ(Call<int>("LibShutdown"), TRUE);
    EXPECT_EQ(maxstandin::NotificationHandlerCount(NOTIFY_CUI_REGISTER_MENUS), before);
    BroadcastNotification(NOTIFY_CUI_REGISTER_MENUS, &later);
    EXPECT_TRUE(later.Bar().Entries().empty());
}
