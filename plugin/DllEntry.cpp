// The module entry point and the six functions 3ds Max looks up by name when it loads a plug-in.
#include "core/ResourceStrings.h"
#include "plugin/MaxHostOperations.h"
#include "plugin/MenuRegistration.h"
#include "plugin/PluginIdentifiers.h"
#include "plugin/RUD_Rendering_2025ClassDesc.h"
#include "resources/StringIds.h"

#include <max.h>
#include <notify.h>
#include <systemutilities.h>

namespace {

rud::MaxHostOperations& MaxHost() {
    static rud::MaxHostOperations host;
    return host;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        MaxSDK::Util::UseLanguagePackLocale(instance);
        rud::SetModuleInstance(instance);
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" {

__declspec(dllexport) const MCHAR* LibDescription() {
    try {
        return rud::LoadResourceTextA(IDS_LIB_DESCRIPTION);
    } catch (...) {
        return nullptr;
    }
}

__declspec(dllexport) int LibNumberClasses() { return 1; }

__declspec(dllexport) ClassDesc* LibClassDesc(int i) {
    return i == 0 ? &rud::RUD_Rendering_2025ClassDesc::Instance() : nullptr;
}

__declspec(dllexport) ULONG LibVersion() { return rud::kLibraryVersion; }

__declspec(dllexport) int LibInitialize() {
    try {
        rud::SetHost(&MaxHost());
        RegisterNotification(rud::RegisterMenus, nullptr, rud::kMenuNotificationCode);
    } catch (...) {
    }
    return TRUE;
}

__declspec(dllexport) int LibShutdown() {
    try {
        UnRegisterNotification(rud::RegisterMenus, nullptr, rud::kMenuNotificationCode);
        rud::SetHost(nullptr);
    } catch (...) {
    }
    return TRUE;
}

} // extern "C"
