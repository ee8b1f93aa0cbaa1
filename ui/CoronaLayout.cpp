#include "ui/CoronaLayout.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "ui/RUDRenderingUiMgr.h"

namespace rud {
namespace {

enum class Row { A, B };

struct RowEntry {
    int id;
    double xChinese;
    double xEnglish;
    Row row;
};

// Labels sit on row A, edits and up-downs on row B, a few pixels higher so that the texts
// line up with the edits' texts.
const RowEntry kRow[] = {
    {IDC_MAIN_CORONA_PASS_LABEL, 48, 38, Row::A},
    {IDC_MAIN_CORONA_PASSES, 98, 88, Row::B},
    {IDC_MAIN_CORONA_PASS_SPIN, 172, 162, Row::B},
    {IDC_MAIN_CORONA_PASS_UNIT, 193, 183, Row::A},
    {IDC_MAIN_CORONA_NOISE_LABEL, 220, 220, Row::A},
    {IDC_MAIN_CORONA_NOISE, 268, 278, Row::B},
    {IDC_MAIN_CORONA_NOISE_SPIN, 342, 350, Row::B},
    {IDC_MAIN_CORONA_NOISE_UNIT, 365, 370, Row::A},
    {IDC_MAIN_CORONA_TIME_LABEL, 395, 390, Row::A},
    {IDC_MAIN_CORONA_TIME, 445, 475, Row::B},
    {IDC_MAIN_CORONA_TIME_SPIN, 519, 549, Row::B},
    {IDC_MAIN_CORONA_TIME_UNIT, 540, 570, Row::A},
    {IDC_MAIN_GAMMA_LABEL, 575, 610, Row::A},
    {IDC_MAIN_GAMMA, 655, 690, Row::B},
    {IDC_MAIN_GAMMA_SPIN, 700, 735, Row::B},
};

const int kHiddenWithoutCorona[] = {
    IDC_MAIN_CORONA_FRAME, IDC_MAIN_CORONA_PASS_LABEL, IDC_MAIN_CORONA_PASSES, IDC_MAIN_CORONA_PASS_SPIN,
    IDC_MAIN_CORONA_PASS_UNIT, IDC_MAIN_CORONA_NOISE_LABEL, IDC_MAIN_CORONA_NOISE, IDC_MAIN_CORONA_NOISE_SPIN,
    IDC_MAIN_CORONA_NOISE_UNIT, IDC_MAIN_CORONA_TIME_LABEL, IDC_MAIN_CORONA_TIME, IDC_MAIN_CORONA_TIME_SPIN,
    IDC_MAIN_CORONA_TIME_UNIT,
};

// Everything below the row in the template moves down with it when the row moves down.
const int kBelowRow[] = {IDC_MAIN_OPTIONS_FRAME, IDC_MAIN_BACKUP_AND_CHECK, IDC_MAIN_SAVE_SCENE, IDC_MAIN_REMEMBER,
                         IDC_MAIN_KEEP_WORKING, IDC_MAIN_ANALYSE, IDC_MAIN_SUBMIT};

RECT ClientRectOf(HWND dialog, int id) {
    RECT rect{};
    HWND control = ::GetDlgItem(dialog, id);
    if (!control) return rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void OffsetControl(HWND dialog, int id, int dy) {
    HWND control = ::GetDlgItem(dialog, id);
    if (!control) return;
    RECT rect = ClientRectOf(dialog, id);
    ::SetWindowPos(control, nullptr, rect.left, rect.top + dy, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The frames keep their place around the row, and the controls under them keep their
// distance, whatever the row's formula does at this screen scale.
void FollowRow(HWND dialog, int dy) {
    if (dy == 0) return;
    OffsetControl(dialog, IDC_MAIN_CORONA_FRAME, dy);
    OffsetControl(dialog, IDC_MAIN_GAMMA_FRAME, dy);
    for (int id : kBelowRow) OffsetControl(dialog, id, dy);
    if (dy > 0) {
        RECT window{};
        ::GetWindowRect(dialog, &window);
        ::SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + dy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(dialog, nullptr, TRUE);
}

} // namespace

std::vector<ControlPosition> CoronaRowPositions(double uiScale, const std::wstring& languageMarker) {
    double s = uiScale;
    double f = s == 1.0 ? 1.0 : (s == 1.5 ? s + 0.15 : s + 0.25);
    bool chinese = languageMarker == L"1";
    double rowA = 375 * f;
    double rowB = 371 * f;
    if (!chinese) {
        rowA -= 20;
        rowB -= 20;
    }
    std::vector<ControlPosition> positions;
    for (const RowEntry& entry : kRow) {
        double x = (chinese ? entry.xChinese : entry.xEnglish) * s;
        double y = entry.row == Row::A ? rowA : rowB;
        positions.push_back({entry.id, static_cast<int>(x), static_cast<int>(y)});
    }
    return positions;
}

void LayOutCoronaGroup(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui,
                       const std::wstring& languageMarker) {
    if (store.coronaLimitState == 0) {
        const wchar_t* text = LoadResourceTextA(IDS_NO_CORONA_LIMITS);
        ::SetDlgItemTextW(dialog, IDC_MAIN_NO_CORONA_TEXT, text ? text : L"");
        for (int id : kHiddenWithoutCorona) ui.ShowControl(dialog, id, false);
        return;
    }
    ui.ShowControl(dialog, IDC_MAIN_GI_SIZE, false);
    ui.ShowControl(dialog, IDC_MAIN_GI_SIZE_LABEL, false);
    ui.ShowControl(dialog, IDC_MAIN_CHANNEL_GI, false);
    ui.ShowControl(dialog, IDC_MAIN_NO_CORONA_TEXT, false);
    for (int id : kHiddenWithoutCorona) ui.ShowControl(dialog, id, true);

    int rowBefore = ClientRectOf(dialog, IDC_MAIN_CORONA_PASSES).top;
    for (const ControlPosition& position : CoronaRowPositions(store.uiScale, languageMarker))
        ui.MoveControl(dialog, position.id, position.x, position.y);
    FollowRow(dialog, ClientRectOf(dialog, IDC_MAIN_CORONA_PASSES).top - rowBefore);

    const CoronaLimits& limits = store.coronaLimits;
    ui.SetCoronaEdits(dialog, limits.coronaPassLimit, limits.coronaTimeLimitHours, limits.coronaNoiseLevelLimit);
}

} // namespace rud
