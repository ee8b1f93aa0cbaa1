// The submission's Corona check: the farm does not take a Corona scene that may render forever.
#include "analysis/SceneChecks.h"

namespace rud {

bool CheckCoronaLimits(const SceneAnalysis& scene) {
    const CoronaLimits& limits = scene.coronaLimits;
    const bool corona = scene.coronaLimitState == 1 || scene.coronaLimitState == 2;
    return !corona || limits.coronaNoiseLevelLimit != 0.0 || limits.coronaPassLimit != 0 ||
           limits.coronaTimeLimitSeconds != 0;
}

} // namespace rud
