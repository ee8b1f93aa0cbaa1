#pragma once
// What a submission tells the artist while it runs, and how it ends. The main dialog's side
// shows it; the run itself knows no window.
#include <cstdint>
#include <string>

namespace rud {

// The caption a message carries.
enum class MessageCaption { kError, kNotice, kNone };

// How the run ended for the dialog it came from: an accepted task, a refused name and a pack
// refusal close it; anything else gives it back for another try.
enum class SubmitEnd { kCloseDialog, kKeepDialog };

class ISubmitReport {
public:
    virtual ~ISubmitReport() = default;
    // The busy dialog's stage (kBusy... of the store).
    virtual void Stage(int32_t stage) = 0;
    // A message with an OK button.
    virtual void Tell(const std::wstring& text, MessageCaption caption) = 0;
    // Questions, asked with the busy dialog out of the way; true for OK and for Yes. Declined,
    // the busy dialog is closed, since the run then ends.
    virtual bool AskOkCancel(const std::wstring& text) = 0;
    virtual bool AskYesNo(const std::wstring& text) = 0;
    // The task file is written. A render mode's name serves one task: a dialog that stays
    // forgets it, so that a second submission sends "base" unless the mode is chosen again.
    virtual void TaskWritten() {}
    // The scene name the run settled on when the artist left the name empty.
    virtual void SceneNameShown(const std::wstring& name) = 0;
    // The run needs 3ds Max no more: the artist gets it back, and the run goes on behind a
    // window of its own. Nothing after this calls the host.
    virtual void HandBack() = 0;
    // How the run ended (SubmitResult), just before Ended.
    virtual void Outcome(int32_t code) { (void)code; }
    // Called once, last.
    virtual void Ended(SubmitEnd end) = 0;
};

} // namespace rud
