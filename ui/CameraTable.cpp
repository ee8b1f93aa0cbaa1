#include "ui/CameraTable.h"

#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "ui/DialogTexts.h"
#include "ui/RUDRenderingUiMgr.h"

#include <commctrl.h>

#include <algorithm>

namespace rud {
namespace {

struct Column {
    int headerId;
    int width;
};

const Column kColumns[] = {
    {IDS_COLUMN_CAMERA, 200}, {IDS_COLUMN_WIDTH, 70}, {IDS_COLUMN_HEIGHT, 70}, {IDS_COLUMN_FRAME, 60},
    {IDS_COLUMN_PANORAMA, 60}, {IDS_COLUMN_FORMAT, 60}, {IDS_COLUMN_RENDER_NAME, 200},
};

void SetCell(HWND list, int row, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void SetRowChecked(HWND list, int row, bool checked) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Texts for the panorama column, loaded once per fill rather than once per row.
struct PanoramaTexts {
    std::wstring yes = ResourceText(IDS_PANORAMA_YES);
    std::wstring no = ResourceText(IDS_PANORAMA_NO);
};

void AddRow(HWND list, int row, const std::wstring& key, const CameraInfo& camera, bool setCheck,
            const PanoramaTexts& panorama) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(key.c_str());
    row = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    if (setCheck) SetRowChecked(list, row, camera.renderable);
    SetCell(list, row, 1, std::to_wstring(camera.width));
    SetCell(list, row, 2, std::to_wstring(camera.height));
    SetCell(list, row, 3, std::to_wstring(camera.startFrame));
    SetCell(list, row, 5, camera.imageFormat);
    SetCell(list, row, 6, camera.displayName);
    SetCell(list, row, 4, camera.isPanorama ? panorama.yes : panorama.no);
}

// Large scenes carry thousands of cameras: the list neither paints nor re-measures per row.
void FillRows(HWND list, const CameraMap& cameras, bool setChecks) {
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    int existing = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    ::SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(existing + cameras.size()),
                   LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    PanoramaTexts panorama;
    int row = existing;
    for (const auto& camera : cameras) AddRow(list, row++, camera.first, camera.second, setChecks, panorama);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

bool CanFill(RUDRenderingUiMgr& ui, HWND list, const CameraMap& cameras) {
    if (list && !cameras.empty()) return true;
    ui.uiLog.write("No cameras or Create camera table failed!", "WARN");
    return false;
}

} // namespace

bool CreateCameraTableHead(RUDRenderingUiMgr& ui, HWND list) {
    if (!list) {
        ui.uiLog.write("No handle result in creating camera table head failed.", "ERROR");
        return false;
    }
    int position = 0;
    for (const Column& column : kColumns) {
        std::wstring header = ResourceText(column.headerId);
        LVCOLUMNW entry{};
        entry.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        entry.fmt = LVCFMT_CENTER;
        entry.cx = column.width;
        entry.pszText = const_cast<wchar_t*>(header.c_str());
        entry.iSubItem = position;
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&entry));
        ++position;
    }
    return true;
}

bool CreateCameraTable(RUDRenderingUiMgr& ui, HWND list, const CameraMap& cameras) {
    if (!CanFill(ui, list, cameras)) return false;
    FillRows(list, cameras, false);
    ui.uiLog.write("Create camera table successfully.", "INFO");
    return true;
}

bool UpdateCameraTable(RUDRenderingUiMgr& ui, HWND list, const CameraMap& cameras) {
    if (!CanFill(ui, list, cameras)) return false;
    ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    FillRows(list, cameras, true);
    ui.uiLog.write("Update camera table successfully.", "INFO");
    return true;
}

std::wstring RowKey(HWND list, int row) {
    // The key names the scene's camera only whole: a name cut at 259 characters finds no camera,
    // and a checked row would be left out of the task without a word. The buffer grows until
    // the text fits.
    std::wstring text(260, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = &text[0];
        item.cchTextMax = static_cast<int>(text.size());
        const LRESULT copied =
            ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        const size_t length = copied > 0 ? static_cast<size_t>(copied) : 0;
        if (length + 1 < text.size() || text.size() >= (1u << 20)) {
            text.resize(std::min(length, text.size() - 1));
            return text;
        }
        text.assign(text.size() * 2, L'\0');
    }
}

bool IsRowChecked(HWND list, int row) {
    auto state = static_cast<UINT>(::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

void CopyTableChecksToCameras(HWND list, CameraMap& cameras) {
    int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        auto camera = cameras.find(RowKey(list, row));
        if (camera != cameras.end()) camera->second.renderable = IsRowChecked(list, row);
    }
}

std::vector<std::wstring> SelectedRowKeys(HWND list) {
    std::vector<std::wstring> keys;
    int row = -1;
    while ((row = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                  MAKELPARAM(LVNI_SELECTED, 0)))) >= 0)
        keys.push_back(RowKey(list, row));
    return keys;
}

std::vector<CameraTick> ReadCameraTicks(HWND dialog) {
    std::vector<CameraTick> ticks;
    HWND table = ::GetDlgItem(dialog, IDC_MAIN_CAMERAS);
    const int rows = table ? static_cast<int>(::SendMessageW(table, LVM_GETITEMCOUNT, 0, 0)) : 0;
    for (int row = 0; row < rows; ++row) {
        const LRESULT state = ::SendMessageW(table, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
        // State image 1 is the empty box; anything else (2 ticked, 0 no box at all) counts as
        // checked. The whole key, also past 259 characters: a cut key finds no camera, so a
        // checked camera with a long name would silently stay out of the task.
        ticks.push_back({RowKey(table, row), ((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12) != 1});
    }
    return ticks;
}

} // namespace rud
