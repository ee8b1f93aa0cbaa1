#include "plugin/MenuRegistration.h"

#include "core/ResourceStrings.h"
#include "plugin/PluginIdentifiers.h"
#include "plugin/RUD_ActionCallback.h"
#include "plugin/RUD_ActionTable.h"
#include "resources/StringIds.h"

#include <CUI/ICuiMenu.h>
#include <CUI/ICuiMenuManager.h>
#include <MaxGuid.h>
#include <actiontable.h>
#include <max.h>


namespace rud {
namespace {

using MaxSDK::MaxGuid;
using MaxSDK::CUI::ICuiMenu;
using MaxSDK::CUI::ICuiMenuManager;

MSTR MenuText(int id) {
    return MSTR(rud::ResourceText(id).c_str());
}

// The host takes ownership of the table and the callback once they are registered. Menus are
// rebuilt on every menu-file load, but the actions belong to the process: registered once.
ActionTable* RegisterActions() {
    Interface* core = GetCOREInterface();
    if (!core) return nullptr;
    if (IActionManager* actions = core->GetActionManager())
        if (ActionTable* registered = actions->FindTable(kActionTableId)) return registered;
    MSTR tableName = MenuText(IDS_ACTION_SUBMIT);
    // The host loads each action's short name, description and category from this module's
    // string table: the language file, not the plug-in module (which holds no strings).
    auto* table = new RUD_ActionTable(kActionTableId, kActionContextId, tableName,
        nullptr, ActionDescriptionCount(), ActionDescriptions(), LanguageModule());
    if (!table) return nullptr;
    IActionManager* actions = core->GetActionManager();
    if (!actions) {
        delete table;
        return nullptr;
    }
    actions->RegisterActionContext(kActionContextId, kActionContextName);
    actions->RegisterActionTable(table);
    auto* callback = new RUD_ActionCallback;
    if (callback) actions->ActivateActionTable(callback, kActionTableId);
    return table;
}

void AddActionItem(ICuiMenu& menu, ActionTable& table, int actionId) {
    (void)table.GetAction(actionId);
    menu.CreateAction(MaxGuid::CreateMaxGuid(), kActionTableId, actionId, MSTR(), MaxGuid());
}

void BuildMenu(ICuiMenuManager& menus) {
    ICuiMenu* menuBar = menus.GetMainMenuBar();
    if (!menuBar) return;
    ICuiMenu* subMenu = menuBar->CreateSubMenu(MaxGuid::CreateMaxGuid(), MenuText(IDS_MENU_TITLE), MaxGuid());
    ActionTable* table = RegisterActions();
    if (!table || !subMenu) return;
    AddActionItem(*subMenu, *table, kActionOpenMainDialog);
    subMenu->CreateSeparator(MaxGuid::CreateMaxGuid(), MaxGuid());
    AddActionItem(*subMenu, *table, kActionAbout);
}

} // namespace

void RegisterMenus(void*, NotifyInfo* info) {
    try {
        if (info && info->callParam) BuildMenu(*static_cast<ICuiMenuManager*>(info->callParam));
    } catch (...) {
        // A failed menu must not take the host's start-up down with it.
    }
}

} // namespace rud
