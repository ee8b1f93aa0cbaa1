// main() of every test program: records the program as the module (for its images), loads the
// English language file from bin\en-US, and refuses real message boxes (a box nobody answers
// would hang the run): a test that expects boxes installs a MessageBoxRecorder.
#include "core/MessageBoxes.h"
#include "core/ResourceStrings.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

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

size_t MessageBoxRecorder::Count() const {
    std::lock_guard<std::mutex> guard(lock_);
    return boxes_.size();
}

void InstallUnexpectedBoxGuard() {
    rud::SetMessageBoxHandler([](HWND, const std::wstring& text, const std::wstring&, UINT, WORD) {
        ADD_FAILURE() << "unexpected message box: " << std::string(text.begin(), text.end());
        return IDCANCEL;
    });
}

std::wstring BinFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

} // namespace rudtest

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    rud::SetModuleInstance(::GetModuleHandleW(nullptr));
    std::wstring language = rudtest::BinFolder() + L"\\en-US\\RUD_Rendering_2025.gup.mui";
    HMODULE module = ::LoadLibraryExW(language.c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) {
        fprintf(stderr, "cannot load the language file %ls\n", language.c_str());
        return 2;
    }
    rud::SetLanguageModule(module);
    rudtest::InstallUnexpectedBoxGuard();
    return RUN_ALL_TESTS();
}
