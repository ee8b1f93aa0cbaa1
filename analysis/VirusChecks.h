#pragma once
// The three script-virus checks, run by the host on the open scene before it is packed.
#include "core/ClientInfo.h"
#include "core/LogChannel.h"

#include <functional>

namespace rud {

// Runs the ADSL, ALC and CRP cleaning scripts on the open scene, in that order, and logs each
// to `log`.
void RunVirusChecks(LogChannel& log, const ClientInfo& clientInfo);
// The same, asking `stopBefore` before each script: false when it said stop and the remaining
// scripts were left out. A script is a host operation and cannot be interrupted once running.
[[nodiscard]] bool RunVirusChecks(LogChannel& log, const ClientInfo& clientInfo,
                                  const std::function<bool()>& stopBefore);

} // namespace rud
