#include "tests/ui/UiTestSupport.h"

#include "core/DataFolders.h"
#include "core/ResourceStrings.h"
#include "core/TextConversions.h"

#include <commctrl.h>

#include <fstream>

namespace rudtest {

ScopedSettingsFile::ScopedSettingsFile(const std::wstring& lowerVersion,
                                       const std::vector<std::pair<std::wstring, std::wstring>>& keys) {
    std::wstring folder = rud::DataFolder();
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CreateDirectoryW((folder + L"/script").c_str(), nullptr);
    path_ = rud::SettingsFilePath();
    ::DeleteFileW(path_.c_str());
    Set(L"lowerversion", lowerVersion);
    for (const auto& key : keys) Set(key.first, key.second);
}

ScopedSettingsFile::~ScopedSettingsFile() { ::DeleteFileW(path_.c_str()); }

void ScopedSettingsFile::Set(const std::wstring& key, const std::wstring& value) {
    ::WritePrivateProfileStringW(L"general", key.c_str(), value.c_str(), path_.c_str());
}

std::string SampleAnalysis(const std::vector<SampleCamera>& cameras, const std::string& extra,
                           const std::string& imageFormat) {
    std::string json = "{\n  \"name\" : \"D:/Work/Villa/Villa.max\",\n  \"version\" : \"27000\",\n"
                       "  \"image_width\" : \"1920\",\n  \"image_height\" : \"1080\",\n"
                       "  \"start_frame\" : \"0\",\n  \"image_format\" : \"" + imageFormat + "\",\n"
                       "  \"gamma_out\" : \"2.2\",\n  \"cameras\" : [";
    for (size_t i = 0; i < cameras.size(); ++i) {
        json += i ? ",\n    " : "\n    ";
        json += "{ \"name\" : \"" + cameras[i].name + "\", \"camWidth\" : \"" + std::to_string(cameras[i].width) +
                "\", \"camHeight\" : \"" + std::to_string(cameras[i].height) + "\" }";
    }
    json += "\n  ]";
    json += extra.empty() ? std::string(",\n  \"is_region\" : \"false\"") : ",\n  " + extra;
    json += "\n}\n";
    return json;
}

std::wstring ResultPathOfScript(const std::wstring& script) {
    const std::wstring call = L"gMax.analysis \"";
    size_t start = script.find(call);
    if (start == std::wstring::npos) return std::wstring();
    start += call.size();
    size_t end = script.find(L'"', start);
    return end == std::wstring::npos ? std::wstring() : script.substr(start, end - start);
}

void AnswerAnalysisWith(FakeHost& host, const std::string& json) {
    host.onScript = [json](const std::wstring& script) {
        std::wstring path = ResultPathOfScript(script);
        if (path.empty()) return 1;
        std::ofstream file(rud::WideToAnsiChs(path), std::ios::binary);
        file << json;
        return 1;
    };
}

HWND CreateDialogFromLanguageFile(int templateId, DLGPROC procedure, HWND owner, LPARAM parameter) {
    return ::CreateDialogParamW(rud::LanguageModule(), MAKEINTRESOURCEW(templateId), owner, procedure, parameter);
}

namespace {

struct ModalWatch {
    DWORD thread = 0;
    HWND owner = nullptr;
    const std::function<void(HWND)>* whileOpen = nullptr;
    bool done = false;
    bool sawDialog = false;
};
ModalWatch* currentWatch = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770" && ::GetWindow(window, GW_OWNER) == currentWatch->owner &&
        ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK EndForgottenDialog(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(dialog, timer);
    ::EndDialog(dialog, 12345);
}

void CALLBACK WatchTick(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!currentWatch || currentWatch->done) return;
    HWND dialog = nullptr;
    ::EnumThreadWindows(currentWatch->thread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    currentWatch->done = true;
    currentWatch->sawDialog = true;
    ::KillTimer(nullptr, timer);
    (*currentWatch->whileOpen)(dialog);
    // A dialog that ended itself leaves its loop before this timer fires; one still open is
    // ended for the test.
    ::SetTimer(dialog, 0x7E57, 100, EndForgottenDialog);
}

} // namespace

ModalRun RunModalDialog(int templateId, DLGPROC procedure, HWND owner, const std::function<void(HWND)>& whileOpen) {
    ModalWatch watch;
    watch.thread = ::GetCurrentThreadId();
    watch.owner = owner;
    watch.whileOpen = &whileOpen;
    ModalWatch* previous = currentWatch;
    currentWatch = &watch;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, WatchTick);
    ModalRun run;
    run.result = ::DialogBoxParamW(rud::LanguageModule(), MAKEINTRESOURCEW(templateId), owner, procedure, 0);
    if (!watch.done) ::KillTimer(nullptr, timer);
    run.sawDialog = watch.sawDialog;
    currentWatch = previous;
    return run;
}

void PumpMessages(int milliseconds) {
    DWORD end = ::GetTickCount() + static_cast<DWORD>(milliseconds);
    do {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(5);
    } while (static_cast<int>(end - ::GetTickCount()) > 0);
}

void Click(HWND dialog, int id) { ::SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }

void TypeText(HWND dialog, int id, const std::wstring& text) { ::SetDlgItemTextW(dialog, id, text.c_str()); }

std::wstring TextOf(HWND dialog, int id) {
    wchar_t text[512] = {};
    ::GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

bool IsShown(HWND dialog, int id) {
    return (::GetWindowLongW(::GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Notify(HWND dialog, int id, UINT code, NMHDR* header) {
    header->hwndFrom = ::GetDlgItem(dialog, id);
    header->idFrom = static_cast<UINT_PTR>(id);
    header->code = code;
    ::SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(header));
}

namespace {

int camerasEdited = 0;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 1) ++camerasEdited;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

RecordingOwner::RecordingOwner() {
    camerasEdited = 0;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"RudRecordingOwner";
    ::RegisterClassW(&windowClass);
    window_ = ::CreateWindowExW(0, L"RudRecordingOwner", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
}

RecordingOwner::~RecordingOwner() { ::DestroyWindow(window_); }

int RecordingOwner::CamerasEditedCount() const { return camerasEdited; }

} // namespace rudtest
