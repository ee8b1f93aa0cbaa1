#include "plugin/RUD_ActionTable.h"

#include "core/ResourceStrings.h"
#include "plugin/PluginIdentifiers.h"
#include "resources/StringIds.h"

namespace rud {
namespace {

ActionDescription descriptions[] = {
    {kActionAbout, IDS_ACTION_ABOUT, IDS_ACTION_ABOUT, IDS_ACTION_ABOUT},
    {kActionOpenMainDialog, IDS_ACTION_SUBMIT, IDS_ACTION_SUBMIT, IDS_ACTION_SUBMIT},
};

} // namespace

ActionDescription* ActionDescriptions() { return descriptions; }
int ActionDescriptionCount() { return static_cast<int>(sizeof(descriptions) / sizeof(descriptions[0])); }

RUD_ActionTable::RUD_ActionTable(ActionTableId id, ActionContextId contextId, MSTR& name,
                                 HACCEL defaults, int numIds, ActionDescription* ops, HINSTANCE instance)
    : ActionTable(id, contextId, name, defaults, numIds, ops, instance) {}

BOOL RUD_ActionTable::GetMenuText(int cmdId, MSTR& text) {
    int stringId = cmdId == kActionOpenMainDialog ? IDS_ACTION_SUBMIT
                 : cmdId == kActionAbout          ? IDS_ACTION_ABOUT
                                                  : 0;
    if (stringId == 0) return ActionTable::GetMenuText(cmdId, text);
    const wchar_t* menuText = LoadResourceTextA(stringId);
    text = menuText ? menuText : L"";
    return TRUE;
}

} // namespace rud
