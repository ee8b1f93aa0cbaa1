// The submission's Corona check: the farm does not take a Corona scene that may render forever.
#include "analysis/SceneChecks.h"

namespace rud {

bool CheckCoronaLimits(const RUDRenderingDataMgr& store) {
    const CoronaLimits& limits = store.coronaLimits;
    const bool corona = store.coronaLimitState == 1 || store.coronaLimitState == 2;
    return !corona || limits.coronaNoiseLevelLimit != 0.0 || limits.coronaPassLimit != 0 ||
           limits.coronaTimeLimitSeconds != 0;
}

} // namespace rud
