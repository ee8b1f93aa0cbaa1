#include "tests/support/FakeHost.h"

#include "core/TextConversions.h"

#include <objbase.h>

#include <cwchar>
#include <fstream>

namespace rudtest {
namespace {

class FakeScriptValue : public rud::IScriptValue {
public:
    explicit FakeScriptValue(int& live) : live_(live) { ++live_; }
    ~FakeScriptValue() override { --live_; }
private:
    int& live_;
};

// The plug-in only keeps a tool tip alive; nothing reads it back.
class FakeToolTip : public rud::IToolTip {};

} // namespace

class FakeSpinner : public rud::ISpinner {
public:
    FakeSpinner(FakeHost& host, HWND window) : host_(host), window_(window) {}
    void SetValue(float value) override {
        auto& s = host_.spinners[window_];
        s.value = value < s.minimum ? s.minimum : (value > s.maximum && s.maximum > s.minimum ? s.maximum : value);
        // Like the host's spinner, the buddy edit shows the value.
        if (HWND edit = reinterpret_cast<HWND>(::GetWindowLongPtrW(window_, GWLP_USERDATA))) {
            wchar_t text[64];
            swprintf(text, 64, L"%.3f", static_cast<double>(s.value));
            ::SetWindowTextW(edit, text);
        }
    }
    float GetValue() override { return host_.spinners[window_].value; }
    void Enable(bool enabled) override { host_.spinners[window_].enabled = enabled; ::EnableWindow(window_, enabled); }
    bool IsEnabled() override { return host_.spinners[window_].enabled; }
private:
    FakeHost& host_;
    HWND window_;
};

bool FakeHost::SaveScene() { ++saveCount; return saveSucceeds; }

bool FakeHost::SaveSceneTo(const std::wstring& path) {
    savedTo.push_back(path);
    if (!saveSucceeds) return false;
    // A saved scene exists on disk afterwards: copy the current file when there is one.
    if (!sceneFilePath.empty()) return ::CopyFileW(sceneFilePath.c_str(), path.c_str(), FALSE) != 0;
    return true;
}

std::unique_ptr<rud::IScriptValue> FakeHost::CreateScriptValue() {
    ++scriptValuesCreated;
    return std::make_unique<FakeScriptValue>(liveScriptValues);
}

void FakeHost::AnswerAnalysis(const std::string& result, int answer) {
    onScript = [result, answer](const std::wstring& script) {
        const std::wstring call = L"gMax.analysis \"";
        const size_t begin = script.find(call), end = script.find(L'"', begin + call.size());
        if (begin == std::wstring::npos || end == std::wstring::npos) return 1;
        const std::string path = rud::WideToAnsiChs(script.substr(begin + call.size(), end - begin - call.size()));
        std::ofstream(path, std::ios::binary) << result;
        std::ofstream(path + ".log", std::ios::binary) << "script log\n";
        return answer;
    };
}

int FakeHost::ExecuteMAXScript(const std::wstring& script, rud::IScriptValue&) {
    scripts.push_back(script);
    return onScript ? onScript(script) : 1;
}

void FakeHost::SetCheckBox(HWND dialog, int controlId, bool checked) {
    ::CheckDlgButton(dialog, controlId, checked ? BST_CHECKED : BST_UNCHECKED);
}

void FakeHost::SetWindowTextInt(HWND window, int value) {
    ::SetWindowTextW(window, std::to_wstring(value).c_str());
}

void FakeHost::SetWindowTextFloat(HWND window, float value, int precision) {
    wchar_t text[64];
    swprintf(text, 64, L"%.*f", precision, static_cast<double>(value));
    ::SetWindowTextW(window, text);
}

std::unique_ptr<rud::ISpinner> FakeHost::SetupFloatSpinner(HWND dialog, int spinnerId, int editId,
    float minimum, float maximum, float value, float) {
    HWND window = ::GetDlgItem(dialog, spinnerId);
    if (!window) return nullptr;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(::GetDlgItem(dialog, editId)));
    auto& state = spinners[window];
    state.minimum = minimum;
    state.maximum = maximum;
    auto spinner = std::make_unique<FakeSpinner>(*this, window);
    spinner->SetValue(value);
    return spinner;
}

std::unique_ptr<rud::ISpinner> FakeHost::GetSpinner(HWND spinnerWindow) {
    if (!spinnerWindow || spinners.find(spinnerWindow) == spinners.end()) return nullptr;
    return std::make_unique<FakeSpinner>(*this, spinnerWindow);
}

std::unique_ptr<rud::IToolTip> FakeHost::AttachToolTip(HWND, const std::wstring&) {
    return std::make_unique<FakeToolTip>();
}

GUID FakeHost::CreateGuid() {
    GUID guid{};
    (void)::CoCreateGuid(&guid);
    return guid;
}

void FakeHost::UseLanguagePackLocale() {
    std::lock_guard<std::mutex> guard(languagePackLock);
    languagePackThreads.insert(::GetCurrentThreadId());
}

ScopedFakeHost::ScopedFakeHost() { rud::SetHost(&host); }
ScopedFakeHost::~ScopedFakeHost() { rud::SetHost(nullptr); }

void RegisterFakeSpinnerClass() {
    WNDCLASSW wc{};
    if (::GetClassInfoW(::GetModuleHandleW(nullptr), L"SpinnerControl", &wc)) return;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SpinnerControl";
    wc.style = CS_GLOBALCLASS;
    ::RegisterClassW(&wc);

    WNDCLASSW edit{};
    if (::GetClassInfoW(nullptr, L"EDIT", &edit)) {
        edit.hInstance = ::GetModuleHandleW(nullptr);
        edit.lpszClassName = L"CustEdit";
        edit.style |= CS_GLOBALCLASS;
        ::RegisterClassW(&edit);
    }
}

} // namespace rudtest
