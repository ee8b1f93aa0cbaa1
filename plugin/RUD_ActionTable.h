#pragma once
// The plug-in's action table: its two actions take their menu texts from the string table.
#include <actiontable.h>

namespace rud {

class RUD_ActionTable : public ActionTable {
public:
    RUD_ActionTable(ActionTableId id, ActionContextId contextId, MSTR& name, HACCEL defaults,
                    int numIds, ActionDescription* ops, HINSTANCE instance);
    BOOL GetMenuText(int cmdId, MSTR& text) override;
};

// The descriptions handed to the table: 1498 first, then 1497.
ActionDescription* ActionDescriptions();
int ActionDescriptionCount();

} // namespace rud
