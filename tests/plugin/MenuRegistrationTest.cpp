// The menu the shell builds each time the host asks plug-ins to register their menus.
#include "plugin/MenuRegistration.h"
#include "core/ResourceStrings.h"
#include "plugin/PluginIdentifiers.h"
#include "resources/StringIds.h"
#include "tests/plugin/PluginTestHost.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using maxstandin::MenuEntry;

// Raises the menu notification with a menu manager of its own; the sub-menu, when built, is its only entry.
const maxstandin::Menu* RaiseMenuNotification(maxstandin::MenuManager& menus) {
    NotifyInfo info{rud::kMenuNotificationCode, &menus};
    rud::RegisterMenus(nullptr, &info);
    const auto& top = menus.Bar().Entries();
    return top.size() == 1 && top[0].kind == MenuEntry::SubMenu ? top[0].subMenu : nullptr;
}

std::string GuidBytes(const GUID& guid) { return std::string(reinterpret_cast<const char*>(&guid), sizeof guid); }

TEST(MenuRegistration, EachArrivalBuildsTheSubMenuWithFreshIdentifiers) {
    rudtest::TestCoreInterface core;
    std::set<std::string> identifiers;
    maxstandin::MenuManager arrivals[2];
    for (maxstandin::MenuManager& menus : arrivals) {
        const maxstandin::Menu* sub = RaiseMenuNotification(menus);
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(menus.Bar().Entries()[0].title, rud::ResourceText(IDS_MENU_TITLE));
        identifiers.insert(GuidBytes(menus.Bar().Entries()[0].id));
        // Submit, a separator, About; the host shows each action's own menu text.
        const std::pair<MenuEntry::Kind, int> expected[] = {
            {MenuEntry::Action, rud::kActionOpenMainDialog}, {MenuEntry::Separator, 0},
            {MenuEntry::Action, rud::kActionAbout}};
        ASSERT_EQ(sub->Entries().size(), std::size(expected));
        for (size_t i = 0; i < std::size(expected); ++i) {
            const MenuEntry& item = sub->Entries()[i];
            EXPECT_TRUE(item.kind == expected[i].first && item.actionId == expected[i].second) << i;
            EXPECT_TRUE(item.title.empty()) << i;
            EXPECT_TRUE(item.kind != MenuEntry::Action || item.tableId == rud::kActionTableId) << i;
            identifiers.insert(GuidBytes(item.id));
        }
    }
    EXPECT_EQ(identifiers.size(), 8u) << "every item of every arrival gets its own GUID";
    EXPECT_EQ(maxstandin::ActionTableRegistrations(rud::kActionTableId), 1) << "the actions belong to the process";
    rudtest::MessageBoxRecorder boxes;
    EXPECT_TRUE(maxstandin::StandardActionManager()->ExecuteAction(rud::kActionTableId, rud::kActionAbout));
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(identifiers.count(GuidBytes(GUID{})), 0u);

    EXPECT_EQ(maxstandin::ActionContextName(rud::kActionContextId), L"Quillmere");
    ActionTable* table = maxstandin::StandardActionManager()->FindTable(rud::kActionTableId);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->GetContextId(), rud::kActionContextId);
    EXPECT_EQ(std::wstring(table->GetName().data()), rud::ResourceText(IDS_ACTION_SUBMIT));
    EXPECT_NE(table->GetCallback(), nullptr);
    ASSERT_EQ(table->Count(), 2);  // made from the descriptions: 1498 first, then 1497
    EXPECT_TRUE((*table)[0]->GetId() == rud::kActionAbout && (*table)[1]->GetId() == rud::kActionOpenMainDialog);
    // 3ds Max lists each action by texts it loads from the table's HINSTANCE: none may be blank.
    for (auto [index, stringId] : {std::pair{0, IDS_ACTION_ABOUT}, std::pair{1, IDS_ACTION_SUBMIT}}) {
        MSTR category, shortName, description;
        (*table)[index]->GetCategoryText(category);
        (*table)[index]->GetButtonText(shortName);
        (*table)[index]->GetDescriptionText(description);
        const std::wstring expected = rud::ResourceText(stringId);
        EXPECT_FALSE(expected.empty());
        for (const MSTR* text : {&category, &shortName, &description})
            EXPECT_EQ(std::wstring(text->data()), expected) << index;
    }
}

TEST(MenuRegistration, WithoutCoreInterfaceOrActionManagerOnlyTheEmptySubMenuAppears) {
    for (bool withCore : {false, true}) {
        rudtest::TestCoreInterface core(/*withActionManager=*/!withCore);
        if (!withCore) maxstandin::SetCoreInterface(nullptr);
        maxstandin::MenuManager menus;
        const maxstandin::Menu* sub = RaiseMenuNotification(menus);
        ASSERT_TRUE(sub && sub->Entries().empty()) << withCore;
        EXPECT_EQ(maxstandin::StandardActionManager()->FindTable(rud::kActionTableId), nullptr) << withCore;
        EXPECT_TRUE(maxstandin::ActionContextName(rud::kActionContextId).empty()) << withCore;
    }
    rudtest::TestCoreInterface core;  // a notification without menu manager, or without any data, is ignored
    NotifyInfo info{rud::kMenuNotificationCode, nullptr};
    rud::RegisterMenus(nullptr, &info);
    rud::RegisterMenus(nullptr, nullptr);
    EXPECT_EQ(maxstandin::StandardActionManager()->FindTable(rud::kActionTableId), nullptr);
}

} // namespace
