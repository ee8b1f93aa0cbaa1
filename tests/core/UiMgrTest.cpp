#include "tests/core/ControlWindow.h"
#include "ui/RUDRenderingUiMgr.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using coretest::ControlWindow;

constexpr int kEdit = 1039;

class UiOperations : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window.get(), nullptr);
        ASSERT_NE(window.Add(L"EDIT", kEdit, ES_AUTOHSCROLL), nullptr);
    }
    ControlWindow window;
    rud::RUDRenderingUiMgr& ui = rud::RUDRenderingUiMgr::Instance();
};

struct StepCase {
    const wchar_t* before;
    int delta;
    double step, lowest, highest;
    const wchar_t* after;
};

TEST_F(UiOperations, StepEditClampsAndWritesOneDecimal) {
    const StepCase cases[] = {
        {L"5.0", 1, 0.1, 0.1, 5.0, L"5.0"},  {L"0.1", -1, 0.1, 0.1, 5.0, L"0.1"},
        {L"2.2", 1, 0.1, 0.1, 5.0, L"2.3"},  {L"2.2", -1, 0.1, 0.1, 5.0, L"2.1"},
        {L"abc", 1, 0.1, 0.0, 5.0, L"0.1"},  {L"238.95", 1, 0.1, 0.0, 239.0, L"239.0"},
    };
    for (const StepCase& c : cases) {
        window.SetText(kEdit, c.before);
        ui.StepEdit(window.get(), kEdit, c.delta, c.step, c.lowest, c.highest);
        EXPECT_EQ(window.Text(kEdit), c.after) << c.before << " " << c.delta;
    }
}

struct TextCase {
    const wchar_t* before;
    const wchar_t* after;
};

TEST_F(UiOperations, RestrictDecimalEdit) {
    const TextCase cases[] = {
        {L"12a", L"0.00"},  {L"1.2.3", L"0.00"}, {L"-1", L"0.00"},   {L"1.2345", L"1.234"},
        {L"12.5", L"12.5"}, {L"", L""},          {L"7.", L"7."},     {L".5", L".5"},
    };
    for (const TextCase& c : cases) {
        window.SetText(kEdit, c.before);
        ui.RestrictDecimalEdit(window.get(), kEdit, 3);
        EXPECT_EQ(window.Text(kEdit), c.after) << c.before;
    }
}

TEST_F(UiOperations, ClampRealEdit) {
    const TextCase cases[] = {
        {L"300", L"239.00"}, {L"-1", L"0.00"}, {L"05", L"5.000"}, {L"0.5", L"0.5"},
        {L"12.25", L"12.25"}, {L"0", L"0"},
    };
    for (const TextCase& c : cases) {
        window.SetText(kEdit, c.before);
        ui.ClampRealEdit(window.get(), kEdit, 0.0, 239.0);
        EXPECT_EQ(window.Text(kEdit), c.after) << c.before;
    }
}

TEST_F(UiOperations, ClampIntegerEditAndReadNumber) {
    const TextCase cases[] = {{L"15", L"10"}, {L"1", L"2"}, {L"5", L"5"}};
    for (const TextCase& c : cases) {
        window.SetText(kEdit, c.before);
        ui.ClampIntegerEdit(window.get(), kEdit, 2, 10);
        EXPECT_EQ(window.Text(kEdit), c.after) << c.before;
        DWORD start = 0, end = 0;
        ::SendDlgItemMessageW(window.get(), kEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                              reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(end, std::wstring(c.after).size());
    }
    window.SetText(kEdit, L"2.5abc");
    EXPECT_DOUBLE_EQ(ui.ReadEditNumber(window.get(), kEdit), 2.5);
    window.SetText(kEdit, L"abc");
    EXPECT_DOUBLE_EQ(ui.ReadEditNumber(window.get(), kEdit), 0.0);
}

TEST(UiServices, ScaleForDpi) {
    const std::pair<int, double> cases[] = {{96, 1.0},  {120, 1.25}, {144, 1.5}, {168, 1.75},
                                            {192, 2.0}, {110, 1.0},  {0, 1.0},   {240, 1.0}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(rud::RUDRenderingUiMgr::ScaleForDpi(c.first), c.second) << c.first;
    double screen = rud::RUDRenderingUiMgr::Instance().ScreenScale();
    EXPECT_TRUE(screen >= 1.0 && screen <= 2.0);
}

} // namespace
