#pragma once
// The main dialog's side of a submission: the order read from its controls at Submit, and the
// report that shows the run's stages, messages and end on the dialog.
#include "submit/SubmitOrder.h"
#include "submit/SubmitReport.h"

#include <windows.h>

#include <map>
#include <string>

namespace rud {

struct MainDialogTexts;

// Reads on the dialog's own thread everything the run needs, and judges the typed name against
// the open scene.
SubmitOrder ReadSubmitOrder(HWND dialog);

// Message boxes are owned by the main dialog, in the artist's button language; the busy
// dialog's stage and visibility go through the store, which its thread watches.
class RUDDialogSubmitReport final : public ISubmitReport {
public:
    RUDDialogSubmitReport(HWND dialog, const MainDialogTexts& texts);
    // Disables every enabled control until Ended gives them back as they were.
    void FreezeDialog();
    void Stage(int32_t stage) override;
    void Tell(const std::wstring& text, MessageCaption caption) override;
    bool AskOkCancel(const std::wstring& text) override;
    bool AskYesNo(const std::wstring& text) override;
    void SceneNameShown(const std::wstring& name) override;
    void Ended(SubmitEnd end) override;

private:
    HWND dialog_;
    std::wstring caption_;
    std::wstring notice_;
    WORD language_;
    std::map<HWND, bool> enabledBefore_;
};

} // namespace rud
