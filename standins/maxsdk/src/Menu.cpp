// Menus as plug-ins build them in the 2025 menu system: sub-menus, action items, separators.
#include "../host/MaxStandin.h"

namespace maxstandin {
namespace {

class Separator final : public MaxSDK::CUI::ICuiMenuItem {
public:
    explicit Separator(const MaxSDK::MaxGuid& id) : id_(id) {}
    const MaxSDK::MaxGuid& GetId() const override { return id_; }
private:
    MaxSDK::MaxGuid id_;
};

class ActionMenuItem final : public MaxSDK::CUI::ICuiActionMenuItem {
public:
    ActionMenuItem(const MaxSDK::MaxGuid& id, ActionTableId table, int action)
        : id_(id), table_(table), action_(action) {}
    const MaxSDK::MaxGuid& GetId() const override { return id_; }
    ActionTableId GetActionTableId() const override { return table_; }
    int GetActionId() const override { return action_; }
private:
    MaxSDK::MaxGuid id_;
    ActionTableId table_;
    int action_;
};

} // namespace

Menu::Menu(const std::wstring& title) : title_(title) {}

Menu::~Menu() {
    for (MaxSDK::CUI::ICuiMenuItem* item : owned_) delete item;
}

const MaxSDK::MaxGuid& Menu::GetId() const { return id_; }
const std::vector<MenuEntry>& Menu::Entries() const { return entries_; }

size_t Menu::InsertPosition(const MaxSDK::MaxGuid& beforeId) const {
    if (beforeId.IsValid())
        for (size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].id == beforeId) return i;
    return entries_.size();
}

MaxSDK::CUI::ICuiMenu* Menu::CreateSubMenu(const MaxSDK::MaxGuid& id, const MSTR& title,
                                           const MaxSDK::MaxGuid& beforeId) {
    Menu* menu = new Menu(title.data());
    menu->SetId(id);
    owned_.push_back(menu);
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(InsertPosition(beforeId)),
                    MenuEntry{MenuEntry::SubMenu, id, title.data(), 0, 0, menu});
    return menu;
}

MaxSDK::CUI::ICuiActionMenuItem* Menu::CreateAction(const MaxSDK::MaxGuid& id, ActionTableId tableId,
    int actionId, const MSTR& title, const MaxSDK::MaxGuid& beforeId) {
    auto* item = new ActionMenuItem(id, tableId, actionId);
    owned_.push_back(item);
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(InsertPosition(beforeId)),
                    MenuEntry{MenuEntry::Action, id, title.data(), tableId, actionId, nullptr});
    return item;
}

MaxSDK::CUI::ICuiMenuItem* Menu::CreateSeparator(const MaxSDK::MaxGuid& id, const MaxSDK::MaxGuid& beforeId) {
    auto* item = new Separator(id);
    owned_.push_back(item);
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(InsertPosition(beforeId)),
                    MenuEntry{MenuEntry::Separator, id, L"", 0, 0, nullptr});
    return item;
}

} // namespace maxstandin
