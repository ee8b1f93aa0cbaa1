#pragma once
// The end of a submission that is still running when 3ds Max closes the plug-in.
#include <windows.h>

namespace rud {

class HostThreadOperations;
class RUDRenderingDataMgr;

// The worker and the objects it holds reach the host through the hand-over adapter, which the
// plug-in frees when 3ds Max unloads it. Before that, a running submission is asked to stop and
// its host calls are served for up to `serveMs` while it winds down; then the adapter refuses
// every call (the worker gets an error, not a hang), and the worker gets `closedMs` more.
// True when the worker's and the progress window's threads have returned: only then may the
// adapter be freed and the module unloaded.
[[nodiscard]] bool EndRunningSubmission(HostThreadOperations* adapter, RUDRenderingDataMgr& store,
                                        DWORD serveMs = 20000, DWORD closedMs = 5000);

} // namespace rud
