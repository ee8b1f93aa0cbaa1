#pragma once
// Builds the plug-in's sub-menu and registers its actions whenever the host (re)loads its menus.
#include <notify.h>

namespace rud {

// The handler for the menu-registration notification; its call parameter is the menu manager.
void RegisterMenus(void* param, NotifyInfo* info);

} // namespace rud
