#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace rudtest {

MessageBoxRecorder::MessageBoxRecorder() {
    rud::SetMessageBoxHandler([this](HWND owner, const std::wstring& text, const std::wstring& caption,
                                     UINT type, WORD language) {
        std::lock_guard<std::mutex> guard(lock_);
        boxes_.push_back({owner, text, caption, type, language});
        if (!answers_.empty()) {
            int answer = answers_.front();
            answers_.pop_front();
            return answer;
        }
        UINT buttons = type & MB_TYPEMASK;
        return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { InstallUnexpectedBoxGuard(); }

void MessageBoxRecorder::QueueAnswer(int answer) {
    std::lock_guard<std::mutex> guard(lock_);
    answers_.push_back(answer);
}

std::vector<RecordedBox> MessageBoxRecorder::Boxes() const {
    std::lock_guard<std::mutex> guard(lock_);
    return boxes_;
}

void InstallUnexpectedBoxGuard() {
    rud::SetMessageBoxHandler([](HWND, const std::wstring& text, const std::wstring&, UINT, WORD) {
        ADD_FAILURE() << "unexpected message box: " << std::string(text.begin(), text.end());
        return IDCANCEL;
    });
}

} // namespace rudtest
