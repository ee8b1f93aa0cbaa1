#include "../include/winutil.h"

#include <commctrl.h>

#include <string>
#include <vector>

struct ToolTipExtender::Data {
    std::vector<HWND> tips;
    std::vector<std::wstring> texts;
};

ToolTipExtender::ToolTipExtender() : data(new Data) {}

ToolTipExtender::~ToolTipExtender() {
    RemoveToolTips();
    delete data;
}

void ToolTipExtender::SetToolTip(HWND hWnd, const MSTR& toolTipText) {
    if (!hWnd) return;
    HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 ::GetParent(hWnd), nullptr, nullptr, nullptr);
    if (!tip) return;
    data->texts.emplace_back(toolTipText.data());
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(hWnd);
    tool.uId = reinterpret_cast<UINT_PTR>(hWnd);
    tool.lpszText = const_cast<wchar_t*>(data->texts.back().c_str());
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 400);
    data->tips.push_back(tip);
}

void ToolTipExtender::RemoveToolTips() {
    for (HWND tip : data->tips)
        if (::IsWindow(tip)) ::DestroyWindow(tip);
    data->tips.clear();
    data->texts.clear();
}
