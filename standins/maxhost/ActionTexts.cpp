#include "ActionTexts.h"

#include <windows.h>

namespace maxhost {
namespace {

// The host loads each text with LoadString from the table's HINSTANCE; a missing string shows
// as an empty text, as it would in the real dialog.
std::wstring LoadText(HINSTANCE module, int id) {
    wchar_t text[512] = {};
    if (!module || ::LoadStringW(module, static_cast<UINT>(id), text, 512) == 0) return std::wstring();
    return text;
}

struct ActionText {
    ActionTableId table;
    int command;
    std::wstring category, shortName, description;
};

std::vector<ActionText> Collect(IActionManager& actions) {
    std::vector<ActionText> texts;
    for (int i = 0; i < actions.NumActionTables(); ++i) {
        ActionTable* table = actions.GetTable(i);
        if (!table) continue;
        HINSTANCE module = maxstandin::ActionTableInstance(*table);
        for (const ActionDescription& action : maxstandin::ActionTableDescriptions(*table))
            texts.push_back({table->GetId(), action.mCmdID, LoadText(module, action.mCategoryResourceID),
                             LoadText(module, action.mShortNameResourceID),
                             LoadText(module, action.mDescriptionResourceID)});
    }
    return texts;
}

} // namespace

std::vector<std::wstring> ActionTextLines(IActionManager& actions) {
    std::vector<std::wstring> lines;
    for (const ActionText& text : Collect(actions))
        lines.push_back(L"ACTION-TEXT " + std::to_wstring(text.table) + L" " + std::to_wstring(text.command) +
                        L" | " + text.category + L" | " + text.shortName + L" | " + text.description);
    return lines;
}

bool ActionTextsComplete(IActionManager& actions) {
    for (const ActionText& text : Collect(actions))
        if (text.category.empty() || text.shortName.empty() || text.description.empty()) return false;
    return true;
}

} // namespace maxhost
