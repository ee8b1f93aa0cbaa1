#include "plugin/RUD_ActionCallback.h"

#include "plugin/AboutMessage.h"
#include "plugin/HostOperations.h"
#include "plugin/PluginIdentifiers.h"
#include "ui/MainDialog.h"

namespace rud {

BOOL RUD_ActionCallback::ExecuteAction(int id) {
    try {
        if (id == kActionOpenMainDialog)
            (void)ShowMainDialog(Host().MainWindow());
        else if (id == kActionAbout)
            ShowAboutMessage();
    } catch (...) {
        // The host's menu loop must survive whatever went wrong inside an action.
    }
    return TRUE;
}

} // namespace rud
