#pragma once
#include "ICuiMenu.h"

namespace MaxSDK {
namespace CUI {

class ICuiMenuManager : public MaxHeapOperators {
public:
    virtual ~ICuiMenuManager() {}
    virtual ICuiMenu* GetMainMenuBar() const = 0;
};

} // namespace CUI
} // namespace MaxSDK
