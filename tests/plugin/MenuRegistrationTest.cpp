// The menu the shell builds each time the host asks plug-ins to register their menus.
#include "plugin/MenuRegistration.h"
#include "plugin/PluginIdentifiers.h"
#include "resources/StringIds.h"
#include "tests/plugin/PluginTestHost.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <set>
#include <string>

namespace {

using maxstandin::MenuEntry;

struct Arrival {
    maxstandin::MenuManager menus;
    void Raise() {
        NotifyInfo info{rud::kMenuNotificationCode, &menus};
        rud::RegisterMenus(nullptr, &info);
    }
    const maxstandin::Menu* SubMenu() const {
        const auto& top = menus.Bar().Entries();
        return top.size() == 1 && top[0].kind == MenuEntry::SubMenu ? top[0].subMenu : nullptr;
    }
};

std::wstring GuidText(const GUID& guid) {
    wchar_t text[64] = {};
    ::StringFromGUID2(guid, text, 64);
    return text;
}

TEST(MenuRegistration, EachArrivalBuildsTheSubMenuWithFreshIdentifiers) {
    rudtest::TestCoreInterface core;
    Arrival first, second;
    first.Raise();
    second.Raise();

    std::set<std::wstring> identifiers;
    for (const Arrival* arrival : {&first, &second}) {
        const auto& top = arrival->menus.Bar().Entries();
        ASSERT_EQ(top.size(), 1u);
        EXPECT_EQ(top[0].title, rudtest::Text(IDS_MENU_TITLE));
        identifiers.insert(GuidText(top[0].id));
        const maxstandin::Menu* sub = arrival->SubMenu();
        ASSERT_NE(sub, nullptr);
        const auto& items = sub->Entries();
        ASSERT_EQ(items.size(), 3u);
        const struct { MenuEntry::Kind kind; int action; } expected[] = {
            {MenuEntry::Action, rud::kActionOpenMainDialog},
            {MenuEntry::Separator, 0},
            {MenuEntry::Action, rud::kActionAbout},
        };
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].kind, expected[i].kind) << i;
            EXPECT_EQ(items[i].actionId, expected[i].action) << i;
            EXPECT_TRUE(items[i].title.empty()) << "the host shows the action's own menu text";
            if (items[i].kind == MenuEntry::Action) {
                EXPECT_EQ(items[i].tableId, rud::kActionTableId);
            }
            identifiers.insert(GuidText(items[i].id));
        }
    }
    EXPECT_EQ(identifiers.size(), 8u) << "every item of every arrival gets its own GUID";
    EXPECT_EQ(identifiers.count(GuidText(GUID{})), 0u);

    EXPECT_EQ(maxstandin::ActionContextName(rud::kActionContextId), L"Quillmere");
    ActionTable* table = maxstandin::StandardActionManager()->FindTable(rud::kActionTableId);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->GetContextId(), rud::kActionContextId);
    EXPECT_EQ(std::wstring(table->GetName().data()), rudtest::Text(IDS_ACTION_SUBMIT));
    EXPECT_NE(table->GetCallback(), nullptr);
    // The descriptions the table was made from: 1498 first, then 1497.
    ASSERT_EQ(table->Count(), 2);
    EXPECT_EQ((*table)[0]->GetId(), rud::kActionAbout);
    EXPECT_EQ((*table)[1]->GetId(), rud::kActionOpenMainDialog);
}

TEST(MenuRegistration, WithoutCoreInterfaceOrActionManagerOnlyTheSubMenuAppears) {
    struct Case { const char* name; bool core; bool actionManager; };
    for (const Case& c : {Case{"no core interface", false, true}, Case{"no action manager", true, false}}) {
        rudtest::TestCoreInterface core(c.actionManager);
        if (!c.core) maxstandin::SetCoreInterface(nullptr);
        Arrival arrival;
        arrival.Raise();
        const maxstandin::Menu* sub = arrival.SubMenu();
        ASSERT_NE(sub, nullptr) << c.name;
        EXPECT_TRUE(sub->Entries().empty()) << c.name;
        EXPECT_EQ(maxstandin::StandardActionManager()->FindTable(rud::kActionTableId), nullptr) << c.name;
        EXPECT_TRUE(maxstandin::ActionContextName(rud::kActionContextId).empty()) << c.name;
    }
}

TEST(MenuRegistration, ANotificationWithoutMenuManagerIsIgnored) {
    rudtest::TestCoreInterface core;
    NotifyInfo info{rud::kMenuNotificationCode, nullptr};
    rud::RegisterMenus(nullptr, &info);
    rud::RegisterMenus(nullptr, nullptr);
    EXPECT_EQ(maxstandin::StandardActionManager()->FindTable(rud::kActionTableId), nullptr);
}

} // namespace
