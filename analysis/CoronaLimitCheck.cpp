// The submission's Corona check: the farm does not take a Corona scene that may render forever.
#include "analysis/SceneChecks.h"
#include "core/MessageBoxes.h"
#include "core/ResourceStrings.h"
#include "resources/StringIds.h"

#include <string>

namespace rud {

bool CheckCoronaLimits(HWND dialog) {
    return CheckCoronaLimits(RUDRenderingDataMgr::Instance(), dialog);
}

bool CheckCoronaLimits(RUDRenderingDataMgr& store, HWND dialog) {
    const CoronaLimits& limits = store.coronaLimits;
    const bool corona = store.coronaLimitState == 1 || store.coronaLimitState == 2;
    if (!corona || limits.coronaNoiseLevelLimit != 0.0 || limits.coronaPassLimit != 0 ||
        limits.coronaTimeLimitSeconds != 0)
        return true;
    // The busy dialog would otherwise sit on top of the box until the artist answers it.
    if (store.busyState.load() == kThreadRunning && store.busyThread != nullptr) store.busyCloseRequested = true;
    // Runs on the submission worker: loader B, and copies before the next load.
    const wchar_t* loaded = LoadResourceTextB(IDS_CORONA_NOT_LIMITED);
    const std::wstring text = loaded ? loaded : L"";
    loaded = LoadResourceTextB(IDS_CAPTION_NOTICE);
    const std::wstring caption = loaded ? loaded : L"";
    ShowMessageBox(dialog, text, caption, MB_OK, CurrentMessageBoxLanguage());
    return false;
}

} // namespace rud
