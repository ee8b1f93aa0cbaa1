#include "plugin/RUD_Rendering_2025.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "plugin/HostShutdown.h"
#include "host/HostThread.h"
#include "submit/SceneSnapshot.h"
#include "ui/BackgroundSubmission.h"

namespace rud {

BOOL RUDQuitDuringSubmission::Exit(HWND mainWindow) {
    try {
        return MayQuitDuringSubmission(mainWindow) ? TRUE : FALSE;
    } catch (...) {
        return TRUE;   // a fault of ours must not keep the artist from quitting
    }
}

DWORD RUD_Rendering_2025::Start() {
    try {
        RemoveLeftSnapshots(RUDRenderingDataMgr::Instance());
        if (Interface* core = GetCOREInterface()) {
            core->RegisterExitMAXCallback(&quitCallback_);
            quitCallbackRegistered_ = true;
        }
    } catch (...) {
    }
    return GUPRESULT_KEEP;
}

// 3ds Max stops its utility plug-ins as it closes; a submission still running ends first.
void RUD_Rendering_2025::Stop() {
    try {
        if (quitCallbackRegistered_) {
            if (Interface* core = GetCOREInterface()) core->UnRegisterExitMAXCallback(&quitCallback_);
            quitCallbackRegistered_ = false;
        }
        (void)EndRunningSubmission(dynamic_cast<HostThreadOperations*>(&Host()), RUDRenderingDataMgr::Instance());
    } catch (...) {
    }
}

void RUD_Rendering_2025::DeleteThis() { delete this; }

} // namespace rud
