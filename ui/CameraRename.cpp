#include "ui/CameraRename.h"

#include "resources/StringIds.h"
#include "ui/DialogTexts.h"
#include "ui/DialogView.h"
#include "ui/RUDRenderingUiMgr.h"

namespace rud {

const wchar_t kFileNameForbiddenCharacters[] = L"\\/:*?\"<>|";
const wchar_t kCameraNameCharacters[] = L"\\/:*?\"<>|%";

std::wstring CheckCameraRename(RUDRenderingUiMgr& ui, HWND dialog, int control,
                               const std::wstring& invalidCharacters) {
    DialogView view(dialog);
    std::wstring text = view.Text(control);
    if (text.size() > 100) {
        (void)ShowDialogMessage(dialog, IDS_RENAME_TOO_LONG, IDS_CAPTION_NOTICE, MB_OK);
        ui.uiLog.write("You are setting camera name that its length longer than 100!", "WARN");
        return std::wstring();
    }
    if (text.find_first_of(kCameraNameCharacters) == std::wstring::npos) return std::wstring();

    ui.uiLog.write("You are setting camera name that contain invalid characters.", "WARN");
    (void)ShowDialogMessage(dialog, IDS_RENAME_INVALID_CHARS, IDS_CAPTION_NOTICE, MB_OK);
    std::wstring cleaned;
    for (wchar_t c : text) {
        if (invalidCharacters.find(c) == std::wstring::npos) cleaned += c;
    }
    ui.uiLog.write("Remove invalid characters successfully.", "INFO");
    view.SetText(control, cleaned);
    view.CaretToEnd(control);
    return cleaned;
}

} // namespace rud
