// The stand-in host's core library: heap, core interface, notifications, MAXScript hook,
// language pack, and the small window helpers.
#include "../include/maxheap.h"
#include "../include/maxapi.h"
#include "../include/notify.h"
#include "../include/ifnpub.h"
#include "../include/maxscript/maxscript.h"
#include "../include/systemutilities.h"
#include "../include/winutil.h"
#include "../host/MaxStandin.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <vector>

void RegisterSpinnerWindowClass(HINSTANCE instance);
void RegisterCustEditWindowClass(HINSTANCE instance);

namespace {

std::atomic<Interface*> coreInterface{nullptr};
DWORD hostMainThread = 0;

// The language pack: its folder name and language ID, and who switched to it.
std::mutex languageLock;
wchar_t languagePackName[LOCALE_NAME_MAX_LENGTH] = L"en-US";
WORD languagePackId = 0x0409;
std::atomic<int> languagePackCalls{0};
std::set<DWORD>& LanguagePackThreads() {
    static std::set<DWORD>* threads = new std::set<DWORD>;
    return *threads;
}

// Texts the host hands out in FPValues, so that a second free is noticed instead of corrupting
// the heap.
std::mutex hostTextLock;
std::set<const wchar_t*>& LiveHostTexts() {
    static std::set<const wchar_t*>* texts = new std::set<const wchar_t*>;
    return *texts;
}
std::atomic<int> doubleFrees{0};

const wchar_t* NewHostText(const wchar_t* text) {
    size_t n = std::wcslen(text);
    auto* copy = static_cast<wchar_t*>(std::malloc((n + 1) * sizeof(wchar_t)));
    if (!copy) return nullptr;
    std::wmemcpy(copy, text, n + 1);
    std::lock_guard<std::mutex> guard(hostTextLock);
    LiveHostTexts().insert(copy);
    return copy;
}

struct Registration {
    NOTIFYPROC proc;
    void* param;
    int code;
};
std::recursive_mutex notificationLock;
std::vector<Registration>& Registrations() {
    static std::vector<Registration> registrations;
    return registrations;
}

std::mutex scriptLock;
maxstandin::ScriptHandler scriptHandler = nullptr;
void* scriptContext = nullptr;

void* Allocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        hostMainThread = ::GetCurrentThreadId();
        RegisterSpinnerWindowClass(instance);
        RegisterCustEditWindowClass(instance);
    }
    return TRUE;
}

void* MaxHeapOperators::operator new(std::size_t size) { return Allocate(size); }
void* MaxHeapOperators::operator new[](std::size_t size) { return Allocate(size); }
void MaxHeapOperators::operator delete(void* p) { std::free(p); }
void MaxHeapOperators::operator delete[](void* p) { std::free(p); }

Interface* GetCOREInterface() { return coreInterface.load(); }

int RegisterNotification(NOTIFYPROC proc, void* param, int code) {
    if (!proc) return FALSE;
    std::lock_guard<std::recursive_mutex> guard(notificationLock);
    for (const Registration& r : Registrations())
        if (r.proc == proc && r.param == param && r.code == code) return TRUE;
    Registrations().push_back({proc, param, code});
    return TRUE;
}

int UnRegisterNotification(NOTIFYPROC proc, void* param, int code) {
    std::lock_guard<std::recursive_mutex> guard(notificationLock);
    auto& all = Registrations();
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (it->proc == proc && it->param == param && it->code == code) {
            all.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

void BroadcastNotification(int code, void* callParam) {
    std::vector<Registration> handlers;
    {
        std::lock_guard<std::recursive_mutex> guard(notificationLock);
        handlers = Registrations();
    }
    for (const Registration& r : handlers) {
        if (r.code != code) continue;
        NotifyInfo info{code, callParam};
        r.proc(r.param, &info);
    }
}

void FPValue::Free() {
    if (!ptr) return;
    switch (type) {
    case TYPE_TSTR_BV: delete tstr; return;
    case TYPE_INT_TAB_BV: delete i_tab; return;
    case TYPE_STRING_TAB_BV: delete s_tab; return;
    case TYPE_TSTR_TAB_BV:
        for (int i = 0; i < tstr_tab->Count(); ++i) delete (*tstr_tab)[i];
        delete tstr_tab;
        return;
    default: break;
    }
    if (type != TYPE_STRING) return;
    std::lock_guard<std::mutex> guard(hostTextLock);
    auto it = LiveHostTexts().find(s);
    if (it == LiveHostTexts().end()) {
        ++doubleFrees;
        return;
    }
    std::free(const_cast<wchar_t*>(*it));
    LiveHostTexts().erase(it);
}

BOOL ExecuteMAXScriptScript(const wchar_t* s, MAXScript::ScriptSource, BOOL, FPValue* fpv, BOOL) {
    maxstandin::RequireHostThread("ExecuteMAXScriptScript");
    maxstandin::HostOperationScope operation("ExecuteMAXScriptScript");
    maxstandin::ScriptHandler handler;
    void* context;
    {
        std::lock_guard<std::mutex> guard(scriptLock);
        handler = scriptHandler;
        context = scriptContext;
    }
    BOOL ok = (handler && s) ? handler(s, context) : FALSE;
    if (fpv) {
        // A failed script leaves its error text in the result, as MAXScript does.
        if (ok) {
            fpv->type = TYPE_BOOL;
            fpv->i = TRUE;
        } else {
            fpv->type = TYPE_STRING;
            fpv->s = NewHostText(L"-- Runtime error: the script did not run");
        }
    }
    return ok;
}

namespace MaxSDK {
namespace Util {

void UseLanguagePackLocale() {
    WORD language = GetLanguageID();
    ::SetThreadUILanguage(language);
    ++languagePackCalls;
    std::lock_guard<std::mutex> guard(languageLock);
    LanguagePackThreads().insert(::GetCurrentThreadId());
}

const MCHAR* GetLanguagePackDirName() {
    std::lock_guard<std::mutex> guard(languageLock);
    return languagePackName;
}

WORD GetLanguageID() {
    std::lock_guard<std::mutex> guard(languageLock);
    return languagePackId;
}

} // namespace Util
} // namespace MaxSDK

void SetCheckBox(HWND hw, int id, BOOL b) { ::CheckDlgButton(hw, id, b ? BST_CHECKED : BST_UNCHECKED); }

BOOL GetCheckBox(HWND hw, int id) { return ::IsDlgButtonChecked(hw, id) == BST_CHECKED; }

BOOL SetWindowTextInt(HWND hWnd, int val) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%d", val);
    return ::SetWindowTextW(hWnd, text);
}

BOOL SetWindowTextFloat(HWND hWnd, float val, int precision) {
    wchar_t text[64];
    std::swprintf(text, 64, L"%.*f", precision, static_cast<double>(val));
    return ::SetWindowTextW(hWnd, text);
}

namespace maxstandin {

void SetCoreInterface(Interface* core) { coreInterface.store(core); }

void NoteHostCall(const char* function);

void RequireHostThread(const char* function) {
    NoteHostCall(function);
    if (::GetCurrentThreadId() == hostMainThread) return;
    const std::string line = std::string("HOST-THREAD ") + (function ? function : "?") + "\n";
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (out && out != INVALID_HANDLE_VALUE)
        ::WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::TerminateProcess(::GetCurrentProcess(), kHostThreadExitCode);
}

void SetLanguagePack(const std::wstring& dirName) {
    std::lock_guard<std::mutex> guard(languageLock);
    std::wcsncpy(languagePackName, dirName.c_str(), LOCALE_NAME_MAX_LENGTH - 1);
    languagePackName[LOCALE_NAME_MAX_LENGTH - 1] = L'\0';
    LCID lcid = ::LocaleNameToLCID(languagePackName, 0);
    languagePackId = lcid ? LANGIDFROMLCID(lcid) : 0x0409;
}

int LanguagePackLocaleCalls() { return languagePackCalls.load(); }

bool ThreadUsedLanguagePack(DWORD threadId) {
    std::lock_guard<std::mutex> guard(languageLock);
    return LanguagePackThreads().count(threadId) != 0;
}

int FPValueDoubleFrees() { return doubleFrees.load(); }

int NotificationHandlerCount(int code) {
    std::lock_guard<std::recursive_mutex> guard(notificationLock);
    int count = 0;
    for (const Registration& r : Registrations())
        if (r.code == code) ++count;
    return count;
}

void SetScriptHandler(ScriptHandler handler, void* context) {
    std::lock_guard<std::mutex> guard(scriptLock);
    scriptHandler = handler;
    scriptContext = context;
}

} // namespace maxstandin
