// The built plug-in, loaded as 3ds Max loads it: its exports, its descriptor and its menu.
#include "core/WinHandles.h"
#include "plugin/PluginIdentifiers.h"
#include "resources/StringIds.h"
#include "tests/plugin/PluginTestHost.h"
#include "tests/support/MessageBoxRecorder.h"

#include <notify.h>
#include <plugapi.h>

#include <gtest/gtest.h>

#include <cstdlib>

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
    // The entry point switched the module to the host's language pack.
    EXPECT_EQ(maxstandin::LanguagePackLocaleModule(), module.get());
}

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
