#include "tests/plugin/PluginTestHost.h"

#include "core/ResourceStrings.h"

namespace rudtest {

TestCoreInterface::TestCoreInterface(bool withActionManager) : withActionManager(withActionManager) {
    maxstandin::ResetActions();
    maxstandin::SetCoreInterface(this);
}

TestCoreInterface::~TestCoreInterface() {
    maxstandin::SetCoreInterface(nullptr);
    maxstandin::ResetActions();
}

IActionManager* TestCoreInterface::GetActionManager() {
    return withActionManager ? maxstandin::StandardActionManager() : nullptr;
}

std::wstring Text(int id) {
    const wchar_t* text = rud::LoadResourceTextA(id);
    return text ? text : L"";
}

} // namespace rudtest
