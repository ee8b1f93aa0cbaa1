#include "resources/ControlIds.h"
#include "tests/support/MainDialogWindow.h"
#include "ui/RUDRenderingUiMgr.h"

#include <gtest/gtest.h>

#include <functional>

constexpr int kEdit = IDC_MAIN_GAMMA;

// Each operation on one real edit control: the text before and the text it leaves.
TEST(UiOperations, EditOperationsRestrictClampAndStep) {
    rud::RUDRenderingUiMgr& ui = rud::RUDRenderingUiMgr::Instance();
    const rudtest::MainDialogWindow window;
    using Operation = std::function<void(HWND)>;
    auto step = [&](int delta, double lowest, double highest) {
        return Operation([=, &ui](HWND w) { ui.StepEdit(w, kEdit, delta, 0.1, lowest, highest); });
    };
    const Operation restrict = [&](HWND w) { ui.RestrictDecimalEdit(w, kEdit, 3); };
    const Operation clampReal = [&](HWND w) { ui.ClampRealEdit(w, kEdit, 0.0, 239.0); };
    const Operation clampInteger = [&](HWND w) { ui.ClampIntegerEdit(w, kEdit, 2, 10); };
    const struct { Operation operation; const wchar_t* before; const wchar_t* after; } cases[] = {
        {step(1, 0.1, 5), L"2.2", L"2.3"}, {step(-1, 0.1, 5), L"2.2", L"2.1"}, {step(1, 0, 5), L"abc", L"0.1"},
        {restrict, L"12a", L"0.00"}, {restrict, L"1.2.3", L"0.00"}, {restrict, L"-1", L"0.00"},
        {restrict, L"1.2345", L"1.234"}, {restrict, L"12.5", L"12.5"}, {restrict, L"", L""},
        {restrict, L"7.", L"7."}, {restrict, L".5", L".5"}, {restrict, L"1.2345x", L"0.00"},
        {restrict, L"1.2345.6", L"0.00"}, {restrict, L"1.2345678", L"1.234"},
        {clampReal, L"239.001", L"239.00"}, {clampReal, L"-0.001", L"0.00"}, {clampReal, L"05", L"5.000"},
        {clampReal, L"239", L"239"}, {clampReal, L"12.25", L"12.25"}, {clampReal, L"0", L"0"},
        {clampInteger, L"2", L"2"}, {clampInteger, L"1", L"2"}, {clampInteger, L"10", L"10"}, {clampInteger, L"11", L"10"},
    };
    for (const auto& c : cases) {
        window.SetText(kEdit, c.before);
        c.operation(window.Handle());
        EXPECT_EQ(window.Text(kEdit), c.after) << &c - cases << ": " << c.before;
    }
    // The caret follows a clamped value to its end.
    EXPECT_EQ(HIWORD(::SendDlgItemMessageW(window.Handle(), kEdit, EM_GETSEL, 0, 0)), 2);
    window.SetText(kEdit, L"2.5abc");
    EXPECT_DOUBLE_EQ(ui.ReadEditNumber(window.Handle(), kEdit), 2.5);
    window.SetText(kEdit, L"abc");
    EXPECT_DOUBLE_EQ(ui.ReadEditNumber(window.Handle(), kEdit), 0.0);
}
