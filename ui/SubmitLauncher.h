#pragma once
// The submit button: checks the scene name, then starts the submission worker and the busy
// dialog on two threads of the module (ModuleThread), each at most once at a time.
#include <windows.h>

#include <string>

namespace rud {

class RUDRenderingDataMgr;
class RUDRenderingUiMgr;
struct MainDialogTexts;

void SubmitFromMainDialog(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui,
                          const MainDialogTexts& texts);

// Thread function of the busy dialog: dialog 104, modal, owned by the main dialog, and after the
// hand-back the progress window in its place; marks the busy thread finished (busyState 11) when
// the last of them ends.
void RunBusyDialog(HWND owner, std::wstring caption, std::wstring notice, std::wstring languageMarker);

} // namespace rud
