#pragma once
// Placeholder until the choices of a run are put back into a reopened dialog.
#include "submit/SubmitOrder.h"

#include <windows.h>

namespace rud {

void OpenMainDialogWithOrder(HWND owner, const SubmitOrder& order);

} // namespace rud
