#include "submit/TypedChoices.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <utility>

namespace {

// The Corona limits and render options as a run takes them from the order. A pass limit below
// one pass limits nothing, and zero, however it is spelled, means no limit: with all three at zero the analysed
// limits stay. Texts that read as no finite number come out as no limit; those beyond what the
// task file's whole numbers and the gamma's float hold, as the end of that range.
struct TypedCoronaLimits {
    const wchar_t *passes, *hours, *noise;
    int32_t passLimit; double limitHours; int32_t limitSeconds; double noiseLimit;
    const wchar_t* gamma = L"2.2"; float gammaOut = 2.2f; const wchar_t* subdivs = L"8"; int32_t aoSubdivs = 8;
};

class TypedChoicesTest : public ::testing::TestWithParam<TypedCoronaLimits> {};

TEST_P(TypedChoicesTest, TakesTheLimitsAsTyped) {
    const TypedCoronaLimits& c = GetParam();
    rud::SceneAnalysis scene;
    scene.coronaLimitState = 1;
    scene.coronaLimits = {2.0, 10, 7200, 0.0};
    rud::SubmitOrder order;
    order.coronaPasses = c.passes;
    order.coronaHours = c.hours;
    order.coronaNoise = c.noise;
    order.gamma = c.gamma;
    order.aoChannel = true;
    order.aoSubdivs = c.subdivs;

    rud::TakeCoronaLimits(scene, order);
    rud::TakeRenderOptions(scene, order);

    const rud::CoronaLimits& got = scene.coronaLimits;
    EXPECT_EQ(std::tuple(got.coronaPassLimit, got.coronaTimeLimitHours, got.coronaTimeLimitSeconds, got.coronaNoiseLevelLimit),
              std::tuple(c.passLimit, c.limitHours, c.limitSeconds, c.noiseLimit));
    EXPECT_TRUE(scene.useCorona);
    EXPECT_EQ(std::pair(scene.gammaOut, scene.aoSubdivs), std::pair(c.gammaOut, c.aoSubdivs));
}

constexpr int32_t kMaxWhole = std::numeric_limits<int32_t>::max(), kMinWhole = std::numeric_limits<int32_t>::min();
constexpr float kMaxFloat = std::numeric_limits<float>::max();
INSTANTIATE_TEST_SUITE_P(Typed, TypedChoicesTest, ::testing::Values(
    TypedCoronaLimits{L"0.5", L"-0.0", L".0", 10, 2.0, 7200, 0},   // nothing limited: the analysed limits stay
    TypedCoronaLimits{L"-0", L"0e5", L" 00", 10, 2.0, 7200, 0},    // zero as the artist may spell it
    TypedCoronaLimits{L"1", L"0", L"0", 1, 0, 0, 0},              // the least of each limits
    TypedCoronaLimits{L"0", L"0.001", L"0", 0, 0.001, 3, 0},
    TypedCoronaLimits{L"0", L"0", L"0.001", 0, 0, 0, 0.001},
    // The whole numbers and the gamma at the ends of their ranges, and just beyond them.
    TypedCoronaLimits{L"3", L"0.5", L"0", 3, 0.5, 1800, 0, L"3.4028234663852886e38", kMaxFloat, L"2147483647", kMaxWhole},
    TypedCoronaLimits{L"2147483647", L"0", L"0", kMaxWhole, 0, 0, 0, L"3.5e38", kMaxFloat, L"2147483648", kMaxWhole},
    TypedCoronaLimits{L"2147483648", L"0", L"0", kMaxWhole, 0, 0, 0, L"-3.5e38", -kMaxFloat, L"-2147483649", kMinWhole},
    TypedCoronaLimits{L"-2147483649", L"0", L"0", kMinWhole, 0, 0, 0, L"nan", 0.0f, L"-2147483648", kMinWhole},   // nan: 0
    TypedCoronaLimits{L"3", L"1e300", L"0", 3, 1e300, kMaxWhole, 0},   // more seconds than a whole number holds
    TypedCoronaLimits{L"inf", L"0", L"0", 10, 2.0, 7200, 0}));         // infinity: no pass limit, so nothing limited

} // namespace
