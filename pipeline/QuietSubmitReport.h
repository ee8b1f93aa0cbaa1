#pragma once
// The report of a scripted submission: no window, no box. Messages are kept for lastMessage(),
// questions take their safe answer unless the script allowed otherwise, and the end is a code.
#include "submit/SubmitReport.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace rud {

// What the script may ask about a run, from 3ds Max's thread while the worker writes it.
class ScriptRunState {
public:
    void SetMessage(const std::wstring& text);
    std::wstring Message();
    std::atomic<int32_t> code{0};
    std::atomic<bool> handedBack{false};

private:
    std::mutex lock_;
    std::wstring message_;
};

class QuietSubmitReport final : public ISubmitReport {
public:
    QuietSubmitReport(std::shared_ptr<ScriptRunState> state, bool replaceOtherFile)
        : state_(std::move(state)), replaceOtherFile_(replaceOtherFile) {}
    void Stage(int32_t stage) override;
    void Tell(const std::wstring& text, MessageCaption caption) override;
    // No camera ticked: the run stops, as Cancel would.
    bool AskOkCancel(const std::wstring& text) override;
    // Replacing another file of the scene's folder: only when the script said so.
    bool AskYesNo(const std::wstring& text) override;
    void SceneNameShown(const std::wstring& name) override;
    void HandBack() override;
    void Outcome(int32_t code) override;
    void Ended(SubmitEnd end) override;

private:
    std::shared_ptr<ScriptRunState> state_;
    bool replaceOtherFile_;
};

} // namespace rud
