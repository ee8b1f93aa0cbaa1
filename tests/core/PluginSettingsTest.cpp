#include "core/PluginSettings.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

// Without "remember" (1001) the defaults are written, with it the values given; the client's
// own keys are never touched.
TEST(RememberedValues, WrittenAsGivenOnlyWhenRememberIsOn) {
    using KeyValues = std::vector<std::pair<const wchar_t*, const wchar_t*>>;
    rud::RememberedValues chosen = {{1002, L"0"}, {1003, L"0"}, {1043, L"1"}, {1030, L"0"}, {1032, L"1"},
                                    {1039, L"1.8"}, {1040, L""}, {1057, L"2"}};
    const struct { const wchar_t* remember; KeyValues expected; } cases[] = {
        {L"0", {{L"REMBER_SETTING", L"0"}, {L"IDC_SAVE_SCENE_FILE", L"1"}, {L"KEEP_WORKING", L"1"},
                {L"RENDER_CHANNEL_COLOR", L"0"}, {L"NOBLOCK", L"1"}, {L"SIXBLOCK", L"0"}, {L"EDIT_OUTPUT_GAMMA", L"2.2"},
                {L"EDIT_AO_RADIUS", L"1000.0"}, {L"GI_SIZE", L"0"}, {L"ip", L"10.9.9.9"}, {L"port", L""}}},
        {L"1", {{L"REMBER_SETTING", L"1"}, {L"IDC_SAVE_SCENE_FILE", L"0"}, {L"KEEP_WORKING", L"0"},
                {L"RENDER_CHANNEL_COLOR", L"1"}, {L"NOBLOCK", L"0"}, {L"SIXBLOCK", L"1"}, {L"EDIT_OUTPUT_GAMMA", L"1.8"},
                {L"EDIT_AO_RADIUS", L""}, {L"GI_SIZE", L"2"}, {L"ip", L"10.9.9.9"}, {L"port", L""}}},
    };
    for (const auto& c : cases) {
        rudtest::ScopedSettingsFile keep;
        rud::WriteSetting(L"ip", L"10.9.9.9");
        chosen[1001] = c.remember;
        rud::WriteRememberedValues(chosen);
        for (auto [key, value] : c.expected) EXPECT_EQ(rud::ReadSetting(key), value) << key;
    }
}
