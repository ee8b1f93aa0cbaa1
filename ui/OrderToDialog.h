#pragma once
// Puts the choices of a submission back into a main dialog that was opened again after the run
// failed or was cancelled, so that the artist does not have to make them a second time.
#include <windows.h>

namespace rud {

class RUDRenderingDataMgr;
class RUDRenderingUiMgr;
struct SubmitOrder;

// On the dialog's thread, once the analysis has filled the dialog: the typed scene name, the
// cameras (by name: rows of cameras the scene no longer has are skipped, new ones keep what the
// analysis gave them), the render mode, the channels, the numbers as typed, the image scale
// and the submission boxes. Choices go through the dialog's own command handlers, so that its
// rules (blocks against region rendering, the material channel, the groups' enabling) run.
void ApplySubmitOrder(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui, const SubmitOrder& order);

} // namespace rud
