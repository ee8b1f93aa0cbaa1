#pragma once
// The artist's typed Corona limits and render options, as the run's copy of the scene takes them.
#include "analysis/SceneAnalysis.h"
#include "submit/SubmitOrder.h"

namespace rud {

// For a Corona scene: limits typed as anything but zero replace the analysed ones, and the task
// says the scene uses Corona. Scenes without Corona settings are left as they are.
void TakeCoronaLimits(SceneAnalysis& scene, const SubmitOrder& order);
// The render-element channels, the occlusion settings (with its channel) and the output gamma.
void TakeRenderOptions(SceneAnalysis& scene, const SubmitOrder& order);

} // namespace rud
