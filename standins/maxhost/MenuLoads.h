#pragma once
// Raises NOTIFY_CUI_REGISTER_MENUS the way 3ds Max does: at start-up and again each time a menu
// file loads, each time with a fresh menu manager whose menus replace the menu bar.
#include "HostWindow.h"

#include <string>
#include <vector>

namespace maxhost {

// Loads the menus `loads` times (at least once). Prints the MENU lines of the first load; a later
// load must give the same menu with every action item on an active table, else it prints
// "LOAD FAILED ..." and answers false.
bool LoadMenus(HostWindow& window, int loads);

} // namespace maxhost
