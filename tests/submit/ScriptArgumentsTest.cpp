// A script's submit arguments are held to the dialog's rules: each bad one is turned down with its
// own code before anything is saved, and good ones become the order the dialog would have made.
#include "pipeline/ScriptArguments.h"
#include "pipeline/ScriptResults.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "submit/RenderChoices.h"
#include "submit/SubmitResult.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using rud::ScriptSubmitArguments;

struct Case {
    const char* what;
    std::function<void(ScriptSubmitArguments&, rud::RUDRenderingDataMgr&)> change;
    int32_t code;
};

TEST(ScriptArgumentsTest, EachRuleOfTheDialogTurnsDownItsArgument) {
    const Case cases[] = {
        {"the defaults", [](auto&, auto&) {}, 0},
        {"a camera by its rendered name", [](auto& a, auto&) { a.cameras = {{L"Cam_DockEast"}}; }, 0},
        {"a camera the scene lacks", [](auto& a, auto&) { a.cameras = {{L"Cam_A", L"Cam_Garden"}}; }, rud::kScriptUnknownCamera},
        {"a mode in other letters' case", [](auto& a, auto&) { a.mode = L"Blocks"; }, 0},
        {"an unknown mode", [](auto& a, auto&) { a.mode = L"tiles"; }, rud::kScriptBadArgument},
        {"blocks of a region render", [](auto& a, auto& s) { a.mode = L"blocks"; s.isRegionText = "true"; }, rud::kScriptBadArgument},
        {"the material channel in blocks", [](auto& a, auto&) { a.mode = L"blocks"; a.channels = {L"mtl"}; }, rud::kScriptBadArgument},
        {"an unknown channel", [](auto& a, auto&) { a.channels = {L"color", L"zdepth"}; }, rud::kScriptBadArgument},
        {"gamma below 0.1", [](auto& a, auto&) { a.gamma = 0.05; }, rud::kScriptBadArgument},
        {"gamma 5", [](auto& a, auto&) { a.gamma = 5.0; }, 0},
        {"no AO subdivisions", [](auto& a, auto&) { a.aoSubdivs = 0; }, rud::kScriptBadArgument},
        {"an AO radius below 10", [](auto& a, auto&) { a.aoRadius = 9.5; }, rud::kScriptBadArgument},
        {"240 Corona hours", [](auto& a, auto&) { a.coronaHours = 240.0; }, rud::kScriptBadArgument},
        {"negative Corona passes", [](auto& a, auto&) { a.coronaPasses = -1; }, rud::kScriptBadArgument},
        {"a scale the list lacks", [](auto& a, auto&) { a.imageScale = 75; }, rud::kScriptBadArgument},
        {"a device name", [](auto& a, auto&) { a.sceneName = L"CON"; }, rud::kSubmitNameRefused},
        {"reference names not accepted", [](auto&, auto& s) { s.referenceNamesIllegal = true; }, rud::kScriptReferenceProblems},
        {"reference names accepted", [](auto& a, auto& s) { s.referenceNamesIllegal = true; a.acceptReferenceProblems = true; }, 0},
    };
    for (const Case& c : cases) {
        rud::RUDRenderingDataMgr store;
        store.cameras[L"Cam_A"].displayName = L"Cam_A";
        store.cameras[L"Cam_Dock|East"].displayName = L"Cam_DockEast";
        ScriptSubmitArguments arguments;
        c.change(arguments, store);
        const rud::CheckedOrder checked = rud::CheckScriptArguments(arguments, store, L"C:\\Projects\\Villa\\Villa.max");
        EXPECT_EQ(checked.code, c.code) << c.what;
        EXPECT_EQ(checked.message.empty(), c.code == 0) << c.what;
    }
}

TEST(ScriptArgumentsTest, TheOrderTicksTheNamedCamerasAndTakesTheOptions) {
    rud::RUDRenderingDataMgr store;
    store.cameras[L"Cam_A"].renderable = true;
    store.cameras[L"Cam_B"];
    store.gammaOut = 1.8f;
    ScriptSubmitArguments arguments;
    EXPECT_TRUE(rud::CheckScriptArguments(arguments, store, L"C:\\v\\Villa.max").order.cameraTicks.front().checked)
        << "without names, the dialog's own ticks";
    arguments.cameras = {{L"Cam_B"}};
    arguments.mode = L"distributedPro";
    arguments.imageScale = 33;
    arguments.wait = false;
    const rud::CheckedOrder checked = rud::CheckScriptArguments(arguments, store, L"C:\\v\\Villa.max");
    ASSERT_EQ(checked.code, 0);
    ASSERT_EQ(checked.order.cameraTicks.size(), 2u);
    EXPECT_FALSE(checked.order.cameraTicks[0].checked);
    EXPECT_TRUE(checked.order.cameraTicks[1].checked);
    EXPECT_EQ(checked.mode->code, 1010);
    EXPECT_EQ(checked.order.imageScaleIndex, 2);
    EXPECT_NEAR(std::stod(checked.order.gamma), 1.8, 1e-6) << "gamma 0 stands for the scene's";
    EXPECT_TRUE(checked.order.keepWorking) << "without waiting, 3ds Max is free once the scene is copied";
}

} // namespace
