// The built plug-in, loaded as 3ds Max loads it: its exports, its descriptor and its menu.
#include "plugin/PluginIdentifiers.h"
#include "resources/StringIds.h"
#include "tests/plugin/PluginTestHost.h"
#include "tests/support/MessageBoxRecorder.h"

#include <notify.h>
#include <plugapi.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class PluginLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        // The plug-in picks its language file itself; make it the English one here.
        _wputenv(const_cast<wchar_t*>(L"RUD_LANGUAGE=en-US"));
        std::wstring path = rudtest::BinFolder() + L"\\RUD_Rendering_2025.gup";
        module = ::LoadLibraryW(path.c_str());
        ASSERT_NE(module, nullptr) << "cannot load the plug-in, error " << ::GetLastError();
        description = Export<const MCHAR* (*)()>("LibDescription");
        numberClasses = Export<int (*)()>("LibNumberClasses");
        classDesc = Export<ClassDesc* (*)(int)>("LibClassDesc");
        version = Export<ULONG (*)()>("LibVersion");
        initialize = Export<int (*)()>("LibInitialize");
        shutdown = Export<int (*)()>("LibShutdown");
        ASSERT_TRUE(description && numberClasses && classDesc && version && initialize && shutdown);
    }
    void TearDown() override {
        maxstandin::ResetActions();
        if (module) ::FreeLibrary(module);
    }
    template <typename T>
    T Export(const char* name) {
        return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }

    HMODULE module = nullptr;
    const MCHAR* (*description)() = nullptr;
    int (*numberClasses)() = nullptr;
    ClassDesc* (*classDesc)(int) = nullptr;
    ULONG (*version)() = nullptr;
    int (*initialize)() = nullptr;
    int (*shutdown)() = nullptr;
};

TEST_F(PluginLibrary, ExportsAnswerAsTheHostExpects) {
    EXPECT_EQ(version(), 0x69784200u);
    EXPECT_EQ(version(), static_cast<ULONG>(VERSION_3DSMAX));
    EXPECT_EQ(numberClasses(), 1);
    ClassDesc* first = classDesc(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(classDesc(0), first);
    EXPECT_EQ(classDesc(1), nullptr);
    EXPECT_EQ(classDesc(-1), nullptr);
    EXPECT_EQ(first->HInstance(), module);
    EXPECT_STREQ(first->NonLocalizedClassName(), L"RUD_Rendering_2025");
    ASSERT_NE(description(), nullptr);
    EXPECT_EQ(std::wstring(description()), rudtest::Text(IDS_LIB_DESCRIPTION));
    // The entry point switched the module to the host's language pack.
    EXPECT_EQ(maxstandin::LanguagePackLocaleModule(), module);
}

TEST_F(PluginLibrary, InitializeRegistersTheMenuHandlerAndShutdownRemovesIt) {
    rudtest::TestCoreInterface core;
    int before = maxstandin::NotificationHandlerCount(NOTIFY_CUI_REGISTER_MENUS);
    EXPECT_EQ(initialize(), TRUE);
    EXPECT_EQ(maxstandin::NotificationHandlerCount(NOTIFY_CUI_REGISTER_MENUS), before + 1);

    maxstandin::MenuManager menus;
    BroadcastNotification(NOTIFY_CUI_REGISTER_MENUS, &menus);
    ASSERT_EQ(menus.Bar().Entries().size(), 1u);
    EXPECT_EQ(menus.Bar().Entries()[0].subMenu->Entries().size(), 3u);
    ActionTable* table = maxstandin::StandardActionManager()->FindTable(rud::kActionTableId);
    ASSERT_NE(table, nullptr);
    struct Case { int id; int stringId; };
    for (const Case& c : {Case{1497, IDS_ACTION_SUBMIT}, Case{1498, IDS_ACTION_ABOUT}}) {
        MSTR text;
        EXPECT_EQ(table->GetMenuText(c.id, text), TRUE);
        EXPECT_EQ(std::wstring(text.data()), rudtest::Text(c.stringId));
    }
    // An unknown command is accepted and does nothing.
    EXPECT_EQ(maxstandin::StandardActionManager()->ExecuteAction(rud::kActionTableId, 4242), TRUE);

    EXPECT_EQ(shutdown(), TRUE);
    EXPECT_EQ(maxstandin::NotificationHandlerCount(NOTIFY_CUI_REGISTER_MENUS), before);
    maxstandin::MenuManager later;
    BroadcastNotification(NOTIFY_CUI_REGISTER_MENUS, &later);
    EXPECT_TRUE(later.Bar().Entries().empty());
}

} // namespace
