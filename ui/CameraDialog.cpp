#include "ui/CameraDialog.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "core/WinHandles.h"
#include "host/HostOperations.h"
#include "core/RUDRenderingConfigMgr.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "ui/CameraRename.h"
#include "ui/DialogGuard.h"
#include "ui/DialogTexts.h"
#include "ui/DialogView.h"
#include "ui/RUDRenderingUiMgr.h"
#include "ui/SwitchImages.h"

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace rud {
namespace {

constexpr int kMaxImageSide = 32768;
// The host spinner reports value changes to its dialog with this message (CC_SPINNER_CHANGE).
constexpr UINT kSpinnerChanged = WM_USER + 600;
// The host's custom edit tells its dialog that a typed value is committed (WM_CUSTEDIT_ENTER).
constexpr UINT kCustEditEnter = WM_USER + 685;
// The dialog's panel colours, those of the host's dark user interface.
const COLORREF kPanelColour = RGB(68, 68, 68);
const COLORREF kPanelTextColour = RGB(193, 193, 193);

// Output formats in list order; position 12 is the TIFF entry.
const int kFormatTextIds[] = {IDS_FORMAT_JPG, IDS_FORMAT_PNG, IDS_FORMAT_TGA, IDS_FORMAT_JPEG, IDS_FORMAT_BMP,
                              IDS_FORMAT_EXR, IDS_FORMAT_HDR, IDS_FORMAT_RLA, IDS_FORMAT_RPF, IDS_FORMAT_DDS,
                              IDS_FORMAT_PSD, IDS_FORMAT_VRIMG, IDS_FORMAT_TIF, IDS_FORMAT_CXR};
constexpr int kTiffPosition = 12;

struct FieldSwitch {
    int on;
    int off;
    std::vector<int> fields;
};

const FieldSwitch kSwitches[] = {
    {IDC_CAMERA_SIZE_ON, IDC_CAMERA_SIZE_OFF, {IDC_CAMERA_WIDTH, IDC_CAMERA_HEIGHT, IDC_CAMERA_RATIO_LOCK}},
    {IDC_CAMERA_FRAME_ON, IDC_CAMERA_FRAME_OFF, {IDC_CAMERA_FRAME}},
    {IDC_CAMERA_FORMAT_ON, IDC_CAMERA_FORMAT_OFF, {IDC_CAMERA_FORMAT}},
    {IDC_CAMERA_PANORAMA_ON, IDC_CAMERA_PANORAMA_OFF, {IDC_CAMERA_PANORAMA}},
};

// Per-dialog state, owned by the window (DWLP_USER) from the first message to WM_NCDESTROY.
struct CameraDialogState {
    SwitchImages images;
    std::unique_ptr<ISpinner> spinner;
    HBRUSH panelBrush = ::CreateSolidBrush(kPanelColour);
    HFONT labelFont = nullptr;
    bool opening = true;
    bool checkingRename = false;
    std::wstring renameWritten;

    CameraDialogState() = default;
    CameraDialogState(const CameraDialogState&) = delete;
    CameraDialogState& operator=(const CameraDialogState&) = delete;
    ~CameraDialogState() {
        ::DeleteObject(panelBrush);
        if (labelFont) ::DeleteObject(labelFont);
    }
};

// Marks the dialog's own writes to width, height and ratio, so that their change notifications
// do not write back again.
class ProgrammaticUpdate {
public:
    explicit ProgrammaticUpdate(RUDRenderingUiMgr& ui) : ui_(ui), previous_(ui.programmaticUpdate) {
        ui_.programmaticUpdate = true;
    }
    ~ProgrammaticUpdate() { ui_.programmaticUpdate = previous_; }
    ProgrammaticUpdate(const ProgrammaticUpdate&) = delete;
    ProgrammaticUpdate& operator=(const ProgrammaticUpdate&) = delete;

private:
    RUDRenderingUiMgr& ui_;
    bool previous_;
};

CameraDialogState* StateOf(HWND dialog) {
    return reinterpret_cast<CameraDialogState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
}

CameraInfo FirstSelectedCamera(RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui) {
    if (ui.selectedCameraNames.empty()) return CameraInfo{};
    auto found = store.cameras.find(ui.selectedCameraNames.front());
    return found == store.cameras.end() ? CameraInfo{} : found->second;
}

int ReadInteger(const DialogView& view, int id) { return _wtoi(view.Text(id).c_str()); }

void SetInteger(const DialogView& view, int id, int value) { view.SetText(id, std::to_wstring(value)); }

int FormatPosition(const std::wstring& format) {
    if (format == L"TIFF" || format == L"TIF") return kTiffPosition;
    int position = 0;
    for (int id : kFormatTextIds) {
        if (ResourceText(id) == format) return position;
        ++position;
    }
    return 0;
}

void ShowCameraValues(HWND dialog, const CameraInfo& camera, CameraDialogState& state) {
    DialogView view(dialog);
    SetInteger(view, IDC_CAMERA_WIDTH, camera.width);
    SetInteger(view, IDC_CAMERA_HEIGHT, camera.height);
    if (camera.height != 0) {
        float ratio = static_cast<float>(camera.width) / static_cast<float>(camera.height);
        state.spinner = Host().SetupFloatSpinner(dialog, IDC_CAMERA_RATIO_SPINNER, IDC_CAMERA_RATIO, 0.001f,
                                                 2048.0f, ratio, 0.001f);
        view.SetChecked(IDC_CAMERA_RATIO_LOCK, true);
        if (state.spinner) state.spinner->Enable(false);
    }
    SetInteger(view, IDC_CAMERA_FRAME, camera.startFrame);
    view.SetText(IDC_CAMERA_RENDER_NAME, camera.displayName);
    for (int id : kFormatTextIds) view.AddComboItem(IDC_CAMERA_FORMAT, ResourceText(id));
    view.SelectCombo(IDC_CAMERA_FORMAT, FormatPosition(camera.imageFormat));
    view.AddComboItem(IDC_CAMERA_PANORAMA, ResourceText(IDS_PANORAMA_NO));
    view.AddComboItem(IDC_CAMERA_PANORAMA, ResourceText(IDS_PANORAMA_YES));
    view.SelectCombo(IDC_CAMERA_PANORAMA, camera.isPanorama ? 1 : 0);
}

// The positions are those of a 100 % screen; the template grows with the screen scale, so they
// grow with it too (at 100 % they are used as they are).
void PlaceOkButtonAndBackground(HWND dialog, RUDRenderingUiMgr& ui, bool chinese, bool allMode) {
    double scale = ui.ScreenScale();
    auto scaled = [scale](int pixels) { return static_cast<int>(pixels * scale); };
    if (chinese) ui.MoveControl(dialog, IDC_CAMERA_OK, scaled(56), scaled(allMode ? 200 : 225));
    else if (allMode) ui.MoveControl(dialog, IDC_CAMERA_OK, scaled(82), scaled(250));
    // Moving puts the button at the bottom of the z-order; the background goes below it again
    // so that it never paints over the button.
    UINT keepSize = chinese ? 0 : SWP_NOSIZE;
    ::SetWindowPos(::GetDlgItem(dialog, IDC_CAMERA_BACKGROUND), HWND_BOTTOM, 0, 0, scaled(261), scaled(260),
                   SWP_NOMOVE | SWP_NOACTIVATE | keepSize);
}

void OpenCameraDialogWindow(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui) {
    auto* state = new CameraDialogState;
    ::SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    for (int id : {IDC_CAMERA_PANORAMA_ON, IDC_CAMERA_FRAME_ON, IDC_CAMERA_FORMAT_ON, IDC_CAMERA_SIZE_ON})
        store.toggleButtonStates.emplace(id, true);
    for (int id : {IDC_CAMERA_SIZE_OFF, IDC_CAMERA_FRAME_OFF, IDC_CAMERA_PANORAMA_OFF, IDC_CAMERA_FORMAT_OFF})
        store.toggleButtonStates.emplace(id, false);

    ShowCameraValues(dialog, FirstSelectedCamera(store, ui), *state);
    bool chinese = ResourceText(IDS_LANGUAGE_MARKER) == L"1";
    DialogView view(dialog);
    if (store.cameraDialogAllMode == 1) {
        for (int id : {IDC_CAMERA_WIDTH, IDC_CAMERA_HEIGHT, IDC_CAMERA_PANORAMA, IDC_CAMERA_FRAME, IDC_CAMERA_FORMAT,
                       IDC_CAMERA_RENDER_NAME, IDC_CAMERA_ALL_HINT_1, IDC_CAMERA_ALL_HINT_2, IDC_CAMERA_RATIO_LOCK})
            view.Enable(id, false);
        ui.ShowControl(dialog, IDC_CAMERA_RENDER_NAME_LABEL, false);
        ui.ShowControl(dialog, IDC_CAMERA_RENDER_NAME, false);
        PlaceOkButtonAndBackground(dialog, ui, chinese, true);
        for (const auto& entry : store.toggleButtonStates) {
            HWND control = view.Control(entry.first);
            if (!control) continue;
            ::SetWindowLongPtrW(control, GWL_STYLE, ::GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY);
            ui.ShowControl(dialog, entry.first, entry.second);
        }
    } else {
        view.Enable(IDC_CAMERA_RENDER_NAME, true);
        ui.ShowControl(dialog, IDC_CAMERA_RENDER_NAME_LABEL, true);
        ui.ShowControl(dialog, IDC_CAMERA_RENDER_NAME, true);
        PlaceOkButtonAndBackground(dialog, ui, chinese, false);
        ui.ShowControl(dialog, IDC_CAMERA_ALL_HINT_1, false);
        ui.ShowControl(dialog, IDC_CAMERA_ALL_HINT_2, false);
        for (const FieldSwitch& pair : kSwitches) {
            ui.ShowControl(dialog, pair.on, false);
            ui.ShowControl(dialog, pair.off, false);
        }
    }
    state->opening = false;
}

// A changed width or height: keep within the largest image side, then follow the ratio.
void OnSizeEdited(HWND dialog, RUDRenderingUiMgr& ui, CameraDialogState& state, int changedId) {
    DialogView view(dialog);
    if (ReadInteger(view, changedId) > kMaxImageSide) {
        SetInteger(view, changedId, kMaxImageSide);
        return;
    }
    // The dialog's own writes are already consistent; following them again would overwrite
    // what the artist is typing.
    if (ui.programmaticUpdate || !state.spinner) return;
    int width = ReadInteger(view, IDC_CAMERA_WIDTH);
    int height = ReadInteger(view, IDC_CAMERA_HEIGHT);
    ProgrammaticUpdate update(ui);
    if (state.spinner->IsEnabled()) {
        if (height != 0) state.spinner->SetValue(static_cast<float>(width) / static_cast<float>(height));
        return;
    }
    double ratio = state.spinner->GetValue();
    if (ratio <= 0) return;
    if (changedId == IDC_CAMERA_WIDTH) SetInteger(view, IDC_CAMERA_HEIGHT, static_cast<int>(width / ratio));
    else SetInteger(view, IDC_CAMERA_WIDTH, static_cast<int>(height * ratio));
}

void OnRatioEdited(HWND dialog, RUDRenderingUiMgr& ui, CameraDialogState& state, double ratio) {
    if (ui.programmaticUpdate || !state.spinner || !state.spinner->IsEnabled() || ratio <= 0) return;
    DialogView view(dialog);
    ProgrammaticUpdate update(ui);
    SetInteger(view, IDC_CAMERA_HEIGHT, static_cast<int>(ReadInteger(view, IDC_CAMERA_WIDTH) / ratio));
}

void OnRenderNameEdited(HWND dialog, RUDRenderingUiMgr& ui, CameraDialogState& state) {
    if (state.checkingRename) return;
    if (!state.renameWritten.empty() && DialogView(dialog).Text(IDC_CAMERA_RENDER_NAME) == state.renameWritten)
        return;
    state.checkingRename = true;
    state.renameWritten = CheckCameraRename(ui, dialog, IDC_CAMERA_RENDER_NAME, kFileNameForbiddenCharacters);
    state.checkingRename = false;
}

void OnSwitchClicked(HWND dialog, RUDRenderingUiMgr& ui, CameraDialogState& state, const CameraInfo& camera,
                     int id) {
    DialogView view(dialog);
    for (const FieldSwitch& pair : kSwitches) {
        if (id != pair.on && id != pair.off) continue;
        bool switchingOn = id == pair.on;
        ui.ShowControl(dialog, id, false);
        ui.ShowControl(dialog, switchingOn ? pair.off : pair.on, true);
        if (!switchingOn) {
            // Switching a field off puts the first camera's value back: nothing of it is applied.
            ProgrammaticUpdate update(ui);
            switch (pair.off) {
            case IDC_CAMERA_SIZE_OFF:
                SetInteger(view, IDC_CAMERA_WIDTH, camera.width);
                SetInteger(view, IDC_CAMERA_HEIGHT, camera.height);
                view.SetChecked(IDC_CAMERA_RATIO_LOCK, true);
                if (state.spinner) state.spinner->Enable(false);
                break;
            case IDC_CAMERA_FRAME_OFF:
                SetInteger(view, IDC_CAMERA_FRAME, camera.startFrame);
                break;
            case IDC_CAMERA_FORMAT_OFF:
                view.SelectCombo(IDC_CAMERA_FORMAT, FormatPosition(camera.imageFormat));
                break;
            default:
                view.SelectCombo(IDC_CAMERA_PANORAMA, camera.isPanorama ? 1 : 0);
                break;
            }
        }
        for (int field : pair.fields) view.Enable(field, switchingOn);
    }
}

std::wstring TrimSpaces(const std::wstring& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return std::wstring();
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

void ApplyAndClose(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui) {
    store.cameraDialogAllMode = 0;
    DialogView view(dialog);
    std::wstring name = view.Text(IDC_CAMERA_RENDER_NAME);
    if (!name.empty() && (name.front() == L' ' || name.back() == L' ')) {
        (void)ShowDialogMessage(dialog, IDS_RENAME_SPACES, IDS_CAPTION_NOTICE, MB_OK);
        name = TrimSpaces(name);
        view.SetText(IDC_CAMERA_RENDER_NAME, name);
        view.CaretToEnd(IDC_CAMERA_RENDER_NAME);
    }
    if (name.empty()) {
        (void)ShowDialogMessage(dialog, IDS_RENAME_EMPTY, IDS_CAPTION_NOTICE, MB_OK);
        ::SetFocus(view.Control(IDC_CAMERA_RENDER_NAME));
        return;
    }
    for (const std::wstring& key : ui.selectedCameraNames) {
        CameraInfo& camera = store.cameras[key];
        if (view.IsEnabled(IDC_CAMERA_WIDTH)) {
            camera.width = ReadInteger(view, IDC_CAMERA_WIDTH);
            camera.height = ReadInteger(view, IDC_CAMERA_HEIGHT);
        }
        if (view.IsEnabled(IDC_CAMERA_FORMAT)) camera.imageFormat = view.Text(IDC_CAMERA_FORMAT);
        if (view.IsEnabled(IDC_CAMERA_RENDER_NAME)) camera.displayName = view.Text(IDC_CAMERA_RENDER_NAME);
        if (view.IsEnabled(IDC_CAMERA_FRAME)) camera.startFrame = ReadInteger(view, IDC_CAMERA_FRAME);
        if (view.IsEnabled(IDC_CAMERA_PANORAMA)) camera.isPanorama = view.ComboSelection(IDC_CAMERA_PANORAMA) == 1;
    }
    ::SendMessageW(::GetWindow(dialog, GW_OWNER), WM_USER + 1, 0, 0);
    ::EndDialog(dialog, 1);
}

void OnCameraCommand(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui, CameraDialogState& state,
                     int id, int code) {
    CameraInfo camera = FirstSelectedCamera(store, ui);
    switch (id) {
    case IDC_CAMERA_WIDTH:
    case IDC_CAMERA_HEIGHT:
        if (code == EN_CHANGE) OnSizeEdited(dialog, ui, state, id);
        break;
    case IDC_CAMERA_RATIO_LOCK:
        if (code == BN_CLICKED && state.spinner) state.spinner->Enable(!state.spinner->IsEnabled());
        break;
    case IDC_CAMERA_RENDER_NAME:
        if (code == EN_CHANGE) OnRenderNameEdited(dialog, ui, state);
        break;
    case IDC_CAMERA_OK:
        ApplyAndClose(dialog, store, ui);
        break;
    case IDCANCEL:
        store.cameraDialogAllMode = 0;
        ::EndDialog(dialog, 0);
        break;
    default:
        if (id >= IDC_CAMERA_PANORAMA_ON && id <= IDC_CAMERA_FORMAT_OFF && code == STN_CLICKED)
            OnSwitchClicked(dialog, ui, state, camera, id);
        break;
    }
}

HFONT LabelFont(HWND dialog, CameraDialogState& state) {
    if (!state.labelFont) {
        WindowDC dc(dialog);
        int height = -::MulDiv(8, ::GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
        state.labelFont = ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    }
    return state.labelFont;
}

bool IsPlainAscii(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c > 0x7F) return false;
    }
    return true;
}

// The hints of the all-cameras mode, light on the panel colour, on one centred line. Texts
// outside ASCII (the Chinese table) keep the dialog's font, which has their glyphs.
void DrawHint(HWND dialog, CameraDialogState& state, const DRAWITEMSTRUCT& item) {
    std::wstring text = DialogView(dialog).Text(static_cast<int>(item.CtlID));
    HFONT font = IsPlainAscii(text) ? LabelFont(dialog, state)
                                    : reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    RECT rect = item.rcItem;
    ::FillRect(item.hDC, &rect, state.panelBrush);
    HGDIOBJ previous = ::SelectObject(item.hDC, font);
    ::SetTextColor(item.hDC, kPanelTextColour);
    ::SetBkColor(item.hDC, kPanelColour);
    ::SetBkMode(item.hDC, OPAQUE);
    ::DrawTextW(item.hDC, text.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(item.hDC, previous);
}

bool OnDrawItem(HWND dialog, RUDRenderingDataMgr& store, CameraDialogState& state, const DRAWITEMSTRUCT& item) {
    int id = static_cast<int>(item.CtlID);
    if (id == IDC_CAMERA_ALL_HINT_1 || id == IDC_CAMERA_ALL_HINT_2) {
        DrawHint(dialog, state, item);
        return true;
    }
    auto entry = store.toggleButtonStates.find(id);
    if (entry == store.toggleButtonStates.end()) return false;
    state.images.Draw(item.hDC, item.rcItem, entry->second, kPanelColour);
    return true;
}

INT_PTR HandleCameraDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& store = RUDRenderingDataMgr::Instance();
    auto& ui = RUDRenderingUiMgr::Instance();
    if (message == WM_INITDIALOG) {
        OpenCameraDialogWindow(dialog, store, ui);
        return TRUE;
    }
    CameraDialogState* state = StateOf(dialog);
    if (!state) return FALSE;
    switch (message) {
    case WM_COMMAND:
        // While the dialog fills its controls their change notifications are its own doing,
        // except the render name: the camera's name is judged as if the artist had typed it,
        // so a name the farm refuses or a too long one is pointed out at once.
        if (state->opening && !(LOWORD(wParam) == IDC_CAMERA_RENDER_NAME && HIWORD(wParam) == EN_CHANGE))
            return TRUE;
        OnCameraCommand(dialog, store, ui, *state, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case kCustEditEnter:
        // The host's edit commits a typed ratio on Enter or when the focus leaves it; it sends
        // no EN_CHANGE.
        if (!state->opening && wParam == IDC_CAMERA_RATIO)
            OnRatioEdited(dialog, ui, *state, ui.ReadEditNumber(dialog, IDC_CAMERA_RATIO));
        return TRUE;
    case kSpinnerChanged:
        if (!state->opening && LOWORD(wParam) == IDC_CAMERA_RATIO_SPINNER && state->spinner)
            OnRatioEdited(dialog, ui, *state, state->spinner->GetValue());
        return TRUE;
    case WM_DRAWITEM:
        return lParam && OnDrawItem(dialog, store, *state, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        ::SetTextColor(reinterpret_cast<HDC>(wParam), kPanelTextColour);
        ::SetBkColor(reinterpret_cast<HDC>(wParam), kPanelColour);
        return reinterpret_cast<INT_PTR>(state->panelBrush);
    case WM_CLOSE:
        store.cameraDialogAllMode = 0;
        ::EndDialog(dialog, 0);
        return TRUE;
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
        delete state;
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK CameraDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardedDialogMessage("camera dialog", [&] { return HandleCameraDialogMessage(dialog, message, wParam, lParam); });
}

INT_PTR OpenCameraDialog(HWND owner) {
    return ::DialogBoxParamW(LanguageModule(), MAKEINTRESOURCEW(IDD_CAMERA), owner, CameraDialogProc,
                             reinterpret_cast<LPARAM>(&RUDRenderingConfigMgr::Instance()));
}

} // namespace rud
