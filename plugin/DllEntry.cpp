// The module entry point and the six functions 3ds Max looks up by name when it loads a plug-in.
#include "core/ResourceStrings.h"
#include "plugin/HostThread.h"
#include "plugin/MaxHostOperations.h"
#include "plugin/MenuRegistration.h"
#include "plugin/PluginIdentifiers.h"
#include "plugin/RUD_Rendering_2025ClassDesc.h"
#include "resources/StringIds.h"

#include <max.h>
#include <notify.h>
#include <plugapi.h>
#include <systemutilities.h>

#include <memory>
#include <string>

// The 2025 host refuses a library whose version differs from its own; the fixed value must be
// the SDK's.
static_assert(rud::kLibraryVersion == VERSION_3DSMAX, "LibVersion must answer VERSION_3DSMAX");

namespace {

rud::MaxHostOperations& MaxHost() {
    static rud::MaxHostOperations host;
    return host;
}

// Made in LibInitialize, on the host's main thread: the thread every host call is handed to.
std::unique_ptr<rud::HostThreadOperations>& ThreadedHost() {
    static std::unique_ptr<rud::HostThreadOperations> host;
    return host;
}

// The language pack 3ds Max started with decides the plug-in's language, not Windows'.
std::wstring HostLanguagePack() {
    const MCHAR* folder = MaxSDK::Util::GetLanguagePackDirName();
    if (folder && *folder) return folder;
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (::LCIDToLocaleName(MAKELCID(MaxSDK::Util::GetLanguageID(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0) > 0)
        return name;
    return std::wstring();
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        MaxSDK::Util::UseLanguagePackLocale();
        rud::SetModuleInstance(instance);
        rud::SetLanguagePackQuery(&HostLanguagePack);
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
        ThreadedHost() = std::make_unique<rud::HostThreadOperations>(MaxHost());
        rud::SetHost(ThreadedHost().get());
        RegisterNotification(rud::RegisterMenus, nullptr, rud::kMenuNotificationCode);
    } catch (...) {
    }
    return TRUE;
}

__declspec(dllexport) int LibShutdown() {
    try {
        UnRegisterNotification(rud::RegisterMenus, nullptr, rud::kMenuNotificationCode);
        rud::SetHost(nullptr);
        ThreadedHost().reset();
    } catch (...) {
    }
    return TRUE;
}

} // extern "C"
