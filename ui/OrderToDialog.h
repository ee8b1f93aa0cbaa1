#pragma once
// Puts the choices of a submission back into a main dialog that was opened again after the run
// failed or was cancelled, so that the artist does not have to make them a second time.
#include <windows.h>

#include <string>

namespace rud {

class RUDRenderingDataMgr;
class RUDRenderingUiMgr;
struct SubmitOrder;

// True when the open scene is the one the run was for: the file the farm was to receive, which
// a save under a typed name made the open scene. After the artist opened or reset another scene
// the dialog is that scene's alone: the earlier name would save it over the earlier file.
bool OrderFitsOpenScene(const SubmitOrder& order, const std::wstring& openScenePath);

// On the dialog's thread, once the analysis has filled the dialog: the typed scene name, the
// cameras (by name: rows of cameras the scene no longer has are skipped, new ones keep what the
// analysis gave them), the render mode, the channels, the numbers as typed, the image scale
// and the submission boxes. Choices go through the dialog's own command handlers, so that its
// rules (blocks against region rendering, the material channel, the groups' enabling) run.
void ApplySubmitOrder(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui, const SubmitOrder& order);

} // namespace rud
