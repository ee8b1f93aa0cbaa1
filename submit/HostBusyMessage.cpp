#include "submit/HostBusyMessage.h"

#include "core/ResourceStrings.h"
#include "resources/StringIds.h"

namespace rud {

std::wstring HostBusyMessage(int activity) {
    int what = IDS_HOST_BUSY_OTHER;
    switch (activity) {
    case static_cast<int>(HostActivity::kSaving): what = IDS_HOST_BUSY_SAVING; break;
    case static_cast<int>(HostActivity::kOpening): what = IDS_HOST_BUSY_OPENING; break;
    case static_cast<int>(HostActivity::kResetting): what = IDS_HOST_BUSY_RESETTING; break;
    case static_cast<int>(HostActivity::kRendering): what = IDS_HOST_BUSY_RENDERING; break;
    default: break;
    }
    return WorkerTextWith(IDS_HOST_BUSY_STOPPED, WorkerText(what));
}

} // namespace rud
