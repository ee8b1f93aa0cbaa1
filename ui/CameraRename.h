#pragma once
// The rules for the name a camera renders under, checked as the artist types it.
#include <windows.h>

#include <string>

namespace rud {

class RUDRenderingUiMgr;

// The nine characters Windows refuses in file names.
extern const wchar_t kFileNameForbiddenCharacters[];
// The camera-name characters: those nine and the percent sign, which the farm refuses.
extern const wchar_t kCameraNameCharacters[];

// Warns about camera-name characters and removes the given ones from the control's text;
// warns about names over 100 characters. Returns the text it wrote back into the control, or
// empty text when it wrote nothing: the caller's change notification must not check that text
// again (a percent sign would otherwise raise the same warning at once).
std::wstring CheckCameraRename(RUDRenderingUiMgr& ui, HWND dialog, int control,
                               const std::wstring& invalidCharacters);

} // namespace rud
