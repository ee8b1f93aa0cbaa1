// Action tables and the action manager of the stand-in host.
#include "../include/actiontable.h"
#include "../host/MaxStandin.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

MSTR LoadText(HINSTANCE module, int id) {
    wchar_t text[256] = {};
    if (::LoadStringW(module, static_cast<UINT>(id), text, 256) == 0) return MSTR();
    return MSTR(text);
}

class StandardActionItem final : public ActionItem {
public:
    StandardActionItem(ActionTable* table, const ActionDescription& description, HINSTANCE module)
        : table_(table), description_(description), module_(module) {}
    int GetId() override { return description_.mCmdID; }
    void GetButtonText(MSTR& text) override { text = LoadText(module_, description_.mShortNameResourceID); }
    void GetMenuText(MSTR& text) override { text = LoadText(module_, description_.mShortNameResourceID); }
    void GetDescriptionText(MSTR& text) override { text = LoadText(module_, description_.mDescriptionResourceID); }
    void GetCategoryText(MSTR& text) override { text = LoadText(module_, description_.mCategoryResourceID); }
    ActionTable* GetTable() override { return table_; }
    HINSTANCE Module() const { return module_; }
    const ActionDescription& Description() const { return description_; }
private:
    ActionTable* table_;
    ActionDescription description_;
    HINSTANCE module_;
};

} // namespace

struct ActionTable::Data {
    ActionTableId id;
    ActionContextId context;
    MSTR name;
    HACCEL accelerators;
    HINSTANCE module;
    std::vector<ActionItem*> items;
    ActionCallback* callback = nullptr;
};

ActionTable::ActionTable(ActionTableId id, ActionContextId contextId, MSTR& name, HACCEL hDefaults,
                         int numIds, ActionDescription* pOps, HINSTANCE hInst)
    : data(new Data{id, contextId, name, hDefaults, hInst, {}, nullptr}) {
    for (int i = 0; pOps && i < numIds; ++i)
        data->items.push_back(new StandardActionItem(this, pOps[i], hInst));
}

ActionTable::~ActionTable() {
    for (ActionItem* item : data->items) delete item;
    delete data;
}

ActionItem* ActionTable::GetAction(int cmdId) {
    for (ActionItem* item : data->items)
        if (item->GetId() == cmdId) return item;
    return nullptr;
}

BOOL ActionTable::GetMenuText(int cmdId, MSTR& text) {
    ActionItem* item = GetAction(cmdId);
    if (!item) return FALSE;
    item->GetMenuText(text);
    return TRUE;
}

BOOL ActionTable::GetButtonText(int cmdId, MSTR& text) {
    ActionItem* item = GetAction(cmdId);
    if (!item) return FALSE;
    item->GetButtonText(text);
    return TRUE;
}

BOOL ActionTable::GetDescriptionText(int cmdId, MSTR& text) {
    ActionItem* item = GetAction(cmdId);
    if (!item) return FALSE;
    item->GetDescriptionText(text);
    return TRUE;
}

BOOL ActionTable::IsEnabled(int) { return TRUE; }
BOOL ActionTable::IsChecked(int) { return FALSE; }
BOOL ActionTable::IsItemVisible(int) { return TRUE; }
int ActionTable::Count() { return static_cast<int>(data->items.size()); }
ActionItem* ActionTable::operator[](int index) {
    return index >= 0 && index < Count() ? data->items[static_cast<size_t>(index)] : nullptr;
}
ActionTableId ActionTable::GetId() { return data->id; }
ActionContextId ActionTable::GetContextId() { return data->context; }
MSTR& ActionTable::GetName() { return data->name; }
ActionCallback* ActionTable::GetCallback() { return data->callback; }
void ActionTable::SetCallback(ActionCallback* callback) { data->callback = callback; }
HACCEL ActionTable::GetHAccel() { return data->accelerators; }

namespace {

class StandardActionManager final : public IActionManager {
public:
    BOOL RegisterActionContext(ActionContextId contextId, const MCHAR* pName) override {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        if (contexts_.count(contextId)) return FALSE;
        contexts_[contextId] = pName ? pName : L"";
        return TRUE;
    }
    void RegisterActionTable(ActionTable* pTable) override {
        if (!pTable) return;
        std::lock_guard<std::recursive_mutex> guard(lock_);
        ++registrations_[pTable->GetId()];
        // A table registered again under the same ID replaces the earlier one (menus reload).
        if (std::find(tables_.begin(), tables_.end(), pTable) == tables_.end()) tables_.push_back(pTable);
        active_[pTable->GetId()] = pTable;
    }
    int ActivateActionTable(ActionCallback* pCallback, ActionTableId id) override {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        ActionTable* table = FindTable(id);
        if (!table || !pCallback) return FALSE;
        table->SetCallback(pCallback);
        if (std::find(callbacks_.begin(), callbacks_.end(), pCallback) == callbacks_.end())
            callbacks_.push_back(pCallback);
        return TRUE;
    }
    BOOL DeactivateActionTable(ActionCallback* pCallback, ActionTableId id) override {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        ActionTable* table = FindTable(id);
        if (!table || table->GetCallback() != pCallback) return FALSE;
        table->SetCallback(nullptr);
        return TRUE;
    }
    ActionTable* FindTable(ActionTableId id) override {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        auto it = active_.find(id);
        return it == active_.end() ? nullptr : it->second;
    }
    int NumActionTables() override {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        return static_cast<int>(active_.size());
    }
    ActionTable* GetTable(int index) override {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        for (auto& entry : active_)
            if (index-- == 0) return entry.second;
        return nullptr;
    }
    BOOL ExecuteAction(ActionTableId tableId, int cmdId) override {
        ActionCallback* callback = nullptr;
        {
            std::lock_guard<std::recursive_mutex> guard(lock_);
            ActionTable* table = FindTable(tableId);
            if (table) callback = table->GetCallback();
        }
        return callback ? callback->ExecuteAction(cmdId) : FALSE;
    }
    std::wstring ContextName(ActionContextId id) {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        auto it = contexts_.find(id);
        return it == contexts_.end() ? std::wstring() : it->second;
    }
    void Reset() {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        for (ActionCallback* callback : callbacks_) delete callback;
        for (ActionTable* table : tables_) delete table;
        callbacks_.clear();
        tables_.clear();
        active_.clear();
        contexts_.clear();
        registrations_.clear();
    }
    int Registrations(ActionTableId id) {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        auto it = registrations_.find(id);
        return it == registrations_.end() ? 0 : it->second;
    }

private:
    std::recursive_mutex lock_;
    std::map<ActionContextId, std::wstring> contexts_;
    std::map<ActionTableId, ActionTable*> active_;
    std::map<ActionTableId, int> registrations_;
    std::vector<ActionTable*> tables_;
    std::vector<ActionCallback*> callbacks_;
};

StandardActionManager& Manager() {
    // Never destroyed: the tables' code lives in plug-ins that may be gone at process exit.
    static StandardActionManager* manager = new StandardActionManager;
    return *manager;
}

} // namespace

namespace maxstandin {

IActionManager* StandardActionManager() { return &Manager(); }
std::wstring ActionContextName(ActionContextId context) { return Manager().ContextName(context); }
void ResetActions() { Manager().Reset(); }
int ActionTableRegistrations(ActionTableId id) { return Manager().Registrations(id); }

HINSTANCE ActionTableInstance(ActionTable& table) {
    for (int i = 0; i < table.Count(); ++i)
        if (auto* item = dynamic_cast<StandardActionItem*>(table[i])) return item->Module();
    return nullptr;
}

std::vector<ActionDescription> ActionTableDescriptions(ActionTable& table) {
    std::vector<ActionDescription> descriptions;
    for (int i = 0; i < table.Count(); ++i)
        if (auto* item = dynamic_cast<StandardActionItem*>(table[i])) descriptions.push_back(item->Description());
    return descriptions;
}

} // namespace maxstandin
