// The module entry point and the six functions 3ds Max looks up by name when it loads a plug-in.
#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "plugin/HostShutdown.h"
#include "host/HostThread.h"
#include "host/MaxHostOperations.h"
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

// The notifications that open and close the host's own long operations. Open failures end an
// open as well: no "after" follows them.
struct ActivityNotice {
    int code;
    rud::HostActivity activity;
    bool starting;
};
constexpr ActivityNotice kActivityNotices[] = {
    {NOTIFY_FILE_PRE_SAVE, rud::HostActivity::kSaving, true},
    {NOTIFY_FILE_POST_SAVE, rud::HostActivity::kSaving, false},
    {NOTIFY_FILE_PRE_OPEN, rud::HostActivity::kOpening, true},
    {NOTIFY_FILE_POST_OPEN, rud::HostActivity::kOpening, false},
    {NOTIFY_FILE_OPEN_FAILED, rud::HostActivity::kOpening, false},
    {NOTIFY_SYSTEM_PRE_RESET, rud::HostActivity::kResetting, true},
    {NOTIFY_SYSTEM_POST_RESET, rud::HostActivity::kResetting, false},
    {NOTIFY_PRE_RENDER, rud::HostActivity::kRendering, true},
    {NOTIFY_POST_RENDER, rud::HostActivity::kRendering, false},
};

void HostActivityNotified(void* param, NotifyInfo* info) {
    try {
        auto* adapter = static_cast<rud::HostThreadOperations*>(param);
        if (!adapter || !info) return;
        for (const ActivityNotice& notice : kActivityNotices) {
            if (notice.code != info->intcode) continue;
            if (notice.starting) adapter->ActivityStarted(notice.activity);
            else adapter->ActivityEnded(notice.activity);
        }
    } catch (...) {
    }
}

void FollowHostActivities(rud::HostThreadOperations* adapter, bool follow) {
    for (const ActivityNotice& notice : kActivityNotices) {
        if (follow) RegisterNotification(HostActivityNotified, adapter, notice.code);
        else UnRegisterNotification(HostActivityNotified, adapter, notice.code);
    }
}

// 3ds Max is really going: the exit callbacks have all agreed. A quit that one of them refused
// leaves everything as it was; from here on nothing a run left queued opens a dialog.
void HostShuttingDown(void*, NotifyInfo*) {
    try {
        rud::RUDRenderingDataMgr::Instance().hostQuitting = true;
    } catch (...) {
    }
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
        // A call held behind one of the host's operations gives way to the artist's Cancel.
        ThreadedHost()->SetCancelCheck([] { return rud::RUDRenderingDataMgr::Instance().busyCancelRequested.load(); });
        rud::SetHost(ThreadedHost().get());
        FollowHostActivities(ThreadedHost().get(), true);
        RegisterNotification(rud::RegisterMenus, nullptr, rud::kMenuNotificationCode);
        RegisterNotification(HostShuttingDown, nullptr, NOTIFY_SYSTEM_SHUTDOWN);
    } catch (...) {
    }
    return TRUE;
}

__declspec(dllexport) int LibShutdown() {
    try {
        UnRegisterNotification(rud::RegisterMenus, nullptr, rud::kMenuNotificationCode);
        UnRegisterNotification(HostShuttingDown, nullptr, NOTIFY_SYSTEM_SHUTDOWN);
        if (ThreadedHost()) FollowHostActivities(ThreadedHost().get(), false);
        // A submission still running would go on calling the adapter after it is freed, and its
        // threads would run code 3ds Max is about to unload.
        if (!rud::EndRunningSubmission(ThreadedHost().get(), rud::RUDRenderingDataMgr::Instance())) {
            // It did not stop in time: the adapter stays, closed, so that its calls fail
            // instead of reaching freed memory.
            (void)ThreadedHost().release();
            return TRUE;
        }
        rud::SetHost(nullptr);
        ThreadedHost().reset();
    } catch (...) {
    }
    return TRUE;
}

} // extern "C"
