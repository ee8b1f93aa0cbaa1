#include "MenuLoads.h"

#include "HostOutput.h"

#include <notify.h>

#include <functional>

namespace maxhost {
namespace {

// Every action item of the menu bar must reach a table that has a callback to run it.
bool ActionsReachable(const maxstandin::Menu& bar, IActionManager& actions, std::wstring& missing) {
    std::function<bool(const maxstandin::Menu&)> walk = [&](const maxstandin::Menu& menu) {
        for (const maxstandin::MenuEntry& entry : menu.Entries()) {
            if (entry.kind == maxstandin::MenuEntry::SubMenu && entry.subMenu && !walk(*entry.subMenu)) return false;
            if (entry.kind != maxstandin::MenuEntry::Action) continue;
            ActionTable* table = actions.FindTable(entry.tableId);
            if (!table || !table->GetAction(entry.actionId) || !table->GetCallback()) {
                missing = std::to_wstring(entry.tableId) + L" " + std::to_wstring(entry.actionId);
                return false;
            }
        }
        return true;
    };
    return walk(bar);
}

} // namespace

bool LoadMenus(HostWindow& window, int loads) {
    std::vector<std::wstring> first;
    IActionManager* actions = maxstandin::StandardActionManager();
    for (int load = 1; load <= (loads < 1 ? 1 : loads); ++load) {
        maxstandin::MenuManager menus;
        BroadcastNotification(NOTIFY_CUI_REGISTER_MENUS, &menus);
        window.ShowMenus(menus.Bar());
        std::wstring missing;
        if (!ActionsReachable(menus.Bar(), *actions, missing)) {
            PrintLine(L"LOAD FAILED menu load " + std::to_wstring(load) + L": no active action " + missing);
            return false;
        }
        if (load == 1) {
            first = window.MenuLines();
            for (const std::wstring& line : first) PrintLine(L"MENU " + line);
        } else if (window.MenuLines() != first) {
            PrintLine(L"LOAD FAILED menu load " + std::to_wstring(load) + L" differs from the first");
            return false;
        }
    }
    return true;
}

} // namespace maxhost
