#include "plugin/RUD_Rendering_2025.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "plugin/HostShutdown.h"
#include "plugin/HostThread.h"

namespace rud {

DWORD RUD_Rendering_2025::Start() { return GUPRESULT_KEEP; }

// 3ds Max stops its utility plug-ins as it closes; a submission still running ends first.
void RUD_Rendering_2025::Stop() {
    try {
        (void)EndRunningSubmission(dynamic_cast<HostThreadOperations*>(&Host()), RUDRenderingDataMgr::Instance());
    } catch (...) {
    }
}

void RUD_Rendering_2025::DeleteThis() { delete this; }

} // namespace rud
