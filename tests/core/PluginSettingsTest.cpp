#include "analysis/RUDRenderingDataMgr.h"
#include "core/PluginSettings.h"
#include "tests/core/ControlWindow.h"
#include "tests/core/DataFolderFixture.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

using coretest::ControlWindow;

// The main dialog's remembered controls, on a plain window.
class RememberedValues : public ::testing::Test {
protected:
    void SetUp() override {
        rud::RUDRenderingDataMgr& store = rud::RUDRenderingDataMgr::Instance();
        for (int id : store.rememberedCheckIds) window.Add(L"BUTTON", id, BS_AUTOCHECKBOX);
        for (int id : store.rememberedRadioIds) window.Add(L"BUTTON", id, BS_AUTORADIOBUTTON);
        for (int id : store.rememberedEditIds) window.Add(L"EDIT", id, ES_AUTOHSCROLL);
        HWND combo = window.Add(L"COMBOBOX", 1057, CBS_DROPDOWNLIST);
        for (const wchar_t* item : {L"100%", L"50%", L"33%", L"25%"})
            ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    void Check(int id, UINT state) { ::CheckDlgButton(window.get(), id, state); }
    coretest::ScopedSettingsFiles keep;
    ControlWindow window;
};

struct KeyValue {
    const wchar_t* key;
    const wchar_t* value;
};

TEST_F(RememberedValues, UncheckedRememberWritesTheDefaults) {
    Check(1043, BST_CHECKED);
    window.SetText(1039, L"1.8");
    ::SendDlgItemMessageW(window.get(), 1057, CB_SETCURSEL, 2, 0);
    rud::WriteRememberedValues(window.get());
    const KeyValue expected[] = {
        {L"REMBER_SETTING", L"0"}, {L"IDC_SAVE_SCENE_FILE", L"1"}, {L"RENDER_CHANNEL_COLOR", L"0"},
        {L"NOBLOCK", L"1"},        {L"THREEBLOCK", L"0"},          {L"EDIT_OUTPUT_GAMMA", L"2.2"},
        {L"EDIT_AO_RADIUS", L"1000.0"}, {L"EDIT_AO_SUBDIVS", L"16"}, {L"EDIT_DURATION2", L"0"},
        {L"GI_SIZE", L"0"},
    };
    for (const KeyValue& kv : expected) EXPECT_EQ(rud::ReadSetting(kv.key), kv.value) << kv.key;
}

TEST_F(RememberedValues, CheckedRememberWritesTheControls) {
    Check(1001, BST_CHECKED);
    Check(1044, BST_CHECKED);
    Check(1032, BST_CHECKED);
    window.SetText(1039, L"1.8");
    window.SetText(1040, L"");
    ::SendDlgItemMessageW(window.get(), 1057, CB_SETCURSEL, 2, 0);
    rud::WriteSetting(L"ip", L"10.9.9.9");
    rud::WriteRememberedValues(window.get());
    const KeyValue expected[] = {
        {L"REMBER_SETTING", L"1"}, {L"RENDER_CHANNEL_AO", L"1"}, {L"IDC_SAVE_SCENE_FILE", L"0"},
        {L"SIXBLOCK", L"1"},       {L"NOBLOCK", L"0"},           {L"EDIT_OUTPUT_GAMMA", L"1.8"},
        {L"EDIT_AO_RADIUS", L""},  {L"GI_SIZE", L"2"},           {L"ip", L"10.9.9.9"},
    };
    for (const KeyValue& kv : expected) EXPECT_EQ(rud::ReadSetting(kv.key), kv.value) << kv.key;
    EXPECT_EQ(rud::ReadSetting(L"port"), L"") << "client keys are never written";
}

} // namespace
