#pragma once
#include "core/ClientInfo.h"

namespace rud {

// Runs the ADSL, ALC and CRP cleaning scripts on the open scene, in that order, and logs each.
void RunVirusChecks(const ClientInfo& clientInfo);
// The same, logging to the given store (the one above uses the process-wide store).
void RunVirusChecks(RUDRenderingDataMgr& store, const ClientInfo& clientInfo);

} // namespace rud
