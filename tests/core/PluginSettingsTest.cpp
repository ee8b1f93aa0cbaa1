#include "core/PluginSettings.h"
#include "resources/ControlIds.h"
#include "tests/support/MainDialogWindow.h"
#include "tests/support/TestFiles.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

// The main dialog's remembered controls, without its logic: without "remember" (1001) the defaults
// are written, with it the controls' values; the client's own keys are never touched.
TEST(RememberedValues, WrittenFromTheControlsOnlyWhenRememberIsChecked) {
    using KeyValues = std::vector<std::pair<const wchar_t*, const wchar_t*>>;
    const struct { std::vector<int> checked; KeyValues expected; } cases[] = {
        {{1043}, {{L"REMBER_SETTING", L"0"}, {L"IDC_SAVE_SCENE_FILE", L"1"}, {L"RENDER_CHANNEL_COLOR", L"0"},
                  {L"NOBLOCK", L"1"}, {L"THREEBLOCK", L"0"}, {L"EDIT_OUTPUT_GAMMA", L"2.2"},
                  {L"EDIT_AO_RADIUS", L"1000.0"}, {L"GI_SIZE", L"0"}, {L"ip", L"10.9.9.9"}, {L"port", L""}}},
        {{1001, 1044, 1032}, {{L"REMBER_SETTING", L"1"}, {L"RENDER_CHANNEL_AO", L"1"}, {L"IDC_SAVE_SCENE_FILE", L"0"},
                              {L"SIXBLOCK", L"1"}, {L"NOBLOCK", L"0"}, {L"EDIT_OUTPUT_GAMMA", L"1.8"},
                              {L"EDIT_AO_RADIUS", L""}, {L"GI_SIZE", L"2"}, {L"ip", L"10.9.9.9"}, {L"port", L""}}},
    };
    for (const auto& c : cases) {
        rudtest::ScopedSettingsFile keep;
        const rudtest::MainDialogWindow window;
        HWND combo = ::GetDlgItem(window.Handle(), IDC_MAIN_GI_SIZE);
        for (const wchar_t* item : {L"100%", L"50%", L"33%", L"25%"})
            ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        ::SendMessageW(combo, CB_SETCURSEL, 2, 0);
        for (int id : c.checked) ::CheckDlgButton(window.Handle(), id, BST_CHECKED);
        window.SetText(1039, L"1.8");
        window.SetText(1040, L"");
        rud::WriteSetting(L"ip", L"10.9.9.9");
        rud::WriteRememberedValues(window.Handle());
        for (auto [key, value] : c.expected) EXPECT_EQ(rud::ReadSetting(key), value) << key;
    }
}
