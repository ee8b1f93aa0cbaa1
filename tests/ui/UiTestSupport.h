#pragma once
// Equipment for the dialog tests: a fake analysis script answer, and helpers to drive dialogs
// created from the language file.
#include "core/ResourceStrings.h"
#include "tests/support/FakeHost.h"
#include "tests/support/TestFiles.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace rudtest {

// An analysis the way the script writes it (numbers as strings), 1920x1080. `extra` replaces
// the default "is_region" member, e.g. "\"is_region\" : \"true\"".
std::string SampleAnalysis(const std::vector<std::string>& cameraNames, const std::string& extra = "");

HWND CreateDialogFromLanguageFile(int templateId, DLGPROC procedure, HWND owner = nullptr);
// Runs a modal dialog; `whileOpen` is called once from inside its message loop with the
// dialog window (unless the dialog ends before it shows), and a dialog still open afterwards
// is ended with 12345.
struct ModalRun {
    INT_PTR result = 0;
    bool sawDialog = false;
};
ModalRun RunModalDialog(int templateId, DLGPROC procedure, const std::function<void(HWND)>& whileOpen);
// Runs `inside` from within the loop of the next dialog that `owner` (nullptr: nobody) opens
// modally; ForgetModal drops it when no dialog came.
void WhenModalOpens(HWND owner, std::function<void(HWND)> inside);
void ForgetModal();
void PumpMessages(int milliseconds);

void Click(HWND dialog, int id);
void TypeText(HWND dialog, int id, const std::wstring& text);   // EN_CHANGE follows
std::wstring TextOf(HWND dialog, int id);
bool IsShown(HWND dialog, int id);        // in its dialog (the dialogs under test stay hidden)
bool IsEnabled(HWND dialog, int id);
void Notify(HWND dialog, int id, UINT code, NMHDR* header);   // fills hwndFrom, idFrom, code

// A hidden top-level window counting in `camerasEdited` the "cameras edited" messages the
// camera dialog sends its owner.
HWND CreateRecordingOwner(int* camerasEdited);

} // namespace rudtest
