#include "ui/RUDRenderingUiMgr.h"

#include "core/WinHandles.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

namespace rud {
namespace {

constexpr int kSceneNameEdit = 1036;
constexpr int kGammaEdit = 1039;
constexpr int kCoronaPassLimitEdit = 1054;
constexpr int kCoronaTimeLimitEdit = 1047;
constexpr int kCoronaNoiseLevelEdit = 1045;

std::wstring ControlText(HWND dialog, int id) {
    wchar_t text[260] = {};
    ::GetDlgItemTextW(dialog, id, text, 260);
    return text;
}

void SetControlText(HWND dialog, int id, const std::wstring& text) {
    ::SetDlgItemTextW(dialog, id, text.c_str());
}

std::wstring FormatReal(const wchar_t* format, double value) {
    wchar_t text[64] = {};
    std::swprintf(text, 64, format, value);
    return text;
}

void MoveCaretToEnd(HWND dialog, int id) {
    LRESULT length = ::SendDlgItemMessageW(dialog, id, WM_GETTEXTLENGTH, 0, 0);
    ::SendDlgItemMessageW(dialog, id, EM_SETSEL, static_cast<WPARAM>(length), length);
}

} // namespace

RUDRenderingUiMgr& RUDRenderingUiMgr::Instance() {
    static RUDRenderingUiMgr instance;
    return instance;
}

RUDRenderingUiMgr::RUDRenderingUiMgr() {
    uiLog.open("kiv_ui");
    uiLog.setMaxFileSizeMb(5);
    uiLog.setMaxFileCount(2);
}

void RUDRenderingUiMgr::ShowControl(HWND dialog, int id, bool show) {
    ::ShowWindow(::GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE);
}

void RUDRenderingUiMgr::MoveControl(HWND dialog, int id, int x, int y) {
    ::SetWindowPos(::GetDlgItem(dialog, id), HWND_BOTTOM, x, y, 0, 0, SWP_NOSIZE);
}

void RUDRenderingUiMgr::StepEdit(HWND dialog, int id, int delta, double step, double lowest,
                                 double highest) {
    double value = ReadEditNumber(dialog, id) + delta * step;
    value = std::min(std::max(value, lowest), highest);
    SetControlText(dialog, id, FormatReal(L"%.1f", value));
}

void RUDRenderingUiMgr::RestrictDecimalEdit(HWND dialog, int id, int maxDecimals) {
    const std::wstring text = ControlText(dialog, id);
    // The whole text is judged before anything is cut: "1.2345x" is no number, however many
    // decimals come before the stray character.
    bool seenPoint = false;
    for (wchar_t c : text) {
        const bool secondPoint = c == L'.' && seenPoint;
        if (secondPoint || (c != L'.' && (c < L'0' || c > L'9'))) {
            SetControlText(dialog, id, L"0.00");
            MoveCaretToEnd(dialog, id);
            return;
        }
        seenPoint = seenPoint || c == L'.';
    }
    const size_t point = text.find(L'.');
    if (point == std::wstring::npos || text.size() - point - 1 <= static_cast<size_t>(std::max(maxDecimals, 0)))
        return;
    SetControlText(dialog, id, text.substr(0, point + 1 + static_cast<size_t>(std::max(maxDecimals, 0))));
    MoveCaretToEnd(dialog, id);
}

void RUDRenderingUiMgr::ClampRealEdit(HWND dialog, int id, double lowest, double highest) {
    const std::wstring text = ControlText(dialog, id);
    const double value = ReadEditNumber(dialog, id);
    if (value > highest)
        SetControlText(dialog, id, FormatReal(L"%.2f", highest));
    else if (value < lowest)
        SetControlText(dialog, id, FormatReal(L"%.2f", lowest));
    else if (text.size() > 1 && text[0] == L'0' && text[1] != L'.')  // "05" reads as 5.000
        SetControlText(dialog, id, FormatReal(L"%.3f", value));
}

void RUDRenderingUiMgr::ClampIntegerEdit(HWND dialog, int id, int lowest, int highest) {
    const std::wstring text = ControlText(dialog, id);
    long long value = std::wcstoll(text.c_str(), nullptr, 10);
    long long clamped = std::min<long long>(std::max<long long>(value, lowest), highest);
    if (clamped != value) SetControlText(dialog, id, std::to_wstring(clamped));
    MoveCaretToEnd(dialog, id);
}

double RUDRenderingUiMgr::ReadEditNumber(HWND dialog, int id) {
    const std::wstring text = ControlText(dialog, id);
    return std::wcstod(text.c_str(), nullptr);
}

void RUDRenderingUiMgr::SetSceneNameText(HWND dialog, const std::wstring& name) {
    SetControlText(dialog, kSceneNameEdit, name);
}

void RUDRenderingUiMgr::SetGammaText(HWND dialog, double gamma) {
    SetControlText(dialog, kGammaEdit, FormatReal(L"%.1f", gamma));
}

void RUDRenderingUiMgr::SetCoronaEdits(HWND dialog, int passLimit, double timeLimitHours,
                                       double noiseLevelLimit) {
    SetControlText(dialog, kCoronaPassLimitEdit, std::to_wstring(passLimit));
    SetControlText(dialog, kCoronaTimeLimitEdit, FormatReal(L"%.3f", timeLimitHours));
    SetControlText(dialog, kCoronaNoiseLevelEdit, FormatReal(L"%.3f", noiseLevelLimit));
}

double RUDRenderingUiMgr::ScreenScale() {
    WindowDC screen(nullptr);
    if (!screen.get()) return 1.0;
    return ScaleForDpi(::GetDeviceCaps(screen.get(), LOGPIXELSX));
}

double RUDRenderingUiMgr::ScaleForDpi(int dpi) {
    switch (dpi) {
    case 96: return 1.0;
    case 120: return 1.25;
    case 144: return 1.5;
    case 168: return 1.75;
    case 192: return 2.0;
    default: return 1.0;
    }
}

void RUDRenderingUiMgr::AddSelectedCameraName(const std::wstring& name) {
    selectedCameraNames.push_back(name);
}

std::vector<std::wstring> RUDRenderingUiMgr::CameraCheckLinesCopy() const {
    return cameraCheckLines;
}

} // namespace rud
