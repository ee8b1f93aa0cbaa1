#include "pipeline/QuietSubmitReport.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/TextConversions.h"

namespace rud {
namespace {

void Log(const char* what, const std::wstring& text) {
    RUDRenderingDataMgr::Instance().dataLog.write(std::string("Scripted submission ") + what + ": " + WideToUtf8(text), "INFO");
}

} // namespace

void ScriptRunState::SetMessage(const std::wstring& text) {
    std::lock_guard<std::mutex> guard(lock_);
    message_ = text;
}

std::wstring ScriptRunState::Message() {
    std::lock_guard<std::mutex> guard(lock_);
    return message_;
}

void QuietSubmitReport::Stage(int32_t stage) { RUDRenderingDataMgr::Instance().busyStage = stage; }

void QuietSubmitReport::Tell(const std::wstring& text, MessageCaption) {
    Log("message", text);
    state_->SetMessage(text);
}

bool QuietSubmitReport::AskOkCancel(const std::wstring& text) {
    Log("question answered Cancel", text);
    state_->SetMessage(text);
    return false;
}

bool QuietSubmitReport::AskYesNo(const std::wstring& text) {
    Log(replaceOtherFile_ ? "question answered Yes" : "question answered No", text);
    if (!replaceOtherFile_) state_->SetMessage(text);
    return replaceOtherFile_;
}

void QuietSubmitReport::SceneNameShown(const std::wstring&) {}

void QuietSubmitReport::HandBack() {
    RUDRenderingDataMgr::Instance().dataLog.write("Scripted submission: 3ds Max is free again; the scene's copy is packed and sent.", "INFO");
    // As after the dialog's hand-back: the menu opens no second dialog while the copy is sent.
    RUDRenderingDataMgr::Instance().busyHandBack = true;
    state_->handedBack = true;
}

void QuietSubmitReport::Outcome(int32_t code) {
    RUDRenderingDataMgr::Instance().dataLog.write("Scripted submission ended with code " + std::to_string(code) + ".", "INFO");
    state_->code = code;
}

// The worker's end (submitState) is what the script's side waits for.
void QuietSubmitReport::Ended(SubmitEnd) {}

} // namespace rud
