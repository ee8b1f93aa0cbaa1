#pragma once
#include "../MaxGuid.h"
#include "../actiontable.h"
#include "../strclass.h"

namespace MaxSDK {
namespace CUI {

class ICuiMenuItem : public MaxHeapOperators {
public:
    virtual ~ICuiMenuItem() {}
    virtual const MaxGuid& GetId() const = 0;
};

class ICuiActionMenuItem : public ICuiMenuItem {
public:
    virtual ActionTableId GetActionTableId() const = 0;
    virtual int GetActionId() const = 0;
};

class ICuiMenu : public ICuiMenuItem {
public:
    virtual ICuiMenu* CreateSubMenu(const MaxGuid& id, const MSTR& title,
                                    const MaxGuid& beforeId = MaxGuid()) = 0;
    virtual ICuiActionMenuItem* CreateAction(const MaxGuid& id, ActionTableId tableId, int actionId,
                                             const MSTR& title = MSTR(),
                                             const MaxGuid& beforeId = MaxGuid()) = 0;
    virtual ICuiMenuItem* CreateSeparator(const MaxGuid& id, const MaxGuid& beforeId = MaxGuid()) = 0;
};

} // namespace CUI
} // namespace MaxSDK
