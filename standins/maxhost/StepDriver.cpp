#include "StepDriver.h"

#include "HostDialog.h"
#include "HostOutput.h"
#include "ProcessWindows.h"
#include "Screenshot.h"
#include "ScriptCall.h"

#include "MaxStandin.h"

#include <commctrl.h>

#include <cstdlib>
#include <cwctype>
#include <fstream>
#include <memory>
#include <sstream>
#include <utility>

namespace maxhost {
namespace {

// How long a step may wait; 30 s unless the command line says otherwise (--step-timeout).
std::atomic<DWORD> stepTimeoutMs{30000};
constexpr int kCameraList = 1006;

std::vector<std::wstring> Words(const std::wstring& line) {
    std::wistringstream in(line);
    std::vector<std::wstring> words;
    std::wstring word;
    while (in >> word) words.push_back(word);
    return words;
}

bool Number(const std::wstring& text, int& value) {
    wchar_t* end = nullptr;
    long parsed = std::wcstol(text.c_str(), &end, 10);
    if (text.empty() || *end) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool OnOff(const std::wstring& text, bool& on) {
    if (text == L"on") { on = true; return true; }
    if (text == L"off") { on = false; return true; }
    return false;
}

void SetRowState(HWND list, int row, UINT state, UINT mask) {
    LVITEMW item{};
    item.stateMask = mask;
    item.state = state;
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item),
                          SMTO_NORMAL, stepTimeoutMs.load(), &ignored);
}

// A press of the left mouse button in the middle of the control: a button presses itself (and
// does nothing while disabled); any other control, such as a static that notifies (SS_NOTIFY,
// then STN_CLICKED to its dialog), gets the button's messages as from the mouse.
void PressWithMouse(HWND control) {
    wchar_t kind[16] = {};
    ::GetClassNameW(control, kind, 16);
    if (::lstrcmpiW(kind, L"Button") == 0) {
        ::SendMessageW(control, BM_CLICK, 0, 0);
        return;
    }
    if (!::IsWindowEnabled(control)) return;
    RECT area{};
    ::GetClientRect(control, &area);
    const LPARAM middle = MAKELPARAM(area.right / 2, area.bottom / 2);
    ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    ::SendMessageW(control, WM_LBUTTONUP, 0, middle);
}

// A key of the `keys` step: a letter or digit, after "ctrl+" when Ctrl is held with it.
bool KeyFor(const std::wstring& name, bool& withControl, WPARAM& key) {
    withControl = name.compare(0, 5, L"ctrl+") == 0;
    const std::wstring rest = withControl ? name.substr(5) : name;
    if (rest.size() != 1 || !std::iswalnum(rest[0])) return false;
    key = static_cast<WPARAM>(std::towupper(rest[0]));
    return true;
}

// A key pressed and let go in the control, Ctrl held in the thread's key state meanwhile as the
// keyboard holds it.
void PressKey(HWND control, bool withControl, WPARAM key) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    const BYTE held = keys[VK_CONTROL];
    if (withControl) keys[VK_CONTROL] |= 0x80;
    ::SetKeyboardState(keys);
    ::SendMessageW(control, WM_KEYDOWN, key, 1);
    ::SendMessageW(control, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    keys[VK_CONTROL] = held;
    ::SetKeyboardState(keys);
}

int RowCount(HWND list) {
    DWORD_PTR count = 0;
    ::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, stepTimeoutMs.load(), &count);
    return static_cast<int>(count);
}

} // namespace

void SetStepTimeout(DWORD milliseconds) { stepTimeoutMs = milliseconds; }

namespace {

// "\uHHHH" in typed text stands for that character: a steps line cannot end in a space.
std::wstring UnescapeTyped(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 5 < text.size() && text[i + 1] == L'u' &&
            text.find_first_not_of(L"0123456789abcdefABCDEF", i + 2) >= i + 6) {
            out += static_cast<wchar_t>(std::wcstoul(text.substr(i + 2, 4).c_str(), nullptr, 16));
            i += 5;
            continue;
        }
        out += text[i];
    }
    return out;
}

} // namespace

bool ReadSteps(const std::wstring& path, std::vector<std::wstring>& steps) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() >= 3 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        steps.push_back(FromUtf8(line.substr(first)));
    }
    return true;
}

void CloseEverything(HostWindow& host) {
    for (int round = 0; round < 20; ++round) {
        bool any = false;
        for (HWND window : ProcessTopLevelWindows()) {
            if (window == host.Handle()) continue;
            wchar_t name[16] = {};
            ::GetClassNameW(window, name, 16);
            if (std::wstring(name) != L"#32770") continue;
            any = true;
            ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            if (!IsMessageBox(window)) ::PostMessageW(window, WM_CLOSE, 0, 0);
        }
        if (!any) break;
        ::Sleep(250);
    }
    host.RequestClose();
}

StepDriver::StepDriver(HostWindow& host, StandinScene& scene, MessageBoxWatcher& boxes,
                       const DialogTemplates& templates, std::vector<std::wstring> steps, std::wstring shotsFolder)
    : host_(host), scene_(scene), boxes_(boxes), templates_(templates), steps_(std::move(steps)),
      shotsFolder_(std::move(shotsFolder)) {}

StepDriver::~StepDriver() {
    if (thread_.joinable()) thread_.join();
}

void StepDriver::Start() { thread_ = std::thread([this] { Run(); }); }

void StepDriver::Run() {
    int number = 0;
    for (const std::wstring& step : steps_) {
        ++number;
        PrintLine(L"STEP " + std::to_wstring(number) + L" " + step);
        std::wstring why;
        bool ok = false;
        try {
            ok = RunStep(step, why);
        } catch (...) {
            why = L"unexpected error";
        }
        if (!ok) {
            PrintLine(L"STEP FAILED " + std::to_wstring(number) + L" " + step + L": " + why);
            failed_ = true;
            CloseEverything(host_);
            break;
        }
        if (Words(step).front() == L"quit" || hostQuit_) break;
    }
    finished_ = true;
}

HWND StepDriver::Control(int id, std::wstring& why) {
    HWND front = FrontWindow();
    HWND control = front ? ::GetDlgItem(front, id) : nullptr;
    if (!control) why = L"no control " + std::to_wstring(id) + L" in the window in front";
    return control;
}

bool StepDriver::WaitFor(const std::function<bool()>& condition) {
    for (DWORD waited = 0; waited <= stepTimeoutMs.load(); waited += 100) {
        if (condition()) return true;
        ::Sleep(100);
    }
    return false;
}

bool StepDriver::TemplateUp(int templateId) {
    for (HWND window : ProcessTopLevelWindows())
        if (!IsMessageBox(window) && templates_.TemplateOf(window) == templateId) return true;
    return false;
}

// What the artist asks of 3ds Max itself runs as 3ds Max runs it: on its main thread from its own
// message loop, never while a modal window disables the main window (no input reaches it then),
// and never inside another host operation or a plug-in's action still under way (it waits until
// the host is idle, as a key press waits in the queue).
bool StepDriver::AsArtist(const std::function<bool(std::wstring&)>& work, std::wstring& why) {
    HWND main = host_.Handle();
    for (DWORD waited = 0; waited <= stepTimeoutMs.load(); waited += 50) {
        if (!::IsWindowEnabled(main)) {
            why = L"the main window is disabled (a modal window is up)";
            return false;
        }
        enum State { kNotRun, kBusy, kRunning, kDone, kFailed };
        auto state = std::make_shared<std::atomic<int>>(kNotRun);
        auto reason = std::make_shared<std::wstring>();
        HostWindow* host = &host_;
        if (!host_.Post([state, reason, work, host] {
                if (maxstandin::HostOperationRunning() || host->InAction()) { *state = kBusy; return; }
                *state = kRunning;
                try {
                    *state = work(*reason) ? kDone : kFailed;
                } catch (...) {
                    *reason = L"unexpected error";
                    *state = kFailed;
                }
            }, stepTimeoutMs.load()))
            break;
        if (*state == kDone) return true;
        if (*state == kFailed) { why = *reason; return false; }
        // The work is under way in a modal loop of its own (a question the quit asks): the step
        // has done its part, as a control step that opens a modal window has.
        if (*state == kRunning) return true;
        ::Sleep(50);
    }
    why = L"timed out: the host stayed busy";
    return false;
}

bool StepDriver::HostStep(const std::vector<std::wstring>& words, const std::wstring& step, std::wstring& why) {
    const std::wstring& verb = words.front();
    bool on = false;
    // A path is the rest of the line: it may hold spaces.
    std::wstring rest = words.size() >= 2 ? step.substr(step.find(words[1], verb.size())) : std::wstring();
    HostWindow& host = host_;
    StandinScene& scene = scene_;
    auto showScene = [&host, &scene] {
        std::wstring path = scene.ScenePath();
        size_t slash = path.find_last_of(L"\\/");
        host.ShowScene(slash == std::wstring::npos ? path : path.substr(slash + 1));
    };
    if (verb == L"mark-handback" && (words.size() == 1 || (words.size() == 2 && words[1] == L"off"))) {
        bool on = words.size() == 1;
        maxstandin::MarkHandback(on);
        PrintLine(on ? L"HANDBACK" : L"HANDBACK OFF");
        return true;
    }
    if (verb == L"host-save" && words.size() == 1) {
        return AsArtist([&scene](std::wstring& reason) {
            if (scene.SaveInPlace()) return true;
            reason = L"the save failed";
            return false;
        }, why);
    }
    if (verb == L"host-save-as" && !rest.empty()) {
        return AsArtist([&scene, rest, showScene](std::wstring& reason) {
            if (!scene.SaveAs(rest)) { reason = L"the save failed"; return false; }
            showScene();
            return true;
        }, why);
    }
    if (verb == L"host-open" && !rest.empty()) {
        return AsArtist([&scene, rest, showScene](std::wstring& reason) {
            if (!scene.Open(rest)) { reason = L"no scene file " + rest; return false; }
            showScene();
            return true;
        }, why);
    }
    if (verb == L"host-reset" && words.size() == 1) {
        return AsArtist([&scene, showScene](std::wstring&) {
            scene.Reset();
            showScene();
            return true;
        }, why);
    }
    int milliseconds = 0;
    if (verb == L"host-dialog" && words.size() == 2 && Number(words[1], milliseconds) && milliseconds > 0) {
        // Like a file dialog of 3ds Max: the step is done once its modal loop runs.
        return AsArtist([&host, milliseconds](std::wstring&) {
            RunHostDialog(host.Handle(), static_cast<unsigned>(milliseconds));
            return true;
        }, why);
    }
    if (verb == L"saves-fail" && words.size() == 2 && OnOff(words[1], on)) {
        scene.SetSavesFail(on);
        PrintLine(on ? L"SAVES FAIL" : L"SAVES SUCCEED");
        return true;
    }
    if (verb == L"host-quit" && words.size() == 1) {
        // As the title bar's close button of 3ds Max: the exit callbacks decide.
        bool asked = AsArtist([&host](std::wstring&) {
            ::SendMessageW(host.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
            return true;
        }, why);
        if (asked && host_.Closing()) hostQuit_ = true;
        return asked;
    }
    if (verb == L"host-responsive" && words.size() == 1) {
        HWND main = host_.Handle();
        if (!::IsWindowEnabled(main)) { why = L"the main window is disabled"; return false; }
        constexpr DWORD kWithinMs = 100;
        ULONGLONG start = ::GetTickCount64();
        bool ran = host_.Post([] {}, kWithinMs);
        ULONGLONG took = ::GetTickCount64() - start;
        if (!ran) {
            why = L"a command posted to the main window did not run within " + std::to_wstring(kWithinMs) + L" ms";
            return false;
        }
        PrintLine(L"RESPONSIVE " + std::to_wstring(took) + L" ms");
        return true;
    }
    why = L"cannot read the step";
    return false;
}

bool StepDriver::ScriptStep(const std::vector<std::wstring>& words, const std::wstring& step, std::wstring& why) {
    const std::wstring& verb = words.front();
    const bool expects = verb != L"maxscript";
    if (words.size() < (expects ? 3u : 2u)) { why = L"cannot read the step"; return false; }
    const std::wstring& wanted = expects ? words[1] : std::wstring();
    const size_t from = step.find(words[expects ? 2 : 1], verb.size() + (expects ? wanted.size() + 1 : 0));
    const std::wstring expression = step.substr(from);
    for (DWORD waited = 0;; waited += 100) {
        // A script that polls is held while a modal window is up and goes on once it has closed.
        if (verb == L"wait-maxscript" && !::IsWindowEnabled(host_.Handle()) && waited < stepTimeoutMs.load()) {
            ::Sleep(100);
            continue;
        }
        auto result = std::make_shared<ScriptCallResult>();
        auto done = std::make_shared<std::atomic<bool>>(false);
        // As MAXScript runs a script: on 3ds Max's main thread, when it is idle.
        if (!AsArtist([result, done, expression](std::wstring&) {
                *result = CallPublishedFunction(expression);
                *done = true;
                return true;
            }, why))
            return false;
        if (!WaitFor([done] { return done->load(); })) { why = L"the call did not return"; return false; }
        ScriptCallResult& answer = *result;
        PrintLine(L"MAXSCRIPT " + expression + L" -> " + answer.value);
        if (!answer.ok) { why = L"MAXScript error " + answer.value; return false; }
        if (!expects || answer.value == wanted) return true;
        if (verb == L"maxscript-expect" || waited >= stepTimeoutMs.load()) {
            why = L"the call returned " + answer.value + L", not " + wanted;
            return false;
        }
        ::Sleep(100);
    }
}

bool StepDriver::RunStep(const std::wstring& step, std::wstring& why) {
    std::vector<std::wstring> words = Words(step);
    const std::wstring& verb = words.front();
    int id = 0;
    bool on = false;
    auto timedOut = [&] { why = L"timed out"; return false; };

    if (verb == L"sleep" && words.size() == 2 && Number(words[1], id)) {
        ::Sleep(static_cast<DWORD>(id));
        return true;
    }
    if (verb == L"timeout" && words.size() == 2 && Number(words[1], id) && id > 0) {
        stepTimeoutMs = static_cast<DWORD>(id);
        return true;
    }
    if (verb == L"quit") {
        // Boxes still up are on the record before they are closed.
        for (HWND window : ProcessTopLevelWindows())
            if (IsMessageBox(window) && ::IsWindowVisible(window)) boxes_.Report(window);
        CloseEverything(host_);
        return true;
    }
    if (verb == L"answer" && words.size() == 2) {
        const std::wstring& button = words[1];
        int answer = button == L"OK" ? IDOK : button == L"Cancel" ? IDCANCEL
                   : button == L"Yes" ? IDYES : button == L"No" ? IDNO : 0;
        if (!answer) { why = L"unknown button"; return false; }
        boxes_.QueueAnswer(answer);
        return true;
    }
    if (verb == L"screenshot" && words.size() == 2) {
        // What the last steps changed is painted before the picture is taken, on every thread
        // that owns a window (a message still queued would show the screen as it was).
        for (HWND window : ProcessTopLevelWindows())
            ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        if (!host_.Post([] { ::GdiFlush(); }, stepTimeoutMs.load())) return timedOut();
        std::wstring path = shotsFolder_ + L"\\" + words[1] + L".png";
        if (!SaveScreenshot(path)) { why = L"cannot write " + path; return false; }
        return true;
    }
    if ((verb == L"wait-dialog" || verb == L"wait-closed") && words.size() == 2 && Number(words[1], id)) {
        if (!templates_.Knows(id)) { why = L"no dialog template " + words[1]; return false; }
        bool wantUp = verb == L"wait-dialog";
        return WaitFor([&] { return TemplateUp(id) == wantUp; }) || timedOut();
    }
    if (verb == L"wait-box") {
        // Waits for a message box, optionally one whose text holds the rest of the line.
        std::wstring wanted = words.size() >= 2 ? step.substr(step.find(words[1], verb.size())) : std::wstring();
        return WaitFor([&] {
            for (HWND window : ProcessTopLevelWindows())
                if (IsMessageBox(window) && ::IsWindowVisible(window) &&
                    WindowText(::GetDlgItem(window, 0xFFFF)).find(wanted) != std::wstring::npos) {
                    boxes_.Report(window);
                    return true;
                }
            return false;
        }) || timedOut();
    }
    if ((verb == L"wait-enabled" && words.size() == 2) || (verb == L"wait-text" && words.size() >= 3)) {
        if (!Number(words[1], id)) { why = L"cannot read the step"; return false; }
        // The window in front may change meanwhile (a dialog opens or closes): looked up each time.
        std::wstring wanted = verb == L"wait-text" ? step.substr(step.find(words[2], step.find(words[1]) + words[1].size())) : L"";
        return WaitFor([&] {
            HWND front = FrontWindow();
            HWND control = front ? ::GetDlgItem(front, id) : nullptr;
            if (!control) return false;
            if (verb == L"wait-enabled") return ::IsWindowEnabled(control) != FALSE;
            return WindowText(control).find(wanted) != std::wstring::npos;
        }) || timedOut();
    }
    if (verb == L"front" && words.size() == 2 && Number(words[1], id)) {
        if (!templates_.Knows(id)) { why = L"no dialog template " + words[1]; return false; }
        HWND target = nullptr;
        for (HWND window : ProcessTopLevelWindows())
            if (!IsMessageBox(window) && templates_.TemplateOf(window) == id) target = window;
        if (!target) { why = L"no dialog " + words[1] + L" is up"; return false; }
        // A click on a disabled window activates nothing (Windows beeps).
        if (!::IsWindowEnabled(target)) { why = L"dialog " + words[1] + L" is disabled"; return false; }
        // As a click on its caption: the window's thread gets the activation, whatever thread
        // had it, so the input states of this thread and that one are joined for the moment.
        const DWORD self = ::GetCurrentThreadId();
        const DWORD owner = ::GetWindowThreadProcessId(target, nullptr);
        const bool joined = owner != self && ::AttachThreadInput(self, owner, TRUE);
        ::BringWindowToTop(target);
        ::SetForegroundWindow(target);
        ::SetActiveWindow(target);
        if (joined) ::AttachThreadInput(self, owner, FALSE);
        return WaitFor([target] { return ::GetForegroundWindow() == target; }) || timedOut();
    }
    if (verb == L"close" && words.size() == 1) {
        HWND front = FrontWindow();
        if (!front) { why = L"no window in front"; return false; }
        // As the title bar's close button: the dialog decides what closing means.
        return host_.Post([front] { ::SendMessageW(front, WM_SYSCOMMAND, SC_CLOSE, 0); }, stepTimeoutMs.load()) || timedOut();
    }
    if (verb.compare(0, 5, L"host-") == 0 || verb == L"mark-handback" || verb == L"saves-fail") return HostStep(words, step, why);
    if (verb == L"maxscript" || verb == L"maxscript-expect" || verb == L"wait-maxscript") return ScriptStep(words, step, why);
    if (verb == L"menu" && words.size() == 2 && Number(words[1], id)) {
        UINT command = host_.CommandFor(id);
        if (!command) { why = L"no menu item for action " + words[1]; return false; }
        // Chosen as the artist would: the window's own WM_COMMAND handling runs the action.
        if (!::PostMessageW(host_.Handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0)) { why = L"no main window"; return false; }
        return host_.Post([] {}, stepTimeoutMs.load()) || timedOut();
    }
    // The remaining steps act on a control of the window in front.
    if (words.size() < 2 || !Number(words[1], id)) {
        if (verb != L"check-row" && verb != L"select-rows" && verb != L"double-click-row") {
            why = L"cannot read the step";
            return false;
        }
    }
    if (verb == L"click" && words.size() == 2) {
        HWND control = Control(id, why);
        if (!control) return false;
        if (!::IsWindowVisible(control)) { why = L"control " + words[1] + L" is hidden"; return false; }
        return host_.Post([control] { PressWithMouse(control); }, stepTimeoutMs.load()) || timedOut();
    }
    if (verb == L"keys" && words.size() >= 3) {
        HWND control = Control(id, why);
        if (!control) return false;
        std::vector<std::pair<bool, WPARAM>> presses(words.size() - 2);
        for (size_t i = 2; i < words.size(); ++i)
            if (!KeyFor(words[i], presses[i - 2].first, presses[i - 2].second)) { why = L"unknown key " + words[i]; return false; }
        return host_.Post([control, presses] {
            ::SetFocus(control);
            for (const auto& press : presses) PressKey(control, press.first, press.second);
        }, stepTimeoutMs.load()) || timedOut();
    }
    if (verb == L"check" && words.size() == 3 && OnOff(words[2], on)) {
        HWND control = Control(id, why);
        if (!control) return false;
        return host_.Post([control, on] {
            bool checked = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (checked != on) ::SendMessageW(control, BM_CLICK, 0, 0);
            if ((::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) != on)
                ::SendMessageW(control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        }, stepTimeoutMs.load()) || timedOut();
    }
    if (verb == L"type" && words.size() >= 2) {
        HWND control = Control(id, why);
        if (!control) return false;
        size_t at = step.find(words[1], step.find(verb) + verb.size()) + words[1].size();
        std::wstring text = UnescapeTyped(at < step.size() ? step.substr(at + 1) : std::wstring());
        return host_.Post([control, text, id] {
            ::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            ::SendMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(control));
        }, stepTimeoutMs.load()) || timedOut();
    }
    if (verb == L"choose" && words.size() == 3) {
        int index = 0;
        HWND control = Control(id, why);
        if (!control || !Number(words[2], index)) { if (why.empty()) why = L"bad index"; return false; }
        auto chosen = std::make_shared<std::atomic<bool>>(false);
        if (!host_.Post([control, index, id, chosen] {
                if (::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR) return;
                *chosen = true;
                ::SendMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
            }, stepTimeoutMs.load()))
            return timedOut();
        if (!*chosen) why = L"control " + words[1] + L" has no entry " + words[2];
        return *chosen;
    }
    if (verb == L"check-row" || verb == L"select-rows" || verb == L"double-click-row") {
        HWND list = Control(kCameraList, why);
        if (!list) return false;
        std::vector<int> rows;
        size_t last = verb == L"check-row" ? 2 : words.size();
        for (size_t i = 1; i < last && i < words.size(); ++i) {
            int row = 0;
            if (!Number(words[i], row) || row < 0 || row >= RowCount(list)) {
                why = L"no row " + words[i];
                return false;
            }
            rows.push_back(row);
        }
        if (rows.empty()) { why = L"no row given"; return false; }
        if (verb == L"check-row") {
            if (words.size() != 3 || !OnOff(words[2], on)) { why = L"check-row N on|off"; return false; }
            int row = rows.front();
            return host_.Post([list, row, on] {
                SetRowState(list, row, INDEXTOSTATEIMAGEMASK(on ? 2 : 1), LVIS_STATEIMAGEMASK);
            }, stepTimeoutMs.load()) || timedOut();
        }
        if (verb == L"select-rows") {
            // As Ctrl+clicks: the dialog hears of the last click, as it would from the list view.
            return host_.Post([list, rows] {
                SetRowState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
                for (int row : rows) SetRowState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
                NMITEMACTIVATE activate{};
                activate.hdr.hwndFrom = list;
                activate.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
                activate.hdr.code = NM_CLICK;
                activate.iItem = rows.back();
                activate.uKeyFlags = LVKF_CONTROL;
                ::SendMessageW(::GetParent(list), WM_NOTIFY, activate.hdr.idFrom, reinterpret_cast<LPARAM>(&activate));
            }, stepTimeoutMs.load()) || timedOut();
        }
        if (rows.size() != 1) { why = L"double-click-row takes one row"; return false; }
        int row = rows.front();
        return host_.Post([list, row] {
            SetRowState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
            SetRowState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            NMITEMACTIVATE activate{};
            activate.hdr.hwndFrom = list;
            activate.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
            activate.hdr.code = NM_DBLCLK;
            activate.iItem = row;
            ::SendMessageW(::GetParent(list), WM_NOTIFY, activate.hdr.idFrom, reinterpret_cast<LPARAM>(&activate));
        }, stepTimeoutMs.load()) || timedOut();
    }
    why = L"unknown step";
    return false;
}

} // namespace maxhost
