#pragma once
// The one place that keeps exceptions inside our dialog procedures: a failure in a handler is
// logged to "kiv_ui" and the message reported as not handled, so the host's message loop (and
// the artist's scene) is never taken down by it.
#include "ui/RUDRenderingUiMgr.h"

#include <windows.h>

#include <string>

namespace rud {

template <typename Handler>
INT_PTR GuardedDialogMessage(const char* dialogName, Handler&& handle) {
    try {
        return handle();
    } catch (...) {
        try {
            RUDRenderingUiMgr::Instance().uiLog.write(std::string("Unexpected failure in the ") + dialogName + ".",
                                                      "ERROR");
        } catch (...) {
        }
        return FALSE;
    }
}

} // namespace rud
