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

// Message boxes are owned by the main dialog (after the hand-back by the progress window), in the
// artist's button language; the busy dialog's stage and visibility go through the store, which
// its thread watches.
class RUDDialogSubmitReport final : public ISubmitReport {
public:
    // `order` is kept for the dialog opened again after a run behind the progress window.
    RUDDialogSubmitReport(HWND dialog, const MainDialogTexts& texts, SubmitOrder order);
    // Disables every enabled control until Ended gives them back as they were.
    void FreezeDialog();
    void Stage(int32_t stage) override;
    void Tell(const std::wstring& text, MessageCaption caption) override;
    bool AskOkCancel(const std::wstring& text) override;
    bool AskYesNo(const std::wstring& text) override;
    void TaskWritten() override;
    void SceneNameShown(const std::wstring& name) override;
    // Closes the main dialog once the progress window is up; from then on messages belong to
    // that window, and a run that does not end with a task opens the main dialog again.
    void HandBack() override;
    void Ended(SubmitEnd end) override;

private:
    HWND dialog_;
    std::wstring caption_;
    std::wstring notice_;
    WORD language_;
    std::map<HWND, bool> enabledBefore_;
    SubmitOrder order_;
    bool handedBack_ = false;   // the worker's thread alone reads and writes it
};

} // namespace rud
