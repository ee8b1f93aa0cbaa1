// Typed numbers are read by the run's own rules: whole numbers, ranges, and zero for no limit.
#include "submit/TypedChoices.h"

#include <cmath>
#include <cwchar>
#include <limits>

namespace rud {
namespace {

// The text as a decimal real number; 0 when it does not start with one, and when it reads as
// infinity or not-a-number (remembered values come back from a file anyone can edit).
double TypedNumber(const std::wstring& text) {
    const double value = std::wcstod(text.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

// A whole number for the task: beyond the 32-bit range it is held at the range's ends, since
// converting such a value would be undefined.
int32_t WholeNumber(double value) {
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

} // namespace

void TakeCoronaLimits(SceneAnalysis& scene, const SubmitOrder& order) {
    if (scene.coronaLimitState == 0) return;
    // The pass limit is a whole number of passes: "0.5" limits nothing, like "0".
    const int32_t pass = WholeNumber(TypedNumber(order.coronaPasses));
    const double hours = TypedNumber(order.coronaHours);
    const double noise = TypedNumber(order.coronaNoise);
    if (pass != 0 || hours != 0 || noise != 0) {
        CoronaLimits& limits = scene.coronaLimits;
        limits.coronaPassLimit = pass;
        limits.coronaTimeLimitHours = hours;
        limits.coronaTimeLimitSeconds = WholeNumber(hours * 60 * 60);
        limits.coronaNoiseLevelLimit = noise;
    }
    scene.useCorona = true;
}

void TakeRenderOptions(SceneAnalysis& scene, const SubmitOrder& order) {
    scene.colorChannel = order.colorChannel;
    scene.aoChannel = order.aoChannel;
    if (scene.aoChannel) {
        scene.aoRadius = TypedNumber(order.aoRadius);
        scene.aoSubdivs = WholeNumber(TypedNumber(order.aoSubdivs));
    }
    scene.mtlChannel = order.mtlChannel;
    scene.giChannel = order.giChannel;
    scene.psdChannel = order.psdChannel;
    const double gamma = TypedNumber(order.gamma);
    const double largestFloat = std::numeric_limits<float>::max();
    scene.gammaOut = static_cast<float>(gamma > largestFloat ? largestFloat : gamma < -largestFloat ? -largestFloat : gamma);
}

} // namespace rud
