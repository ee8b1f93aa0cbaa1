#include "plugin/RUD_ActionCallback.h"

#include "plugin/AboutMessage.h"
#include "host/HostOperations.h"
#include "plugin/PluginIdentifiers.h"
#include "ui/BackgroundSubmission.h"
#include "ui/MainDialog.h"

namespace rud {

BOOL RUD_ActionCallback::ExecuteAction(int id) {
    try {
        // One submission at a time: while one runs in the background its window comes forward.
        if (id == kActionOpenMainDialog && !BringRunningSubmissionForward())
            (void)ShowMainDialog(Host().MainWindow());
        else if (id == kActionAbout)
            ShowAboutMessage();
    } catch (...) {
        // The host's menu loop must survive whatever went wrong inside an action.
    }
    return TRUE;
}

} // namespace rud
