#pragma once
// The menu manager handed to NOTIFY_CUI_REGISTER_MENUS handlers. Like the SDK's header it only
// forward-declares ICuiMenu: code that calls menu members includes CUI/ICuiMenu.h itself.
#include "../ifnpub.h"
#include "../MaxGuid.h"

namespace MaxSDK {
namespace CUI {

class ICuiMenu;

class ICuiMenuManager : public MaxHeapOperators {
public:
    virtual ~ICuiMenuManager() {}
    virtual ICuiMenu* GetMainMenuBar() const = 0;
};

} // namespace CUI
} // namespace MaxSDK
