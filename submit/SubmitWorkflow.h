#pragma once
// One submission, run on a detached worker thread started by the main dialog's submit button,
// from the order read at Submit; it tells the artist everything through the report.
#include "submit/SubmitOrder.h"
#include "submit/SubmitReport.h"

namespace rud {

class RUDRenderingDataMgr;

// The points at which the worker looks at the artist's Cancel, in the order a run meets them
// (kVirusCheckNext before each virus-check script).
enum class SubmitBoundary {
    kSavingNext, kSavingEnded, kVirusCheckNext, kPackingNext, kPackingEnded, kTaskFileNext, kSendingNext,
    kSendingStarted,
};
// Called at each boundary before the look; tests use it to cancel at an exact point.
using SubmitBoundaryHook = void (*)(SubmitBoundary);
void SetSubmitBoundaryHook(SubmitBoundaryHook hook);

// The artist's Cancel (busy dialog): true when it stops the submission. It does from the first
// moment until the request starts to leave, since a request on its way cannot be called back.
// A host operation cannot be interrupted: a Cancel during the save or a virus-check script
// takes effect as soon as it ends; one during packing stops 7-Zip.
[[nodiscard]] bool RequestSubmitCancel(RUDRenderingDataMgr& store);

// Thread function: runs the order, asks the busy dialog to close, reports the end and then marks
// the worker finished (submitState 11). The order is the run's own (move it in: its analysis
// text may be tens of megabytes). No exception leaves it.
void SubmitWorker(SubmitOrder order, ISubmitReport& report);
// Asks the busy dialog to close when its thread runs (busyState 0 and busyThread set).
void RequestBusyClose();

} // namespace rud
