#pragma once
// Equipment for the dialog tests: a settings file the client would have written, a fake
// analysis script answer, and helpers to drive dialogs created from the language file.
#include "tests/support/FakeHost.h"

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace rudtest {

// C:\ProgramData\RUD Rendering\script\kiv_plugin.ini with "lowerversion" and any extra keys of
// section "general"; the file is deleted again by the destructor.
class ScopedSettingsFile {
public:
    explicit ScopedSettingsFile(const std::wstring& lowerVersion = L"1.3.7",
                                const std::vector<std::pair<std::wstring, std::wstring>>& keys = {});
    ~ScopedSettingsFile();
    ScopedSettingsFile(const ScopedSettingsFile&) = delete;
    ScopedSettingsFile& operator=(const ScopedSettingsFile&) = delete;
    void Set(const std::wstring& key, const std::wstring& value);

private:
    std::wstring path_;
};

// One camera of a sample analysis.
struct SampleCamera {
    std::string name;
    int width = 0;   // 0: the scene's image size
    int height = 0;
};

// Builds an analysis the way the script writes it (numbers as strings). `extra` is inserted
// as further top-level members, e.g. "\"is_region\" : \"true\"".
std::string SampleAnalysis(const std::vector<SampleCamera>& cameras, const std::string& extra = "",
                           const std::string& imageFormat = "png");

// The result path inside the analysis script text (gMax.analysis "<path>" "").
std::wstring ResultPathOfScript(const std::wstring& script);
// Makes the fake host answer the analysis script by writing `json` to the result path.
void AnswerAnalysisWith(FakeHost& host, const std::string& json);

// Dialog helpers.
HWND CreateDialogFromLanguageFile(int templateId, DLGPROC procedure, HWND owner = nullptr, LPARAM parameter = 0);
// Runs a modal dialog; `whileOpen` is called once from inside its message loop with the
// dialog window (unless the dialog ends before it shows). Returns the dialog's end code.
struct ModalRun {
    INT_PTR result = 0;
    bool sawDialog = false;
};
ModalRun RunModalDialog(int templateId, DLGPROC procedure, HWND owner, const std::function<void(HWND)>& whileOpen);
// Processes pending messages for about `milliseconds`.
void PumpMessages(int milliseconds);

void Click(HWND dialog, int id);
void TypeText(HWND dialog, int id, const std::wstring& text);   // sets the text (EN_CHANGE follows)
std::wstring TextOf(HWND dialog, int id);
// Shown in its dialog (the dialogs under test stay hidden themselves).
bool IsShown(HWND dialog, int id);
void Notify(HWND dialog, int id, UINT code, NMHDR* header);      // WM_NOTIFY with idFrom/code filled in

// A hidden top-level window that records the messages the camera dialog sends its owner.
class RecordingOwner {
public:
    RecordingOwner();
    ~RecordingOwner();
    HWND Window() const { return window_; }
    int CamerasEditedCount() const;

private:
    HWND window_ = nullptr;
};

} // namespace rudtest
