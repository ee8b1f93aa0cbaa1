#include "plugin/HostShutdown.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "host/HostThread.h"

#include <functional>

namespace rud {

bool EndRunningSubmission(HostThreadOperations* adapter, RUDRenderingDataMgr& store, DWORD serveMs, DWORD closedMs) {
    // The progress window's thread runs this module's code too, until the worker has ended.
    // Only a thread that has returned is done with the module: its state says finished before
    // its last destructors have run.
    const std::function<bool()> finished = [&store] {
        return store.submitThread.Returned() && store.busyThread.Returned();
    };
    // Nothing the last run left queued opens a dialog on a closing host.
    store.hostQuitting = true;
    if (finished()) return true;
    try {
        store.dataLog.write("3ds Max is closing while a submission runs: it is asked to stop.", "WARN");
    } catch (...) {
    }
    store.busyCancelRequested = true;
    if (!adapter) {
        for (DWORD waited = 0; !finished() && waited < serveMs + closedMs; waited += 50) ::Sleep(50);
        return finished();
    }
    if (!adapter->Closed() && adapter->ServeUntil(finished, serveMs)) return true;
    adapter->Close();
    return adapter->ServeUntil(finished, closedMs);
}

} // namespace rud
