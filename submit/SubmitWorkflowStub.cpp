// Placeholder until the submission worker lands: a worker that only ends, as the dialog expects.
#include "submit/SubmitWorkflow.h"

#include "analysis/RUDRenderingDataMgr.h"

namespace rud {

void RequestBusyClose() {
    auto& store = RUDRenderingDataMgr::Instance();
    if (store.busyState == kThreadRunning && store.busyThread) store.busyCloseRequested = true;
}

void SubmitScene(HWND, std::wstring, std::wstring, std::wstring) {}

void SubmitWorker(HWND dialog, std::wstring caption, std::wstring string68, std::wstring languageMarker) {
    SubmitScene(dialog, caption, string68, languageMarker);
    RequestBusyClose();
    RUDRenderingDataMgr::Instance().submitState = kThreadFinished;
}

} // namespace rud
